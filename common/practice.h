// Practising an exercise in explore mode (`lesson_x --explore --exercise
// NAME`): every pair that builds is checked against the exercise's target in
// its probe scenes at once; the window shows the learner's picture beside the
// target's; keys give the hints one at a time and, last, the solution, and
// jump the view to a probe scene that fails. Progress is kept in the working
// folder, "progress.txt".
#pragma once

#include <string>
#include <vector>

#include "check.h"
#include "exercise.h"

// Whether an exercise is being practised.
bool practising();

// Starts practising `e` (its files' paths as they can be opened), whose
// target is the linked program `target`. The window grows to hold the two
// pictures side by side.
void startPractice(const Exercise& e, unsigned int target);

// Checks `program`, the pair just built, against the target: one line per
// probe in the terminal, the title's count, the progress file.
void practiceCheck(unsigned int program);

// The last check's results, and each probe's pictures (the answer's, the
// target's, their difference); empty before the first.
const std::vector<ProbeResult>& practiceResults();
const std::vector<ProbePictures>& practicePictures();

// Whether the solution was shown (the exercise is "solved with help").
bool practiceHelped();

// The right half: the target, or where the learner's picture differs from
// it (red, the deeper the more; the target faded where they agree).
void toggleDifference();

// The title's words for the last check: " - 3 of 5 probes pass", " - solved".
std::string practiceTitle();

// The next hint, or after the last, the solution (which marks the exercise
// "solved with help" from then on).
void nextHint();

// The view of the next probe that failed the last check (its turn, camera,
// light and colours), paused; after the last, the lesson's own scene again.
void nextFailingProbe();
