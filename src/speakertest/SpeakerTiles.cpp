#include "speakertest/SpeakerTiles.h"

#include "res/resource.h"

namespace speakertest {
namespace {

constexpr SpeakerInfo kSpeakers[kSpeakerCount] = {
    {IDC_TILE_FRONT_LEFT, IDB_SPEAKER_L, IDB_SPEAKER_L_PRESSED, IDW_TONE_FRONT_LEFT, 43},
    {IDC_TILE_CENTRE, IDB_SPEAKER_C, IDB_SPEAKER_C_PRESSED, IDW_TONE_CENTRE, 43},
    {IDC_TILE_FRONT_RIGHT, IDB_SPEAKER_R, IDB_SPEAKER_R_PRESSED, IDW_TONE_FRONT_RIGHT, 43},
    {IDC_TILE_REAR_RIGHT, IDB_SPEAKER_RR, IDB_SPEAKER_RR_PRESSED, IDW_TONE_REAR_RIGHT, 42},
    {IDC_TILE_SUBWOOFER, IDB_SPEAKER_LFE, IDB_SPEAKER_LFE_PRESSED, IDW_TONE_SUBWOOFER, 42},
    {IDC_TILE_REAR_LEFT, IDB_SPEAKER_RL, IDB_SPEAKER_RL_PRESSED, IDW_TONE_REAR_LEFT, 42},
};

constexpr int kListenerHeight = 43;
constexpr int kTicksPerCycle = 60;
constexpr int kTicksPerSpeaker = 10;

RECT Tile(int left, int top, int height) {
    return {left, top, left + kTileWidth, top + height};
}

// One row of the button-down test: the column of one tile, the height of another.
struct HitRow {
    Speaker column;
    Speaker row;
};
constexpr HitRow kHitRows[] = {
    {Speaker::FrontLeft, Speaker::FrontLeft},   {Speaker::FrontLeft, Speaker::RearLeft},
    {Speaker::Centre, Speaker::Centre},         {Speaker::Centre, Speaker::Subwoofer},
    {Speaker::FrontRight, Speaker::FrontRight}, {Speaker::FrontRight, Speaker::RearRight},
};

}  // namespace

const SpeakerInfo& Info(Speaker speaker) {
    return kSpeakers[Index(speaker)];
}

const RECT& TileRect(const TileLayout& layout, Speaker speaker) {
    return layout.tiles[static_cast<std::size_t>(Index(speaker))];
}

// Every division truncates toward zero, also for a group box too small for the tiles.
TileLayout LayOutTiles(const RECT& group) {
    const int w = group.right - group.left;
    const int h = group.bottom - group.top;
    TileLayout layout{};
    auto set = [&](Speaker speaker, RECT rect) {
        layout.tiles[static_cast<std::size_t>(Index(speaker))] = rect;
        return rect;
    };
    const RECT frontLeft =
        set(Speaker::FrontLeft, Tile(group.left + (w - 130) / 2, group.top + 6 + (h - 92) / 2, 43));
    const RECT centre =
        set(Speaker::Centre, Tile(frontLeft.right + 1, group.top + 6 + (h - 133) / 2, 43));
    const RECT frontRight = set(Speaker::FrontRight, Tile(centre.right + 1, frontLeft.top, 43));
    const RECT subwoofer =
        set(Speaker::Subwoofer, Tile(frontRight.right - 87, group.bottom - 40 - (h - 133) / 2, 42));
    set(Speaker::RearLeft, Tile(frontLeft.left + 1, frontLeft.bottom + 1, 42));
    set(Speaker::RearRight, Tile(frontRight.left, frontRight.bottom + 1, 42));
    layout.listener = Tile(subwoofer.left, subwoofer.top - 44, kListenerHeight);
    return layout;
}

bool InTile(const RECT& tile, POINT point) {
    return point.x >= tile.left && point.x <= tile.right && point.y >= tile.top &&
           point.y <= tile.bottom;
}

// The rows never overlap: the columns are disjoint and, within a column, the lower tile starts
// below the upper one's bottom edge, so at most one row matches.
std::optional<Speaker> SpeakerPressedAt(const TileLayout& layout, POINT point) {
    for (const HitRow& hit : kHitRows) {
        const RECT& column = TileRect(layout, hit.column);
        const RECT& row = TileRect(layout, hit.row);
        if (point.x >= column.left && point.x <= column.right && point.y >= row.top &&
            point.y <= row.bottom) {
            return hit.row;
        }
    }
    return std::nullopt;
}

std::optional<Speaker> SpeakerOfStep(int step) {
    if (step < 2 || step > 7) return std::nullopt;
    return SpeakerAt(step - 2);
}

AutoTick NextAutoTick(AutoState& state) {
    AutoTick result;
    if (state.step == 0) return result;
    auto image = [&](Speaker speaker, bool pressed) {
        result.images[static_cast<std::size_t>(result.imageCount++)] = {speaker, pressed};
    };
    if (const auto current = SpeakerOfStep(state.step)) image(*current, state.tick % 2 == 0);
    if (state.tick % kTicksPerSpeaker == 0) {
        if (state.step == 1) {
            result.tone = Speaker::FrontLeft;
        } else if (state.step <= 6) {
            result.tone = SpeakerAt(state.step - 1);
            image(*SpeakerOfStep(state.step), false);
        }
        ++state.step;
    }
    if (++state.tick == kTicksPerCycle) {
        state.tick = 0;
        state.step = 1;
        image(Speaker::RearLeft, false);
    }
    return result;
}

}  // namespace speakertest
