#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A 24-bit picture drawn by the generator and the files it is written to.
namespace gen {

struct Rgb {
    std::uint8_t r, g, b;
    bool operator==(const Rgb&) const = default;
};

class Image {
  public:
    Image(int width, int height, Rgb fill = {0, 0, 0});

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Rgb At(int x, int y) const { return m_pixels[Index(x, y)]; }
    void Set(int x, int y, Rgb colour);
    // Blends colour over the pixel; coverage 0 leaves it, 1 replaces it.
    void Blend(int x, int y, Rgb colour, double coverage);
    void FillRect(int left, int top, int right, int bottom, Rgb colour);

    // Whether each pixel is part of the picture; icons keep the rest transparent.
    std::vector<bool> opaque;

  private:
    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
               static_cast<std::size_t>(x);
    }

    int m_width;
    int m_height;
    std::vector<Rgb> m_pixels;
};

// An icon file holding each image at the given colour depth (4 or 8 bits per pixel).
struct IconImage {
    const Image* image;
    int bitsPerPixel;
};
std::vector<std::uint8_t> IconFile(const std::vector<IconImage>& images);

// A bottom-up 24-bit BMP file.
std::vector<std::uint8_t> BitmapFile(const Image& image);

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace gen
