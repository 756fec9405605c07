#include "Artwork.h"

#include <cmath>

namespace gen {
namespace {

constexpr Rgb kSteel{70, 78, 90};
constexpr Rgb kSteelLight{150, 160, 172};
constexpr Rgb kLit{60, 200, 90};
constexpr Rgb kDark{110, 110, 110};
constexpr Rgb kRed{210, 40, 40};

// A round speaker cone centred in the image, drawn with smooth edges.
void Speaker(Image& image, Rgb ring, Rgb cone) {
    const double c = (image.Width() - 1) / 2.0;
    const double outer = image.Width() / 2.0 - 0.5;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const double d = std::hypot(x - c, y - c);
            const std::size_t i = static_cast<std::size_t>(y * image.Width() + x);
            image.opaque[i] = d <= outer + 0.5;
            image.Set(x, y, d > outer * 0.62 ? ring : cone);
            if (d < outer * 0.22) image.Set(x, y, kSteel);
        }
    }
}

}  // namespace

Image WindowIcon() {
    Image image(32, 32);
    Speaker(image, kSteel, kSteelLight);
    return image;
}

Image TrayIcon(bool present) {
    Image image(16, 16);
    Speaker(image, kSteel, present ? kLit : kDark);
    if (!present) {
        for (int i = 2; i < 14; ++i) {
            image.Set(i, i, kRed);
            image.Set(i + 1, i, kRed);
            image.Set(15 - i, i, kRed);
            image.Set(14 - i, i, kRed);
        }
    }
    return image;
}

}  // namespace gen
