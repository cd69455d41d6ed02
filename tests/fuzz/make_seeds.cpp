// Writes the fuzzer's seed corpus: small images of each accepted form and a
// few near misses, so the fuzzer starts from inside the format.
#include <string>

#include "TgaWriter.h"

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::string dir = argv[1];
    int written = 0;
    for (int channels : {3, 4}) {
        for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {7, 5}}) {
            tga::Image image = tga::makeImage(w, h, channels);
            for (size_t i = 0; i < image.rgba.size(); ++i) image.rgba[i] = (uint8_t)(i * 29);
            std::string name = dir + "/seed_" + std::to_string(w) + "x" + std::to_string(h) + "_" +
                               std::to_string(channels * 8);
            written += tga::writeBytes(name + ".tga", tga::encode(image));
            written += tga::writeBytes(name + "_topleft.tga", tga::encode(image, 0x28));
        }
    }
    std::vector<uint8_t> sixteen = tga::header(2, 2, 16);
    sixteen.resize(18 + 8, 0x55);
    written += tga::writeBytes(dir + "/seed_16bit.tga", sixteen);
    std::vector<uint8_t> truncated = tga::header(64, 64, 24);
    truncated.resize(40, 0x11);
    written += tga::writeBytes(dir + "/seed_truncated.tga", truncated);
    return written == 14 ? 0 : 1;
}
