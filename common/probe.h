// A probe of an exercise's check, as data: how one scene went and its
// pictures, and how two pictures are compared pixel by pixel. (The running
// lesson draws the probes: LessonRun::checkAnswer, check.cpp.)
#pragma once

#include <string>
#include <vector>

// How one probe went.
struct ProbeResult {
    std::string name;    // the probe's name ("behind")
    std::string scene;   // what its scene is, in a few words
    std::string means;   // what a failure there means
    long covered = 0;    // pixels the teapot covers in either picture
    long differing = 0;  // of those, pixels that differ beyond the tolerance
    bool passed = false;
};

// A probe's three pictures (RGB, size x size): the answer's, the target's,
// and where they differ (red, the deeper the more; the target's own pixels
// faded where they agree).
struct ProbePictures {
    std::vector<unsigned char> answer, target, difference;
};

// Whether two pixels (RGB) differ beyond the check's tolerance.
bool pixelsDiffer(const unsigned char* a, const unsigned char* b);

// A difference picture's pixel: red, the deeper the further apart the
// answer's and the target's; the target's own faded where they agree.
void markDifference(const unsigned char* answer, const unsigned char* target, unsigned char* out);

// Where two pictures of the same size (RGB) differ beyond the check's
// tolerance: red, the deeper the more; elsewhere the second faded.
std::vector<unsigned char> differencePicture(const std::vector<unsigned char>& answer,
                                             const std::vector<unsigned char>& target);

// Whether every probe passed.
bool allPassed(const std::vector<ProbeResult>& results);

// One line per probe: "pass" or "FAIL", the probe, what it shows, and for a
// failure what it means and how many pixels differ.
std::string resultLines(const std::vector<ProbeResult>& results);
