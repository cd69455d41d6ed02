// Checking an answer to an exercise: the learner's pair and the target's,
// drawn off screen in each of the exercise's probe scenes, compared over the
// pixels the teapot covers in either picture.
#pragma once

#include <string>
#include <vector>

#include "exercise.h"
#include "picture.h"

// How one probe went.
struct ProbeResult {
    std::string name;    // the probe's name ("behind")
    std::string scene;   // what its scene is, in a few words
    std::string means;   // what a failure there means
    long covered = 0;    // pixels the teapot covers in either picture
    long differing = 0;  // of those, pixels that differ beyond the tolerance
    bool passed = false;
};

// The probe scene called `name`, from the lesson's own scene turned by 30
// degrees; false for a name no probe has, or one the lesson cannot draw
// ("images" without textures).
bool probeScene(const std::string& name, PictureScene& scene);

// A probe's three pictures (RGB, size x size): the answer's, the target's,
// and where they differ (red, the deeper the more; the target's own pixels
// faded where they agree).
struct ProbePictures {
    std::vector<unsigned char> answer, target, difference;
};

// Draws `answer` and `target` (linked programs) in every probe of `e` at
// size x size pixels and compares them. `pictures`, when given, receives
// each probe's pictures.
std::vector<ProbeResult> checkAnswer(const Exercise& e, unsigned int answer, unsigned int target,
                                     int size = 200,
                                     std::vector<ProbePictures>* pictures = nullptr);

// Where two pictures of the same size (RGB) differ beyond the check's
// tolerance: red, the deeper the more; elsewhere the second faded.
std::vector<unsigned char> differencePicture(const std::vector<unsigned char>& answer,
                                             const std::vector<unsigned char>& target);

// Whether every probe passed.
bool allPassed(const std::vector<ProbeResult>& results);

// One line per probe on standard output: "pass" or "FAIL", the probe, what
// it shows, and for a failure what it means and how many pixels differ.
void printResults(const std::vector<ProbeResult>& results);
