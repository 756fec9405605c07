// The speaker test's arithmetic: tile layout, hit testing and the sweep's geometry.
#include <windows.h>

#include <limits>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "speakertest/SpeakerTiles.h"
#include "speakertest/SurroundSweep.h"

namespace {

using speakertest::Speaker;

std::string Describe(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

// The group box as the page's template gives it under Wine, and one too small for the tiles, where
// the divisions go negative and truncate toward zero.
TEST(TileLayout, TilesFollowTheGroupBoxWithTruncatingDivisions) {
    const struct {
        RECT group;
        RECT frontLeft, centre, frontRight, rearRight, subwoofer, rearLeft, listener;
    } cases[] = {
        {{111, 0, 273, 135},
         {127, 27, 170, 70},
         {171, 7, 214, 50},
         {215, 27, 258, 70},
         {215, 71, 258, 113},
         {171, 94, 214, 136},
         {128, 71, 171, 113},
         {171, 50, 214, 93}},
        {{0, 0, 120, 120},
         {-5, 20, 38, 63},
         {39, 0, 82, 43},
         {83, 20, 126, 63},
         {83, 64, 126, 106},
         {39, 86, 82, 128},
         {-4, 64, 39, 106},
         {39, 42, 82, 85}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Describe(c.group));
        const speakertest::TileLayout layout = speakertest::LayOutTiles(c.group);
        const RECT* expected[] = {&c.frontLeft, &c.centre,    &c.frontRight,
                                  &c.rearRight, &c.subwoofer, &c.rearLeft};
        for (int i = 0; i < speakertest::kSpeakerCount; ++i) {
            const RECT& tile = layout.tiles[static_cast<std::size_t>(i)];
            EXPECT_EQ(Describe(tile), Describe(*expected[i])) << "speaker " << i;
        }
        EXPECT_EQ(Describe(layout.listener), Describe(c.listener));
    }
}

// Edges inclusive, the one-pixel gaps belonging to the tile left of or above them, and the rear
// left row tested against the front left column.
TEST(TileLayout, AButtonDownHitsByColumnsWithInclusiveEdges) {
    const speakertest::TileLayout layout = speakertest::LayOutTiles({111, 0, 273, 135});
    const struct {
        POINT point;
        std::optional<Speaker> hit;
    } cases[] = {
        {{127, 27}, Speaker::FrontLeft},  {{170, 70}, Speaker::FrontLeft},
        {{150, 70}, Speaker::FrontLeft},  {{150, 71}, Speaker::RearLeft},
        {{127, 71}, Speaker::RearLeft},   {{170, 113}, Speaker::RearLeft},
        {{127, 114}, std::nullopt},       {{126, 50}, std::nullopt},
        {{127, 26}, std::nullopt},        {{171, 7}, Speaker::Centre},
        {{214, 50}, Speaker::Centre},     {{171, 60}, std::nullopt},
        {{171, 113}, Speaker::Subwoofer}, {{214, 136}, Speaker::Subwoofer},
        {{215, 27}, Speaker::FrontRight}, {{258, 70}, Speaker::FrontRight},
        {{215, 71}, Speaker::RearRight},  {{258, 113}, Speaker::RearRight},
        {{259, 50}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.point.x) + "," + std::to_string(c.point.y));
        EXPECT_EQ(speakertest::SpeakerPressedAt(layout, c.point), c.hit);
    }
    // The leftmost column of the front left tile at rear left height lies outside the rear left
    // tile's own rectangle.
    EXPECT_FALSE(speakertest::InTile(speakertest::TileRect(layout, Speaker::RearLeft), {127, 71}));
}

TEST(SurroundSweep, OneTurnClockwiseFromTheFrontWithTheStartResentOnlyAtATurnsStart) {
    const struct {
        double ms;
        float a;
        float b;
        bool resend;
    } cases[] = {
        {0, 0.0f, 2.8f, true},        {1877.5, 2.8f, 0.0f, false},  {3755, 0.0f, -2.8f, false},
        {5632.5, -2.8f, 0.0f, false}, {7510, 0.0f, 2.8f, true},     {3, 0.00703f, 2.8f, true},
        {4, 0.00937f, 2.8f, false},   {7513, 0.00703f, 2.8f, true}, {7514, 0.00937f, 2.8f, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ms);
        const speakertest::SweepPoint point = speakertest::SweepAt(c.ms);
        EXPECT_NEAR(point.a, c.a, 1e-4);
        EXPECT_NEAR(point.b, c.b, 1e-4);
        EXPECT_EQ(point.resend, c.resend);
    }
}

TEST(SurroundSweep, TheMarkerRunsAtEightTenthsOfTheHalfExtent) {
    const RECT panel{0, 0, 63, 63};
    const struct {
        double ms;
        POINT centre;
    } cases[] = {{0, {31, 6}}, {1877.5, {56, 31}}, {3755, {31, 56}}, {5632.5, {6, 31}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ms);
        const speakertest::SweepPoint point = speakertest::SweepAt(c.ms);
        const std::optional<POINT> centre = speakertest::MarkerCentre(point.a, point.b, panel);
        ASSERT_TRUE(centre);
        EXPECT_EQ(centre->x, c.centre.x);
        EXPECT_EQ(centre->y, c.centre.y);
    }
    EXPECT_FALSE(speakertest::MarkerCentre(std::numeric_limits<float>::quiet_NaN(), 0.0f, panel))
        << "no position, no drawing";
    EXPECT_FALSE(speakertest::MarkerCentre(0.0f, std::numeric_limits<float>::infinity(), panel));
}

}  // namespace
