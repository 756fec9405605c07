// Writes the program's generated resources (icons, bitmaps, sounds) into the folder given.
#include <exception>
#include <iostream>
#include <string>

#include "Artwork.h"
#include "Image.h"
#include "Wave.h"

namespace {

void Bitmap(const std::string& folder, int id, const gen::Image& image) {
    gen::WriteFile(folder + "bitmap" + std::to_string(id) + ".bmp", gen::BitmapFile(image));
}

void Sound(const std::string& folder, int id, const std::vector<std::uint8_t>& wave) {
    gen::WriteFile(folder + "wave" + std::to_string(id) + ".wav", wave);
}

void WriteAll(const std::string& out) {
    const gen::Image window = gen::WindowIcon();
    gen::WriteFile(out + "icon128.ico", gen::IconFile({{&window, 4}, {&window, 8}}));
    const gen::Image present = gen::TrayIcon(true);
    gen::WriteFile(out + "icon153.ico", gen::IconFile({{&present, 8}}));
    const gen::Image absent = gen::TrayIcon(false);
    gen::WriteFile(out + "icon154.ico", gen::IconFile({{&absent, 8}}));

    Bitmap(out, 129, gen::TabStripBackground());
    Bitmap(out, 136, gen::SettingsBackground());
    Bitmap(out, 188, gen::SpeakerTestBackground());
    Bitmap(out, 152, gen::CloseButton());
    Bitmap(out, 140, gen::VerticalTrack());
    Bitmap(out, 141, gen::HorizontalTrack());
    Bitmap(out, 142, gen::Knob());
    Bitmap(out, 137, gen::MuteSwitch(gen::MuteLook::On));
    Bitmap(out, 138, gen::MuteSwitch(gen::MuteLook::Off));
    Bitmap(out, 180, gen::MuteSwitch(gen::MuteLook::Disabled));
    Bitmap(out, 159, gen::DynamicGrid());
    Bitmap(out, 168, gen::Listener());
    Bitmap(out, 195, gen::BalanceMarkLeft());
    Bitmap(out, 196, gen::BalanceMarkRight());

    // Speaker tiles: normal and pressed image of each speaker.
    const struct {
        int normal;
        const char* letters;
        int height;
        bool subwoofer;
    } tiles[] = {
        {160, "C", 43, false},  {162, "L", 43, false}, {164, "LFE", 42, true},
        {166, "RL", 42, false}, {169, "R", 43, false}, {171, "RR", 42, false},
    };
    for (const auto& tile : tiles) {
        Bitmap(out, tile.normal,
               gen::SpeakerTile(tile.letters, tile.height, tile.subwoofer, false));
        Bitmap(out, tile.normal + 1,
               gen::SpeakerTile(tile.letters, tile.height, tile.subwoofer, true));
    }

    // Test tones: speaker, channel of the six-channel stream, frequency.
    const struct {
        int id;
        int channel;
        double frequency;
    } tones[] = {
        {9177, 0, 261.63}, {9181, 2, 293.66}, {9180, 1, 329.63},
        {9178, 5, 349.23}, {9182, 3, 392.00}, {9179, 4, 440.00},
    };
    for (const auto& tone : tones)
        Sound(out, tone.id, gen::TestTone(tone.channel, tone.frequency));
    Sound(out, 9183, gen::SweepSound());
    Sound(out, 9184, gen::SilenceClip());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: qd-generate <output folder>\n";
        return 2;
    }
    try {
        WriteAll(std::string(argv[1]) + "/");
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
