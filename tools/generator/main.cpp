// Writes the program's generated resources (icons, bitmaps, sounds) into the folder given.
#include <exception>
#include <iostream>
#include <string>

#include "Artwork.h"
#include "Image.h"
#include "Wave.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: qd-generate <output folder>\n";
        return 2;
    }
    const std::string out = std::string(argv[1]) + "/";
    try {
        const gen::Image window = gen::WindowIcon();
        gen::WriteFile(out + "icon128.ico", gen::IconFile({{&window, 4}, {&window, 8}}));
        const gen::Image present = gen::TrayIcon(true);
        gen::WriteFile(out + "icon153.ico", gen::IconFile({{&present, 8}}));
        const gen::Image absent = gen::TrayIcon(false);
        gen::WriteFile(out + "icon154.ico", gen::IconFile({{&absent, 8}}));
        gen::WriteFile(out + "wave9184.wav", gen::SilenceClip());
    } catch (const std::exception& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
