#pragma once

#include <windows.h>

#include <array>
#include <optional>

// The surround sweep's geometry and its marker on the Dynamic panel. Positions are in panel
// units: a to the right, b to the front (up the panel), the panel's edges at plus and minus 3.5.
namespace speakertest {

// One turn every 7510 ms, clockwise from the front.
inline constexpr double kQuarterTurnMs = 1877.5;
inline constexpr float kSweepRadius = 2.8f;
inline constexpr float kPanelScale =
    0.2857143f;  // 2/7: panel units to fractions of the half-extent
// The start request is sent again while the fraction of the current turn is below this.
inline constexpr double kResendWindow = 0.00045;
inline constexpr COLORREF kMarkerColour = RGB(255, 0, 0);

struct SweepPoint {
    float a;
    float b;
    bool resend;  // the tick lies at the very start of a turn
};
SweepPoint SweepAt(double elapsedMs);

// The marker's centre for a panel client rectangle; none for a position that is not a number or
// lies far outside any panel.
std::optional<POINT> MarkerCentre(float a, float b, const RECT& client);

// The nine marker pixels as offsets from its centre, in the order they are saved, painted and
// restored.
inline constexpr std::array<POINT, 9> kMarkerOffsets{
    {{-1, 0}, {0, -1}, {0, 0}, {0, 1}, {1, 0}, {1, -1}, {1, 1}, {-1, 1}, {-1, -1}}};

// One marker for the whole program, kept between sweeps and between shows of the window: its
// last position and the colours it painted over there (CLR_INVALID until it is first drawn).
struct SweepMarkerState {
    int x = 0;
    int y = 0;
    std::array<COLORREF, 9> saved{CLR_INVALID, CLR_INVALID, CLR_INVALID, CLR_INVALID, CLR_INVALID,
                                  CLR_INVALID, CLR_INVALID, CLR_INVALID, CLR_INVALID};
};
SweepMarkerState& SweepMarker();

// Moves the marker on the panel: puts back what it covered at its last position, then saves
// and paints the nine pixels at (a, b). While the page has a pending update region nothing is
// drawn, since the coming repaint would wipe the marker anyway and overwrite what was saved.
void DrawSweepMarker(HWND page, HWND panel, float a, float b);

}  // namespace speakertest
