// Compares a rendered frame with its reference image.
//   imgdiff ACTUAL.png REFERENCE.png DIFF.png [TOLERANCE] [SHARE]
// A pixel differs when any channel is more than TOLERANCE steps (of 255) off;
// the images match when at most SHARE of the pixels differ. On a mismatch it
// writes DIFF.png (differing pixels red over a faded copy of the reference)
// and exits 1.
#include <cstdio>
#include <cstdlib>
#include <memory>

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

using Pixels = std::unique_ptr<unsigned char, decltype(&stbi_image_free)>;

static Pixels load(const char* path, int* w, int* h) {
    int channels;
    return Pixels(stbi_load(path, w, h, &channels, 3), &stbi_image_free);
}

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: imgdiff ACTUAL REFERENCE DIFF [TOLERANCE] [SHARE]\n");
        return 2;
    }
    int tolerance = argc > 4 ? std::atoi(argv[4]) : 8;
    double share = argc > 5 ? std::atof(argv[5]) : 0.005;
    int aw, ah, rw, rh;
    Pixels actual = load(argv[1], &aw, &ah), reference = load(argv[2], &rw, &rh);
    if (!actual || !reference) {
        std::fprintf(stderr, "imgdiff: cannot read %s\n", actual ? argv[2] : argv[1]);
        return 2;
    }
    if (aw != rw || ah != rh) {
        std::fprintf(stderr, "imgdiff: size %dx%d, reference %dx%d\n", aw, ah, rw, rh);
        return 1;
    }
    const unsigned char* a = actual.get();
    const unsigned char* r = reference.get();
    size_t pixels = (size_t)aw * ah, differing = 0;
    int worst = 0;
    std::unique_ptr<unsigned char[]> diff(new unsigned char[pixels * 3]);
    for (size_t i = 0; i < pixels; ++i) {
        int off = 0;
        for (int c = 0; c < 3; ++c) off = std::max(off, std::abs(a[i * 3 + c] - r[i * 3 + c]));
        worst = std::max(worst, off);
        bool bad = off > tolerance;
        differing += bad;
        for (int c = 0; c < 3; ++c)
            diff[i * 3 + c] = bad ? (c == 0 ? 255 : 0) : (unsigned char)(191 + r[i * 3 + c] / 4);
    }
    double seen = (double)differing / pixels;
    std::printf(
        "imgdiff: %zu of %zu pixels differ by more than %d (%.3f%%, allowed %.3f%%), worst %d\n",
        differing, pixels, tolerance, seen * 100, share * 100, worst);
    if (seen <= share) return 0;
    stbi_write_png(argv[3], aw, ah, 3, diff.get(), aw * 3);
    return 1;
}
