// Writes uncompressed 24- or 32-bit TGA files in the form the lessons read:
// no image ID, no colour map, origin 0, pixels stored blue, green, red (, alpha).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tga {

// One image: width x height pixels of `channels` bytes each (3 = RGB,
// 4 = RGBA), rows bottom to top as OpenGL and TGA both count them.
struct Image {
    int width = 0, height = 0, channels = 3;
    std::vector<uint8_t> rgba;  // width * height * channels bytes, R first

    uint8_t* at(int x, int y) { return &rgba[((size_t)y * width + x) * channels]; }
};

inline Image makeImage(int width, int height, int channels) {
    Image image;
    image.width = width;
    image.height = height;
    image.channels = channels;
    image.rgba.assign((size_t)width * height * channels, 0);
    return image;
}

// The 18-byte header. `descriptor` is written as given (bit 5: top-left origin).
inline std::vector<uint8_t> header(int width, int height, int bits, uint8_t descriptor = 0) {
    std::vector<uint8_t> h(18, 0);
    h[2] = 2;  // uncompressed true colour
    h[12] = width & 0xff;
    h[13] = (width >> 8) & 0xff;
    h[14] = height & 0xff;
    h[15] = (height >> 8) & 0xff;
    h[16] = (uint8_t)bits;
    h[17] = descriptor;
    return h;
}

// The whole file as bytes: header, then the pixels with red and blue swapped.
inline std::vector<uint8_t> encode(const Image& image, uint8_t descriptor = 0) {
    std::vector<uint8_t> out = header(image.width, image.height, image.channels * 8, descriptor);
    for (size_t i = 0; i < image.rgba.size(); i += image.channels) {
        out.push_back(image.rgba[i + 2]);
        out.push_back(image.rgba[i + 1]);
        out.push_back(image.rgba[i]);
        if (image.channels == 4) out.push_back(image.rgba[i + 3]);
    }
    return out;
}

inline bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline bool write(const std::string& path, const Image& image) {
    return writeBytes(path, encode(image));
}

}  // namespace tga
