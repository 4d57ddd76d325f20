#pragma once
// An off-screen picture of 32-bit pixels 0xFFRRGGBB, the layout Qt's RGB32
// images use, so the windows can show it without converting.
#include <cstdint>
#include <vector>

constexpr std::uint32_t kBlackPixel = 0xFF000000u;

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    Bitmap() = default;
    Bitmap(int w, int h, std::uint32_t fill = kBlackPixel) { resize(w, h, fill); }

    void resize(int w, int h, std::uint32_t fill = kBlackPixel)
    {
        width = w < 0 ? 0 : w;
        height = h < 0 ? 0 : h;
        pixels.assign(static_cast<std::size_t>(width) * height, fill);
    }
    void fill(std::uint32_t value) { pixels.assign(pixels.size(), value); }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    void set(int x, int y, std::uint32_t v) { pixels[static_cast<std::size_t>(y) * width + x] = v; }
    bool operator==(const Bitmap&) const = default;
};
