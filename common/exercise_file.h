// The exercises: each lesson's idea as a task whose answer is checked against
// a target picture in several probe scenes. Read from the project's
// exercises/exercises.txt, one block per exercise:
//   exercise NAME          starts a block
//   lesson LESSON          the scene it is drawn in (a lesson's program)
//   teaches TEXT           what it teaches, in a line
//   statement TEXT         the task (lines join with a space)
//   start VERT FRAG        the starting pair, from the project's folder
//   solution VERT FRAG     the target's pair
//   hint TEXT              given one at a time, in order
//   opens TEXT             where to start: the first line of the starting
//                          pair (vertex shader, then fragment) that holds
//                          TEXT; several: the first found (one a profile)
//   probe NAME [SENTENCE]  a probe scene, and what its failure means
//   mistake NAME SENTENCE  a known mistake, and what to tell the learner who
//                          made it: what is wrong and what to change
//   edit FROM => TO        the mistake made from the solution: each FROM in
//                          either file becomes TO (a mistake's edits that
//                          match nothing in one profile's pair are skipped,
//                          but one of them must match)
//   term NAME SENTENCE     one of the target's terms drawn as a colour (the
//                          normal, N·L...), made from the solution by the
//                          edit lines after it, as a mistake is; NAME is
//                          shown as the picture's label (_ as a space)
// The core profile's pair of data/x.vert is data/core/x.vert, and so on.
#pragma once

#include <string>
#include <vector>

struct ExerciseProbe {
    std::string name;      // seen, orbit, behind, grazing, colours, shininess, scale, images
    std::string sentence;  // what a failure here means; "" for the probe's own
};

// A mistake learners make, as the solution's text edited.
struct KnownMistake {
    std::string name;
    std::string sentence;                                    // what is wrong, and what to change
    std::vector<std::pair<std::string, std::string>> edits;  // FROM, TO
};

struct Exercise {
    std::string name, lesson, teaches, statement;
    std::string startVert, startFrag, solutionVert, solutionFrag;
    std::vector<std::string> hints;
    std::vector<std::string> opens;  // texts of the line to change, the first found
    std::vector<ExerciseProbe> probes;
    std::vector<KnownMistake> mistakes;
    std::vector<KnownMistake> terms;  // the target's terms as colours: variants of the solution too
    std::string next;                 // the exercise after this one in the file, or ""
};

// A pair's two texts with the mistake's edits made; false when none of its
// edits matches either text.
bool makeMistake(const KnownMistake& mistake, std::string& vert, std::string& frag);

// Every exercise of `file`; false, with the line and reason in `why`, when
// the file cannot be read or a block is incomplete.
bool readExercises(const char* file, std::vector<Exercise>& exercises, std::string& why);

// The exercise called `name`, or null.
const Exercise* findExercise(const std::vector<Exercise>& exercises, const std::string& name);

// `path` (a project-relative file of a pair) for the profile: "data/x.vert",
// or "data/core/x.vert" with `core`.
std::string pairFile(const std::string& path, bool core);
