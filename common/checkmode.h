// The lesson's --check mode: a learner's pairs checked against an exercise's
// target, for a teacher or a script, without a window to look at.
#pragma once

#include <string>
#include <vector>

#include "exercise.h"
#include "options.h"

// The exercises' file: `given`, or the project's exercises/exercises.txt.
std::string exercisesFile(const char* given);

// The running lesson's exercise `name` from `file`; null, having said why on
// standard error, when there is none (or it is another lesson's).
const Exercise* lessonExercise(const std::string& file, const char* name,
                               std::vector<Exercise>& exercises);

// A file of an exercise's pair, for the way of drawing in use, as a path:
// project-relative names in the exercises' file are found beside its folder.
std::string exerciseFile(const std::string& file, const std::string& path);

// Explore mode with --exercise NAME: the exercise practised on the pair
// drawn now, its target built from its solution. An exercise that does not
// exist, or whose target does not build, ends the lesson (status 2 or 1).
void practiseExercise(const Options& options);

// Checks every pair of the options against the exercise's target and ends
// the lesson: status 0 when every probe of every pair passes, 1 otherwise,
// 2 for an exercise that does not exist.
[[noreturn]] void runCheck(const Options& options);
