#pragma once

#include <cstdint>
#include <string>

#include "Image.h"

// Antialiased drawing on an Image, in pixel coordinates where (x + 0.5, y + 0.5) is the centre of
// pixel (x, y).
namespace gen {

void Line(Image& image, double x0, double y0, double x1, double y1, double width, Rgb colour);
void Disc(Image& image, double cx, double cy, double radius, Rgb colour);
void Ring(Image& image, double cx, double cy, double radius, double width, Rgb colour);
void Ellipse(Image& image, double cx, double cy, double rx, double ry, Rgb colour);

// Upper-case letters in a stroke font; height is the cap height in pixels. Returns the width.
double TextWidth(const std::string& text, double height);
void Text(Image& image, double x, double y, const std::string& text, double height, double weight,
          Rgb colour);
// Text cut into a metal surface: a light edge below right, the text itself dark.
void EngravedText(Image& image, double x, double y, const std::string& text, double height,
                  double weight, Rgb dark, Rgb light);

// Horizontally brushed metal over the whole image, the same for the same seed.
void BrushedMetal(Image& image, std::uint32_t seed, int base);
// A frame of the given thickness: light top and left, dark bottom and right (or the reverse).
void Bevel(Image& image, int left, int top, int right, int bottom, int thickness, bool raised,
           Rgb light, Rgb dark);
// A cross-slotted screw head.
void Screw(Image& image, double cx, double cy, double radius);

Rgb Mix(Rgb a, Rgb b, double t);
Rgb Grey(int value);

// A small deterministic generator for textures and noise.
class Random {
  public:
    explicit Random(std::uint32_t seed) : m_state(seed ? seed : 1) {}
    std::uint32_t Next();
    // Uniform in [-1, 1].
    double Signed();

  private:
    std::uint32_t m_state;
};

}  // namespace gen
