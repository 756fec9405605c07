#pragma once

#include <string>

#include "Image.h"

// The program's pictures, drawn at their fixed sizes. None uses the colour 0x00FF00, which the
// window region routine treats as a key colour.
namespace gen {

// Brushed-metal panels: the settings window (587 x 227), its tab strip (577 x 113) and the
// speaker test window (496 x 223, screws and logos).
Image SettingsBackground();
Image TabStripBackground();
Image SpeakerTestBackground();

// A cross and the word Close, 53 x 16.
Image CloseButton();

// The level slider: a vertical groove with ticks (18 x 69), its knob (10 x 21), and the balance
// slider's horizontal groove (46 x 12).
Image VerticalTrack();
Image Knob();
Image HorizontalTrack();

// The mute switch, 44 x 13: lit red M, unlit grey M, and the whole greyed out.
enum class MuteLook { On, Off, Disabled };
Image MuteSwitch(MuteLook look);

// A speaker tile with its letters, raised or pressed (sunken, picture one pixel right and down).
Image SpeakerTile(const std::string& letters, int height, bool subwoofer, bool pressed);
// The listener's head seen from above, facing the front (42 x 40).
Image Listener();
// The Dynamic panel: a green grid on black, 65 x 65.
Image DynamicGrid();
// The letters marking the ends of the balance sliders: L (5 x 5) and R (8 x 6).
Image BalanceMarkLeft();
Image BalanceMarkRight();

Image WindowIcon();
Image TrayIcon(bool present);

}  // namespace gen
