#include "Draw.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace gen {
namespace {

struct Point {
    double x, y;
};
using Stroke = std::vector<Point>;

// Glyphs on a grid 4 wide and 6 high, y downwards.
const std::map<char, std::vector<Stroke>>& Glyphs() {
    static const std::map<char, std::vector<Stroke>> glyphs = {
        {'A', {{{0, 6}, {2, 0}, {4, 6}}, {{0.7, 4}, {3.3, 4}}}},
        {'C', {{{4, 1}, {3, 0}, {1, 0}, {0, 1}, {0, 5}, {1, 6}, {3, 6}, {4, 5}}}},
        {'D', {{{0, 0}, {0, 6}, {2.5, 6}, {4, 4.5}, {4, 1.5}, {2.5, 0}, {0, 0}}}},
        {'E', {{{4, 0}, {0, 0}, {0, 6}, {4, 6}}, {{0, 3}, {3, 3}}}},
        {'F', {{{4, 0}, {0, 0}, {0, 6}}, {{0, 3}, {3, 3}}}},
        {'H', {{{0, 0}, {0, 6}}, {{4, 0}, {4, 6}}, {{0, 3}, {4, 3}}}},
        {'L', {{{0, 0}, {0, 6}, {4, 6}}}},
        {'M', {{{0, 6}, {0, 0}, {2, 3.5}, {4, 0}, {4, 6}}}},
        {'N', {{{0, 6}, {0, 0}, {4, 6}, {4, 0}}}},
        {'O', {{{1, 0}, {3, 0}, {4, 1}, {4, 5}, {3, 6}, {1, 6}, {0, 5}, {0, 1}, {1, 0}}}},
        {'Q',
         {{{1, 0}, {3, 0}, {4, 1}, {4, 5}, {3, 6}, {1, 6}, {0, 5}, {0, 1}, {1, 0}},
          {{2.5, 4.5}, {4.2, 6.4}}}},
        {'R', {{{0, 6}, {0, 0}, {3, 0}, {4, 1}, {4, 2}, {3, 3}, {0, 3}}, {{2, 3}, {4, 6}}}},
        {'S',
         {{{4, 1},
           {3, 0},
           {1, 0},
           {0, 1},
           {0, 2},
           {1, 3},
           {3, 3},
           {4, 4},
           {4, 5},
           {3, 6},
           {1, 6},
           {0, 5}}}},
        {'T', {{{0, 0}, {4, 0}}, {{2, 0}, {2, 6}}}},
        {'U', {{{0, 0}, {0, 5}, {1, 6}, {3, 6}, {4, 5}, {4, 0}}}},
        {'V', {{{0, 0}, {2, 6}, {4, 0}}}},
        {'W', {{{0, 0}, {1, 6}, {2, 2}, {3, 6}, {4, 0}}}},
    };
    return glyphs;
}

constexpr double kAdvance = 6.0;  // grid units per letter, spacing included
constexpr double kSpace = 4.0;

double SegmentDistance(double px, double py, double x0, double y0, double x1, double y1) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((px - x0) * dx + (py - y0) * dy) / lengthSquared : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(px - (x0 + t * dx), py - (y0 + t * dy));
}

}  // namespace

std::uint32_t Random::Next() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
}

double Random::Signed() {
    return (Next() % 20001) / 10000.0 - 1.0;
}

Rgb Mix(Rgb a, Rgb b, double t) {
    const auto mix = [t](std::uint8_t p, std::uint8_t q) {
        return static_cast<std::uint8_t>(std::lround(p + (q - p) * std::clamp(t, 0.0, 1.0)));
    };
    return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

Rgb Grey(int value) {
    const auto v = static_cast<std::uint8_t>(std::clamp(value, 0, 255));
    return {v, v, v};
}

void Line(Image& image, double x0, double y0, double x1, double y1, double width, Rgb colour) {
    const int left = static_cast<int>(std::floor(std::min(x0, x1) - width));
    const int right = static_cast<int>(std::ceil(std::max(x0, x1) + width));
    const int top = static_cast<int>(std::floor(std::min(y0, y1) - width));
    const int bottom = static_cast<int>(std::ceil(std::max(y0, y1) + width));
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const double d = SegmentDistance(x + 0.5, y + 0.5, x0, y0, x1, y1);
            image.Blend(x, y, colour, width / 2 + 0.5 - d);
        }
    }
}

