// LoadTGAImage: the accepted form, every rejection, and files that lie about
// their size.
#include <cstdint>
#include <string>
#include <vector>

#include "Targa.h"
#include "TgaWriter.h"
#include "scratch.h"

namespace {

class TargaTest : public ScratchTest {
   protected:
    // Writes `bytes` to a file and reads it back; `info` keeps what the reader wrote.
    GLubyte* load(const std::vector<uint8_t>& bytes) {
        std::string file = path("image.tga");
        EXPECT_TRUE(tga::writeBytes(file, bytes));
        info = {0xdead, 0xdead, 0xdead};
        return LoadTGAImage(const_cast<char*>(file.c_str()), &info);
    }

    // The file's pixels, in file order, with red and blue swapped back.
    static std::vector<uint8_t> expected(const std::vector<uint8_t>& file, int bytesPerPixel) {
        std::vector<uint8_t> out(file.begin() + 18, file.end());
        for (size_t i = 0; i + 2 < out.size(); i += bytesPerPixel) std::swap(out[i], out[i + 2]);
        return out;
    }

    static std::vector<uint8_t> pattern(int width, int height, int bits, uint8_t descriptor = 0) {
        std::vector<uint8_t> bytes = tga::header(width, height, bits, descriptor);
        for (int i = 0; i < width * height * bits / 8; ++i)
            bytes.push_back(uint8_t(i * 7 + i / 13));
        return bytes;
    }

    TARGAINFO info;
};

TEST_F(TargaTest, OnePixel24BitGivesRedGreenBlue) {
    std::vector<uint8_t> file = tga::header(1, 1, 24);
    file.insert(file.end(), {10, 20, 30});  // blue, green, red
    GLubyte* bits = load(file);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ((std::vector<uint8_t>{bits[0], bits[1], bits[2]}),
              (std::vector<uint8_t>{30, 20, 10}));
    EXPECT_EQ(info.width, 1u);
    EXPECT_EQ(info.height, 1u);
    EXPECT_EQ(info.bpp, 24u);
    free(bits);
}

TEST_F(TargaTest, ConvertsEveryPixelOfOddAndLargeImages) {
    // Sizes that leave every kind of remainder for a 16-byte step, and one
    // larger than a read slice.
    for (auto [w, h] :
         {std::pair{1, 1}, {5, 1}, {6, 1}, {7, 3}, {37, 21}, {1023, 67}, {640, 480}}) {
        for (int bits : {24, 32}) {
            SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + "x" + std::to_string(bits));
            std::vector<uint8_t> file = pattern(w, h, bits);
            GLubyte* pixels = load(file);
            ASSERT_NE(pixels, nullptr);
            std::vector<uint8_t> want = expected(file, bits / 8);
            EXPECT_EQ(std::vector<uint8_t>(pixels, pixels + want.size()), want);
            EXPECT_EQ(info.width, (GLuint)w);
            EXPECT_EQ(info.height, (GLuint)h);
            EXPECT_EQ(info.bpp, (GLuint)bits);
            free(pixels);
        }
    }
}

TEST_F(TargaTest, KeepsAlphaAndRowOrder) {
    // A top-left-origin 32-bit image: rows stay as stored, alpha stays put.
    std::vector<uint8_t> file = tga::header(2, 2, 32, 0x28);
    file.insert(file.end(), {1, 2, 3, 200, 4, 5, 6, 0, 7, 8, 9, 255, 10, 11, 12, 17});
    GLubyte* bits = load(file);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(bits, bits + 16),
              (std::vector<uint8_t>{3, 2, 1, 200, 6, 5, 4, 0, 9, 8, 7, 255, 12, 11, 10, 17}));
    free(bits);
}

TEST_F(TargaTest, IgnoresBytesAfterThePixels) {
    std::vector<uint8_t> file = pattern(3, 2, 24);
    std::vector<uint8_t> want = expected(file, 3);
    file.insert(file.end(), 26, 0xee);  // a footer
    GLubyte* bits = load(file);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(bits, bits + want.size()), want);
    free(bits);
}

TEST_F(TargaTest, RejectsOtherFormsOfTheFormat) {
    struct Case {
        const char* what;
        int offset;
        uint8_t value;
    };
    for (Case c : {Case{"image ID present", 0, 5},
                   {"colour-mapped", 1, 1},
                   {"colour-mapped type", 2, 1},
                   {"grey-scale", 2, 3},
                   {"run-length coded", 2, 10},
                   {"colour-map fields", 5, 16},
                   {"x origin", 8, 1},
                   {"x origin high byte", 9, 1},
                   {"y origin", 10, 1},
                   {"y origin high byte", 11, 2}}) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> file = pattern(4, 4, 24);
        file[c.offset] = c.value;
        EXPECT_EQ(load(file), nullptr);
        EXPECT_EQ(info.width, 0xdeadu) << "info written for a header that was refused";
    }
}

TEST_F(TargaTest, RejectsOtherDepthsAndEmptySizesAfterFillingInfo) {
    EXPECT_EQ(load(pattern(4, 3, 16)), nullptr);
    EXPECT_EQ(info.bpp, 16u);
    EXPECT_EQ(info.width, 4u);
    EXPECT_EQ(info.height, 3u);
    EXPECT_EQ(load(pattern(4, 3, 8)), nullptr);
    EXPECT_EQ(load(tga::header(0, 5, 24)), nullptr);
    EXPECT_EQ(info.width, 0u);
    EXPECT_EQ(info.height, 5u);
    EXPECT_EQ(load(tga::header(5, 0, 32)), nullptr);
    EXPECT_EQ(info.height, 0u);
}

TEST_F(TargaTest, RejectsShortFiles) {
    std::vector<uint8_t> file = pattern(4, 4, 24);
    for (size_t size : {size_t(0), size_t(1), size_t(11), size_t(12), size_t(17), size_t(18),
                        size_t(19), file.size() - 1}) {
        SCOPED_TRACE(size);
        EXPECT_EQ(load(std::vector<uint8_t>(file.begin(), file.begin() + size)), nullptr);
    }
}

TEST_F(TargaTest, RefusesHugeDeclaredSizesWithoutAllocating) {
    // 65535 x 65535 x 32 bits is 17 GB: past a signed 32-bit size.
    std::vector<uint8_t> file = tga::header(65535, 65535, 32);
    file.resize(30, 0);
    EXPECT_EQ(load(file), nullptr);
    // 46341 x 46341 x 24 bits overflows 32 bits, wrapping to a small size.
    file = tga::header(46341, 46341, 24);
    file.resize(200, 1);
    EXPECT_EQ(load(file), nullptr);
    // 16384 x 16384 x 32 bits is 1 GiB: fits, but the file holds 12 bytes of
    // it. Refused for that before any buffer is asked for: a reader that
    // allocated first would fail only later, while reading, and say so.
    file = tga::header(16384, 16384, 32);
    file.resize(30, 0);
    EXPECT_EQ(load(file), nullptr);
    EXPECT_NE(std::string(TGAFailure()).find("shorter than its header says"), std::string::npos)
        << TGAFailure();
}

TEST_F(TargaTest, MissingFileOrFolderGivesNull) {
    info = {1, 2, 3};
    EXPECT_EQ(LoadTGAImage(const_cast<char*>(path("none.tga").c_str()), &info), nullptr);
    EXPECT_EQ(LoadTGAImage(const_cast<char*>(dir_.c_str()), &info), nullptr);
}

}  // namespace
