#include "Artwork.h"

#include <cmath>

#include "Draw.h"

namespace gen {
namespace {

const Rgb kGround = Grey(204);  // the pages' grey, which small pictures sit on
const Rgb kEngraveDark = {88, 92, 100};
const Rgb kEngraveLight = {236, 238, 242};
const Rgb kRed = {200, 36, 30};

Image Metal(int width, int height, std::uint32_t seed) {
    Image image(width, height);
    BrushedMetal(image, seed, 196);
    return image;
}

void CornerScrews(Image& image, double inset, double radius) {
    const double right = image.Width() - inset;
    const double bottom = image.Height() - inset;
    Screw(image, inset, inset, radius);
    Screw(image, right, inset, radius);
    Screw(image, inset, bottom, radius);
    Screw(image, right, bottom, radius);
}

// The maker's name bottom left and the product's name bottom right, engraved.
void Logos(Image& image, double baseline, double height) {
    EngravedText(image, 30, baseline - height, "HARLOWEN", height, 1.6, kEngraveDark,
                 kEngraveLight);
    const std::string product = "QUORVEL DUAL";
    const double width = TextWidth(product, height);
    EngravedText(image, image.Width() - 30 - width, baseline - height, product, height, 1.6,
                 kEngraveDark, kEngraveLight);
}

// A loudspeaker cabinet with its cone, centred at (cx, cy).
void Loudspeaker(Image& image, double cx, double cy, double width, double height,
                 double coneRadius) {
    const int left = static_cast<int>(std::lround(cx - width / 2));
    const int top = static_cast<int>(std::lround(cy - height / 2));
    const int right = left + static_cast<int>(width);
    const int bottom = top + static_cast<int>(height);
    image.FillRect(left, top, right, bottom, {70, 72, 80});
    Bevel(image, left, top, right, bottom, 1, true, Grey(130), Grey(40));
    Disc(image, cx, cy, coneRadius, {40, 42, 48});
    Ring(image, cx, cy, coneRadius, 1.0, Grey(150));
    Disc(image, cx, cy, coneRadius * 0.45, Grey(110));
    Disc(image, cx - coneRadius * 0.12, cy - coneRadius * 0.12, coneRadius * 0.2, Grey(170));
}

// A window's front plate: raised edges, a screw in each corner, the logos along the bottom.
Image FrontPlate(int width, int height, std::uint32_t seed) {
    Image image = Metal(width, height, seed);
    Bevel(image, 0, 0, width, height, 2, true, Grey(238), Grey(96));
    CornerScrews(image, 9, 4.5);
    Logos(image, height - 12, 9);
    return image;
}

}  // namespace

Image SettingsBackground() {
    return FrontPlate(587, 227, 136);
}

Image TabStripBackground() {
    return Metal(577, 113, 129);
}

Image SpeakerTestBackground() {
    return FrontPlate(496, 223, 188);
}

Image CloseButton() {
    Image image(53, 16);
    for (int y = 0; y < 16; ++y) {
        image.FillRect(0, y, 53, y + 1, Grey(216 - y * 3));
    }
    Line(image, 5, 4, 12, 11, 2.0, kRed);
    Line(image, 12, 4, 5, 11, 2.0, kRed);
    Text(image, 17, 4.5, "CLOSE", 7, 1.2, Grey(40));
    return image;
}

Image VerticalTrack() {
    Image image(18, 69, kGround);
    for (int y = 4; y <= 64; y += 6) {
        const int length = (y - 4) % 30 == 0 ? 4 : 3;
        image.FillRect(4 - length, y, 4, y + 1, Grey(90));
        image.FillRect(14, y, 14 + length, y + 1, Grey(90));
    }
    image.FillRect(7, 2, 11, 67, Grey(40));
    image.FillRect(7, 2, 11, 3, Grey(20));
    image.FillRect(7, 2, 8, 67, Grey(20));
    image.FillRect(10, 3, 11, 67, Grey(120));
    image.FillRect(7, 66, 11, 67, Grey(236));
    return image;
}

Image Knob() {
    Image image(10, 21, Grey(178));
    Bevel(image, 0, 0, 10, 21, 1, true, Grey(245), Grey(70));
    for (int y = 4; y <= 16; y += 3) {
        image.FillRect(2, y, 8, y + 1, Grey(110));
        image.FillRect(2, y + 1, 8, y + 2, Grey(232));
    }
    image.FillRect(1, 10, 9, 11, Grey(60));
    return image;
}

Image HorizontalTrack() {
    Image image(46, 12, kGround);
    for (int x = 3; x <= 43; x += 5)
        image.FillRect(x, 1, x + 1, 3, Grey(90));
    image.FillRect(2, 5, 44, 9, Grey(40));
    image.FillRect(2, 5, 44, 6, Grey(20));
    image.FillRect(2, 8, 44, 9, Grey(236));
    return image;
}

Image MuteSwitch(MuteLook look) {
    Image image(44, 13, kGround);
    const bool disabled = look == MuteLook::Disabled;
    const Rgb box = disabled ? Grey(214) : Grey(236);
    image.FillRect(1, 1, 12, 12, box);
    Bevel(image, 0, 0, 13, 13, 1, false, Grey(disabled ? 236 : 255), Grey(disabled ? 160 : 100));
    const Rgb letter = look == MuteLook::On ? kRed : disabled ? Grey(176) : Grey(140);
    Text(image, 3.5, 3.5, "M", 6, 1.3, letter);
    Text(image, 17, 3.5, "MUTE", 6, 1.1, disabled ? Grey(160) : Grey(40));
    return image;
}

Image SpeakerTile(const std::string& letters, int height, bool subwoofer, bool pressed) {
    Image image(43, height, pressed ? Grey(188) : Grey(206));
    const double shift = pressed ? 1.0 : 0.0;
    if (subwoofer) {
        Loudspeaker(image, 21.5 + shift, 15 + shift, 26, 20, 8.5);
    } else {
        Loudspeaker(image, 21.5 + shift, 15 + shift, 16, 22, 6);
    }
    const double textHeight = 7;
    const double width = TextWidth(letters, textHeight);
    Text(image, 21.5 - width / 2 + shift, height - 11 + shift, letters, textHeight, 1.4, Grey(30));
    Bevel(image, 0, 0, 43, height, 2, !pressed, Grey(250), Grey(96));
    return image;
}

Image Listener() {
    Image image(42, 40, kGround);
    const double cx = 21;
    const double cy = 22;
    Ellipse(image, cx - 12, cy + 1, 3, 5, {206, 160, 130});
    Ellipse(image, cx + 12, cy + 1, 3, 5, {206, 160, 130});
    Ellipse(image, cx, cy, 12, 14, {226, 184, 150});
    Ellipse(image, cx, cy + 3, 11, 11, {92, 64, 44});  // hair, seen from above at the back
    Ellipse(image, cx, cy - 7, 9, 6, {226, 184, 150});
    Ellipse(image, cx, cy - 15, 2.5, 3, {206, 160, 130});  // the nose points to the front
    return image;
}

Image DynamicGrid() {
    Image image(65, 65, Grey(0));
    const Rgb grid = {0, 92, 36};
    const Rgb axis = {40, 190, 80};
    for (int i = 0; i <= 64; i += 8) {
        image.FillRect(i, 0, i + 1, 65, grid);
        image.FillRect(0, i, 65, i + 1, grid);
    }
    image.FillRect(32, 0, 33, 65, axis);
    image.FillRect(0, 32, 65, 33, axis);
    Ring(image, 32.5, 32.5, 26, 0.8, {20, 130, 60});
    return image;
}

Image BalanceMarkLeft() {
    Image image(5, 5, kGround);
    image.FillRect(1, 0, 2, 5, Grey(30));
    image.FillRect(1, 4, 5, 5, Grey(30));
    return image;
}

Image BalanceMarkRight() {
    Image image(8, 6, kGround);
    const Rgb ink = Grey(30);
    image.FillRect(1, 0, 2, 6, ink);
    image.FillRect(1, 0, 6, 1, ink);
    image.FillRect(6, 1, 7, 3, ink);
    image.FillRect(1, 3, 6, 4, ink);
    image.Set(5, 4, ink);
    image.Set(6, 5, ink);
    return image;
}

Image WindowIcon() {
    Image image(32, 32, Grey(0));
    for (std::size_t i = 0; i < image.opaque.size(); ++i)
        image.opaque[i] = false;
    for (int y = 2; y < 30; ++y) {
        for (int x = 6; x < 26; ++x)
            image.opaque[static_cast<std::size_t>(y * 32 + x)] = true;
    }
    image.FillRect(6, 2, 26, 30, {70, 72, 80});
    Bevel(image, 6, 2, 26, 30, 1, true, Grey(150), Grey(30));
    Disc(image, 16, 20, 7, {30, 32, 38});
    Ring(image, 16, 20, 7, 1.0, Grey(170));
    Disc(image, 16, 20, 3, Grey(120));
    Disc(image, 16, 8, 3, {30, 32, 38});
    Ring(image, 16, 8, 3, 1.0, Grey(170));
    return image;
}

Image TrayIcon(bool present) {
    const Rgb background = Grey(204);
    Image image(16, 16, background);
    const Rgb body = present ? Rgb{44, 48, 60} : Grey(120);
    // A loudspeaker: the magnet and the cone widening to the right.
    image.FillRect(1, 6, 4, 10, body);
    for (int x = 4; x <= 8; ++x)
        image.FillRect(x, 6 - (x - 4), x + 1, 10 + (x - 4), body);
    if (present) {
        const Rgb wave = {30, 170, 70};
        Line(image, 10.5, 5.5, 11.8, 8, 1.3, wave);
        Line(image, 11.8, 8, 10.5, 10.5, 1.3, wave);
        Line(image, 12.8, 3, 14.6, 8, 1.3, wave);
        Line(image, 14.6, 8, 12.8, 13, 1.3, wave);
    } else {
        Line(image, 8, 4, 15, 12, 2.0, kRed);
        Line(image, 15, 4, 8, 12, 2.0, kRed);
    }
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            image.opaque[static_cast<std::size_t>(y * 16 + x)] = !(image.At(x, y) == background);
        }
    }
    return image;
}

}  // namespace gen
