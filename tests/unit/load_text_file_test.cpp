// loadTextFile: whole files plus a NUL, and every kind of file it must refuse.
#include <fcntl.h>
#include <sys/stat.h>

#include <unistd.h>

#include <cstring>

#include "scratch.h"
#include "shaders.h"

namespace {

using LoadTextFileTest = ScratchTest;

struct Text {
    char* p;
    explicit Text(char* text) : p(text) {}
    ~Text() { free(p); }
};

TEST_F(LoadTextFileTest, ReadsTheWholeFileAndAddsOneNul) {
    std::string source =
        "#version 110\r\nvoid main() {}\n\xc5\x82";  // CRLF and UTF-8 kept as stored
    Text text(loadTextFile(write("a.vert", source).c_str()));
    ASSERT_NE(text.p, nullptr);
    EXPECT_EQ(std::string(text.p), source);
    EXPECT_EQ(text.p[source.size()], '\0');
}

TEST_F(LoadTextFileTest, ByteOrderMarkIsNotPartOfTheSource) {
    // Editors on Windows save UTF-8 with a byte-order mark; GLSL knows none.
    Text text(loadTextFile(write("bom.frag", "\xef\xbb\xbf#version 110\n").c_str()));
    ASSERT_NE(text.p, nullptr);
    EXPECT_STREQ(text.p, "#version 110\n");
}

TEST_F(LoadTextFileTest, EmptyFileGivesOnlyTheNul) {
    Text text(loadTextFile(write("empty.frag", "").c_str()));
    ASSERT_NE(text.p, nullptr);
    EXPECT_EQ(text.p[0], '\0');
}

TEST_F(LoadTextFileTest, NulByteInsideIsKeptAndEndsTheString) {
    std::string source("void main() {}\0garbage", 22);
    Text text(loadTextFile(write("nul.vert", source).c_str()));
    ASSERT_NE(text.p, nullptr);
    EXPECT_STREQ(text.p, "void main() {}");
    EXPECT_EQ(std::memcmp(text.p, source.data(), source.size()), 0);
    EXPECT_EQ(text.p[source.size()], '\0');
}

TEST_F(LoadTextFileTest, RefusesMissingFilesAndFolders) {
    EXPECT_EQ(loadTextFile(path("missing.vert").c_str()), nullptr);
    EXPECT_EQ(loadTextFile(dir_.c_str()), nullptr);
    EXPECT_EQ(loadTextFile(""), nullptr);
}

// A FIFO with no writer would hold fopen for ever: it is refused unopened,
// like a device. The alarm ends the test run, as a failure, if it waits.
TEST_F(LoadTextFileTest, RefusesAFifoAndADeviceWithoutWaiting) {
    std::string fifo = path("shader.vert");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    alarm(10);
    EXPECT_EQ(loadTextFile(fifo.c_str()), nullptr);
    EXPECT_EQ(loadTextFile("/dev/zero"), nullptr);
    alarm(0);
}

}  // namespace
