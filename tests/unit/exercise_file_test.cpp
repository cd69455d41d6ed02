// The exercises' file: each malformed input gets one error naming its line,
// and a file saved with Windows line ends reads as the same file.
#include <fstream>
#include <sstream>

#include "exercise_file.h"
#include "scratch.h"

namespace {

const char* const good =
    "# a comment\n"
    "exercise first\n"
    "lesson lesson_diffuse\n"
    "statement Light it.\n"
    "start data/a.vert data/a.frag\n"
    "solution data/b.vert data/b.frag\n"
    "probe seen\nprobe orbit\nprobe behind your dark side differs\nprobe scale\n"
    "\n"
    "exercise second\n"
    "lesson lesson_ambient\n"
    "statement Again.\n"
    "start data/a.vert data/a.frag\n"
    "solution data/b.vert data/b.frag\n"
    "probe seen\nprobe orbit\nprobe colours\nprobe scale\n";

struct Malformed {
    const char* from;  // a line of `good`...
    const char* to;    // ...made into this
    const char* said;  // what the error says, after the file's name
};

void PrintTo(const Malformed& m, std::ostream* os) { *os << m.said; }

class MalformedExercises : public ScratchTest, public ::testing::WithParamInterface<Malformed> {};

TEST_P(MalformedExercises, OneErrorNamingTheLine) {
    std::string text = good;
    size_t at = text.find(GetParam().from);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, strlen(GetParam().from), GetParam().to);
    std::vector<Exercise> exercises;
    std::string why;
    std::string file = write("exercises.txt", text);
    EXPECT_FALSE(readExercises(file.c_str(), exercises, why));
    EXPECT_EQ(why, file + ":" + GetParam().said);
}

INSTANTIATE_TEST_SUITE_P(
    ExerciseFile, MalformedExercises,
    ::testing::Values(
        Malformed{"exercise second", "exercise first",
                  "12: a second exercise called first (the first is at line 2)"},
        Malformed{"exercise second", "exercise half lambert",
                  "12: an exercise's name is one word of letters, digits, _ and -, not \"half "
                  "lambert\""},
        Malformed{"probe colours", "probe colors",
                  "19: no probe called \"colors\" (the probes: seen, orbit, behind, grazing, "
                  "colours, shininess, scale, images)"},
        Malformed{"lesson lesson_diffuse\n", "", "2: first has no lesson"},
        Malformed{"probe scale\n\n", "probe scale\nprobe seen\n", "11: probe seen twice in first"},
        Malformed{"probe colours\nprobe scale\n", "", "12: second has no four probes"}));

TEST_F(ScratchTest, WindowsLineEndsReadAsTheSameFile) {
    std::string crlf;
    for (const char* c = good; *c; ++c)
        crlf += *c == '\n' ? std::string("\r\n") : std::string(1, *c);
    std::vector<Exercise> unix, windows;
    std::string why;
    ASSERT_TRUE(readExercises(write("lf.txt", good).c_str(), unix, why)) << why;
    ASSERT_TRUE(readExercises(write("crlf.txt", crlf).c_str(), windows, why)) << why;
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[1].name, "second");
    EXPECT_EQ(windows[0].solutionFrag, unix[0].solutionFrag);
    EXPECT_EQ(windows[0].probes[2].sentence, "your dark side differs");
}

}  // namespace
