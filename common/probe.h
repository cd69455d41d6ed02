// A probe of an exercise's check, as data: a program's pictures in one probe
// scene, how two programs' pictures compare pixel by pixel, how each probe
// went, and the verdict that names the learner's likely mistake. (The
// running lesson draws the probes: LessonRun::checkAnswer, check.cpp.)
#pragma once

#include <string>
#include <vector>

// A program's picture in one probe scene (RGB, size x size), on white and
// on black: where the two agree, the teapot covers the pixel.
struct ProbeImages {
    std::vector<unsigned char> white, black;
};

// How two programs' pictures of one scene compare: the pixels the teapot
// covers in either, and of those the ones that differ beyond the tolerance;
// with `difference`, where they differ (red, the deeper the more; the
// second's own pixels faded where they agree).
struct Comparison {
    long covered = 0;
    long differing = 0;
    long patch = 0;         // differing pixels whose four neighbours all differ
    bool same() const;      // few enough differ, and in no spot, to pass
    bool spotOnly() const;  // few enough differ, but in a spot
};
Comparison compare(const ProbeImages& a, const ProbeImages& b,
                   std::vector<unsigned char>* difference = nullptr);

// How one probe went.
struct ProbeResult {
    std::string name;    // the probe's name ("behind")
    std::string scene;   // what its scene is, in a few words
    std::string means;   // what a failure there means in this exercise
    long covered = 0;    // pixels the teapot covers in either picture
    long differing = 0;  // of those, pixels that differ beyond the tolerance
    bool spot = false;   // failed by a spot of them alone, few as they are
    bool passed = false;
};

// A probe's three pictures (RGB, size x size): the answer's, the target's,
// and where they differ.
struct ProbePictures {
    std::vector<unsigned char> answer, target, difference;
};

// A check's verdict: each probe, and what to tell the learner first.
struct Verdict {
    std::vector<ProbeResult> probes;
    std::string mistake;  // the known mistake the answer's pictures match, or ""
    // The mistake's sentence; or, where none matches, the scene that tells
    // most (the one the fewest known mistakes fail) and what a failure there
    // means; "" when every probe passes.
    std::string likely;
    std::vector<std::string> alsoDiffers;  // the other failing probes' scenes
};

// Where two pictures of the same size (RGB) differ beyond the check's
// tolerance: red, the deeper the more; elsewhere the second faded.
std::vector<unsigned char> differencePicture(const std::vector<unsigned char>& answer,
                                             const std::vector<unsigned char>& target);

// Whether every probe passed.
bool allPassed(const std::vector<ProbeResult>& results);

class Json;

// The verdict's members, written into a JSON object: "passed", "probes":
// [{"name", "scene", "means", "passed", "differing", "covered", "share"}],
// "mistake" (its name, or null), "likely" (the sentence, or null),
// "alsoDiffers": [names].
void addVerdict(Json& object, const Verdict& verdict);

// The verdict in lines: what it likely is, then one line per probe, "pass"
// or "FAIL", the probe, what it shows, and for a failure how many pixels
// differ.
std::string resultLines(const Verdict& verdict);
