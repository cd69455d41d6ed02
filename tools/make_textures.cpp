// Makes the two images of the texturing lessons, so the repository holds no
// binary pictures:
//   tex0.tga  256 x 256, 24-bit: the base pattern, a 4 x 4 checkerboard of tiles
//   tex1.tga  128 x 128, 32-bit: a light map, one soft bright spot on grey
// Multiplied in the shader, the spot brightens the middle of every patch of
// tiles and darkens its edges, so each image can be told apart on the teapot.
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "TgaWriter.h"

static tga::Image baseTiles() {
    tga::Image image = tga::makeImage(256, 256, 3);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            uint8_t* p = image.at(x, y);
            bool grout = x % 64 < 3 || y % 64 < 3;
            bool dark = ((x / 64) + (y / 64)) % 2 == 1;
            if (grout) {
                p[0] = 70, p[1] = 60, p[2] = 60;
            } else if (dark) {
                p[0] = 80, p[1] = 170, p[2] = 200;  // teal
            } else {
                p[0] = 255, p[1] = 250, p[2] = 235;  // warm white
            }
        }
    }
    return image;
}

static tga::Image lightSpots() {
    tga::Image image = tga::makeImage(128, 128, 4);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            // Bright in the middle, falling off to 0.35 at the edges.
            double dx = (x - 63.5) / 64.0, dy = (y - 63.5) / 64.0;
            double fall = std::exp(-3.0 * (dx * dx + dy * dy));
            double level = 0.35 + 0.65 * fall;
            uint8_t* p = image.at(x, y);
            p[0] = p[1] = p[2] = (uint8_t)std::lround(255.0 * level);
            p[3] = (uint8_t)std::lround(255.0 * fall);  // the spot's coverage, for learners to use
        }
    }
    return image;
}

int main(int argc, char** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: %s [FOLDER]   (writes FOLDER/tex0.tga and FOLDER/tex1.tga)\n",
                     argv[0]);
        return 2;
    }
    std::string dir = argc > 1 ? argv[1] : ".";
    for (const auto& [name, image] :
         {std::pair{"/tex0.tga", baseTiles()}, std::pair{"/tex1.tga", lightSpots()}}) {
        if (!tga::write(dir + name, image)) {
            std::perror(("make_textures: " + dir + name).c_str());
            return 1;
        }
    }
    return 0;
}
