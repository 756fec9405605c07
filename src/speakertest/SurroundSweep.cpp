#include "speakertest/SurroundSweep.h"

#include <cmath>

#include "framework/Handles.h"

namespace speakertest {

SweepPoint SweepAt(double elapsedMs) {
    const double quarter = std::asin(1.0);
    const double theta = elapsedMs / (kQuarterTurnMs / quarter);
    const float a = static_cast<float>(kSweepRadius * std::sin(theta));
    const float b = static_cast<float>(kSweepRadius * std::cos(theta));
    const double turns = static_cast<double>(static_cast<float>(theta)) / quarter * 0.25;
    const double fraction = turns - std::trunc(turns);
    return {a, b, fraction < kResendWindow};
}

std::optional<POINT> MarkerCentre(float a, float b, const RECT& client) {
    const double x = (a * kPanelScale + 1) * static_cast<float>(client.left + client.right) * 0.5;
    const double y = (1 - b * kPanelScale) * static_cast<float>(client.top + client.bottom) * 0.5;
    constexpr double kFar = 1e6;
    if (!(std::fabs(x) < kFar) || !(std::fabs(y) < kFar)) return std::nullopt;
    return POINT{static_cast<int>(x), static_cast<int>(y)};
}

SweepMarkerState& SweepMarker() {
    static SweepMarkerState state;
    return state;
}

void DrawSweepMarker(HWND page, HWND panel, float a, float b) {
    fw::WindowDc dc(panel);
    if (!dc) return;
    if (::GetUpdateRect(page, nullptr, FALSE)) return;
    SweepMarkerState& marker = SweepMarker();
    if (marker.saved[0] != CLR_INVALID) {
        for (std::size_t i = 0; i < kMarkerOffsets.size(); ++i) {
            ::SetPixel(dc.Get(), marker.x + kMarkerOffsets[i].x, marker.y + kMarkerOffsets[i].y,
                       marker.saved[i]);
        }
    }
    RECT client{};
    ::GetClientRect(panel, &client);
    const std::optional<POINT> centre = MarkerCentre(a, b, client);
    if (!centre) return;
    marker.x = centre->x;
    marker.y = centre->y;
    for (std::size_t i = 0; i < kMarkerOffsets.size(); ++i) {
        marker.saved[i] =
            ::GetPixel(dc.Get(), marker.x + kMarkerOffsets[i].x, marker.y + kMarkerOffsets[i].y);
    }
    for (const POINT& offset : kMarkerOffsets)
        ::SetPixel(dc.Get(), marker.x + offset.x, marker.y + offset.y, kMarkerColour);
}

}  // namespace speakertest
