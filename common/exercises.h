// An exercise for the running lesson: found in the exercises' file, its
// pairs' paths for the way of drawing, its target built, and practice
// started on it.
#pragma once

#include <string>
#include <vector>

#include "exercise_file.h"
#include "options.h"
#include "run.h"

// The exercises' file: `given`, or the project's exercises/exercises.txt.
std::string exercisesFile(const char* given);

// A file of an exercise's pair, for the way of drawing `way`, as a path:
// project-relative names in the exercises' file are found beside its folder.
std::string exerciseFile(const std::string& file, const std::string& path, const WayOfDrawing& way);

// The running lesson's exercise `name` (its solution's files made whole
// paths) and its target, built from them. An exercise that does not exist
// (or is another lesson's) ends the lesson with status 2, a target that does
// not build with 1, having said why on standard error.
Exercise loadExercise(LessonRun& run, const Options& options, const char* name,
                      unsigned int* target);

// The exercises as JSON: [{"name", "lesson", "teaches", "statement",
// "hints": [...], "probes": [{"name", "sentence"}], "mistakes": [{"name",
// "sentence", "edits": [[FROM, TO]...]}], "start": [VERT, FRAG],
// "solution": [VERT, FRAG], "files": [VERT, FRAG], "textures"}], the pairs'
// project-relative paths for the way of drawing, "files" the lesson's own
// pair (where a learner's text goes), "textures" whether the lesson reads
// the two images.
std::string exercisesJson(const std::vector<Exercise>& exercises, const WayOfDrawing& way);

// --list-exercises: every exercise of the exercises' file on standard
// output, with the lesson it is drawn in, its pairs' paths for the way of
// drawing (project-relative, as the file gives them), and the lesson's own
// file names (where a learner's pair goes), as JSON or as one line each
// (NAME, LESSON, START VERT, START FRAG, FILE VERT, FILE FRAG, "textures"
// or "-", TEACHES, separated by tabs); then the end (status 2 when the file is unreadable).
[[noreturn]] void listExercises(const Options& options, const WayOfDrawing& way);

// Explore mode with --exercise NAME: the exercise practised on the pair
// drawn now, its target built from its solution, and the pair checked.
Report practiseExercise(LessonRun& run, const Options& options);
