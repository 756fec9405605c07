#include "Image.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace gen {
namespace {

void Put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// The 16 colours of the standard VGA palette, which every 16-colour icon uses.
constexpr std::array<Rgb, 16> kVgaPalette{{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {192, 192, 192},
    {128, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

// 256 colours: a 6x6x6 colour cube and a 40-step grey ramp.
std::vector<Rgb> Palette256() {
    std::vector<Rgb> palette;
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                palette.push_back({static_cast<std::uint8_t>(r * 51),
                                   static_cast<std::uint8_t>(g * 51),
                                   static_cast<std::uint8_t>(b * 51)});
            }
        }
    }
    for (int i = 0; i < 40; ++i) {
        const auto v = static_cast<std::uint8_t>(i * 255 / 39);
        palette.push_back({v, v, v});
    }
    return palette;
}

std::size_t Nearest(const std::vector<Rgb>& palette, Rgb colour) {
    std::size_t best = 0;
    long bestDistance = -1;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const long dr = palette[i].r - colour.r;
        const long dg = palette[i].g - colour.g;
        const long db = palette[i].b - colour.b;
        const long distance = dr * dr * 3 + dg * dg * 4 + db * db * 2;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

std::size_t RowBytes(int width, int bitsPerPixel) {
    return static_cast<std::size_t>((width * bitsPerPixel + 31) / 32 * 4);
}

std::vector<std::uint8_t> IconImageBytes(const Image& image, int bitsPerPixel) {
    const std::vector<Rgb> palette =
        bitsPerPixel == 4 ? std::vector<Rgb>(kVgaPalette.begin(), kVgaPalette.end()) : Palette256();
    const int w = image.Width();
    const int h = image.Height();
    const std::size_t colourRow = RowBytes(w, bitsPerPixel);
    const std::size_t maskRow = RowBytes(w, 1);

    std::vector<std::uint8_t> out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(w));
    Put32(out, static_cast<std::uint32_t>(h * 2));
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(bitsPerPixel));
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>((colourRow + maskRow) * static_cast<std::size_t>(h)));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(palette.size()));
    Put32(out, 0);
    for (const Rgb& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    for (int y = h - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(colourRow, 0);
        for (int x = 0; x < w; ++x) {
            const bool opaque = image.opaque[static_cast<std::size_t>(y * w + x)];
            const auto index =
                static_cast<std::uint8_t>(opaque ? Nearest(palette, image.At(x, y)) : 0);
            if (bitsPerPixel == 8) {
                row[static_cast<std::size_t>(x)] = index;
            } else {
                row[static_cast<std::size_t>(x / 2)] |=
                    static_cast<std::uint8_t>(x % 2 ? index : index << 4);
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    for (int y = h - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskRow, 0);
        for (int x = 0; x < w; ++x) {
            if (!image.opaque[static_cast<std::size_t>(y * w + x)]) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

Image::Image(int width, int height, Rgb fill)
    : opaque(static_cast<std::size_t>(width * height), true),
      m_width(width),
      m_height(height),
      m_pixels(static_cast<std::size_t>(width * height), fill) {}

void Image::Set(int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    m_pixels[Index(x, y)] = colour;
}

void Image::Blend(int x, int y, Rgb colour, double coverage) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    coverage = std::clamp(coverage, 0.0, 1.0);
    Rgb& p = m_pixels[Index(x, y)];
    const auto mix = [coverage](std::uint8_t a, std::uint8_t b) {
        return static_cast<std::uint8_t>(std::lround(a + (b - a) * coverage));
    };
    p = {mix(p.r, colour.r), mix(p.g, colour.g), mix(p.b, colour.b)};
}

void Image::FillRect(int left, int top, int right, int bottom, Rgb colour) {
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x)
            Set(x, y, colour);
    }
}

std::vector<std::uint8_t> IconFile(const std::vector<IconImage>& images) {
    std::vector<std::vector<std::uint8_t>> bodies;
    for (const IconImage& icon : images)
        bodies.push_back(IconImageBytes(*icon.image, icon.bitsPerPixel));

    std::vector<std::uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(images.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const Image& image = *images[i].image;
        out.push_back(static_cast<std::uint8_t>(image.Width()));
        out.push_back(static_cast<std::uint8_t>(image.Height()));
        out.push_back(images[i].bitsPerPixel == 4 ? 16 : 0);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, static_cast<unsigned>(images[i].bitsPerPixel));
        Put32(out, static_cast<std::uint32_t>(bodies[i].size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(bodies[i].size());
    }
    for (const auto& body : bodies)
        out.insert(out.end(), body.begin(), body.end());
    return out;
}

std::vector<std::uint8_t> BitmapFile(const Image& image) {
    const std::size_t row = RowBytes(image.Width(), 24);
    const auto pixelBytes =
        static_cast<std::uint32_t>(row * static_cast<std::size_t>(image.Height()));
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 14 + 40 + pixelBytes);
    Put32(out, 0);
    Put32(out, 14 + 40);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(image.Width()));
    Put32(out, static_cast<std::uint32_t>(image.Height()));
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);
    Put32(out, pixelBytes);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = image.Height() - 1; y >= 0; --y) {
        std::size_t written = 0;
        for (int x = 0; x < image.Width(); ++x) {
            const Rgb c = image.At(x, y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
            written += 3;
        }
        for (; written < row; ++written)
            out.push_back(0);
    }
    return out;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}

}  // namespace gen