void Ellipse(Image& image, double cx, double cy, double rx, double ry, Rgb colour) {
    for (int y = static_cast<int>(cy - ry - 1); y <= static_cast<int>(cy + ry + 1); ++y) {
        for (int x = static_cast<int>(cx - rx - 1); x <= static_cast<int>(cx + rx + 1); ++x) {
            const double nx = (x + 0.5 - cx) / rx;
            const double ny = (y + 0.5 - cy) / ry;
            const double d = (std::sqrt(nx * nx + ny * ny) - 1.0) * std::min(rx, ry);
            image.Blend(x, y, colour, 0.5 - d);
        }
    }
}

void Disc(Image& image, double cx, double cy, double radius, Rgb colour) {
    Ellipse(image, cx, cy, radius, radius, colour);
}

void Ring(Image& image, double cx, double cy, double radius, double width, Rgb colour) {
    for (int y = static_cast<int>(cy - radius - width); y <= static_cast<int>(cy + radius + width);
         ++y) {
        for (int x = static_cast<int>(cx - radius - width);
             x <= static_cast<int>(cx + radius + width); ++x) {
            const double d = std::abs(std::hypot(x + 0.5 - cx, y + 0.5 - cy) - radius);
            image.Blend(x, y, colour, width / 2 + 0.5 - d);
        }
    }
}

double TextWidth(const std::string& text, double height) {
    const double unit = height / 6.0;
    double width = 0;
    for (char c : text)
        width += (c == ' ' ? kSpace : kAdvance) * unit;
    return text.empty() ? 0 : width - 2 * unit;
}

void Text(Image& image, double x, double y, const std::string& text, double height, double weight,
          Rgb colour) {
    const double unit = height / 6.0;
    for (char c : text) {
        const auto glyph = Glyphs().find(c);
        if (glyph != Glyphs().end()) {
            for (const Stroke& stroke : glyph->second) {
                for (std::size_t i = 1; i < stroke.size(); ++i) {
                    Line(image, x + stroke[i - 1].x * unit, y + stroke[i - 1].y * unit,
                         x + stroke[i].x * unit, y + stroke[i].y * unit, weight, colour);
                }
            }
        }
        x += (c == ' ' ? kSpace : kAdvance) * unit;
    }
}

void EngravedText(Image& image, double x, double y, const std::string& text, double height,
                  double weight, Rgb dark, Rgb light) {
    Text(image, x + 0.8, y + 0.8, text, height, weight, light);
    Text(image, x, y, text, height, weight, dark);
}

void BrushedMetal(Image& image, std::uint32_t seed, int base) {
    Random random(seed);
    const int w = image.Width();
    const int h = image.Height();
    // Long horizontal streaks: each row keeps a slowly wandering brightness.
    for (int y = 0; y < h; ++y) {
        const double row = random.Signed() * 7.0;
        double streak = random.Signed() * 3.0;
        const double shade = (0.5 - static_cast<double>(y) / h) * 14.0;
        for (int x = 0; x < w; ++x) {
            streak = streak * 0.97 + random.Signed() * 0.9;
            const int v = static_cast<int>(std::lround(base + row + streak + shade));
            image.Set(x, y,
                      {static_cast<std::uint8_t>(std::clamp(v, 0, 255)),
                       static_cast<std::uint8_t>(std::clamp(v + 1, 0, 255)),
                       static_cast<std::uint8_t>(std::clamp(v + 4, 0, 255))});
        }
    }
}

void Bevel(Image& image, int left, int top, int right, int bottom, int thickness, bool raised,
           Rgb light, Rgb dark) {
    const Rgb topLeft = raised ? light : dark;
    const Rgb bottomRight = raised ? dark : light;
    for (int i = 0; i < thickness; ++i) {
        for (int x = left + i; x < right - i; ++x) {
            image.Set(x, top + i, topLeft);
            image.Set(x, bottom - 1 - i, bottomRight);
        }
        for (int y = top + i; y < bottom - i; ++y) {
            image.Set(left + i, y, topLeft);
            image.Set(right - 1 - i, y, bottomRight);
        }
    }
}

void Screw(Image& image, double cx, double cy, double radius) {
    Disc(image, cx + 0.8, cy + 0.8, radius, Grey(120));
    Disc(image, cx, cy, radius, Grey(185));
    Disc(image, cx - radius * 0.15, cy - radius * 0.15, radius * 0.75, Grey(212));
    Ring(image, cx, cy, radius, 0.8, Grey(140));
    const double s = radius * 0.6;
    Line(image, cx - s, cy, cx + s, cy, 1.2, Grey(95));
    Line(image, cx, cy - s, cx, cy + s, 1.2, Grey(95));
}

}  // namespace gen
