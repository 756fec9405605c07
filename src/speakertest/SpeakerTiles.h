#pragma once

#include <windows.h>

#include <array>
#include <optional>

// The six speakers of the test page as plain values: which control, pictures and tone belong to
// each, where the tiles go, which tile a click hits, and the automatic test's steps.
namespace speakertest {

// In the order of the automatic test, once around the listener clockwise from front left. A
// speaker's pressed-speaker code is its index + 1 and its auto step its index + 2.
enum class Speaker { FrontLeft, Centre, FrontRight, RearRight, Subwoofer, RearLeft };
inline constexpr int kSpeakerCount = 6;

struct SpeakerInfo {
    UINT tile;     // the bitmap static
    UINT normal;   // raised tile
    UINT pressed;  // sunken tile
    UINT tone;     // WAVE resource sounding in this speaker only
    int height;    // of the tile, in pixels; every tile is 43 wide
};
const SpeakerInfo& Info(Speaker speaker);
inline Speaker SpeakerAt(int index) {
    return static_cast<Speaker>(index);
}
inline int Index(Speaker speaker) {
    return static_cast<int>(speaker);
}

inline constexpr int kTileWidth = 43;

// The tiles laid out in the group box's rectangle (page client coordinates). A tile's rectangle
// has right = left + 43 and bottom = top + height and counts all four edges as inside, so it
// reaches one pixel beyond the picture to the right and below.
struct TileLayout {
    std::array<RECT, kSpeakerCount> tiles;  // by Speaker
    RECT listener;                          // where the listener's head goes; not hit-tested
};
TileLayout LayOutTiles(const RECT& group);
const RECT& TileRect(const TileLayout& layout, Speaker speaker);

// Edges inclusive.
bool InTile(const RECT& tile, POINT point);

// The speaker a button-down at point presses. The tiles form three columns whose horizontal
// range is that of the column's top tile, so the rear left row is tested against the front
// left column: its leftmost pixel column lies outside the rear left tile's own rectangle.
std::optional<Speaker> SpeakerPressedAt(const TileLayout& layout, POINT point);

// The automatic test: step 0 stopped, 1 about to start a cycle, 2 to 7 the speaker sounding;
// 60 ticks of 100 ms make a cycle.
struct AutoState {
    int step = 0;
    int tick = 0;
};

struct TileImage {
    Speaker speaker;
    bool pressed;
};

// What one sequence tick does: at most two tile images changed, in this order, and at most one
// tone started.
struct AutoTick {
    std::array<TileImage, 2> images{};
    int imageCount = 0;
    std::optional<Speaker> tone;
};
AutoTick NextAutoTick(AutoState& state);

// The speaker an auto step sounds, if the step is 2 to 7.
std::optional<Speaker> SpeakerOfStep(int step);

}  // namespace speakertest
