// What each front end (the desktop's terminal and window, desktop/; the web
// page, web/) gives the shell: the way of drawing it offers, and how it
// shows what the running lesson reports. Exactly one of them is linked.
#pragma once

#include "drawing.h"
#include "options.h"
#include "run.h"

// The ways of drawing this front end offers, by the command line's choice:
// the core profile, or the built-in state where it exists.
const WayOfDrawing* chooseWay(bool core);

// Shows a report: its lines, the window's title, a screenshot it asks for;
// an end it asks for ends the lesson.
void show(LessonRun& run, const Report& report);

// What the front end does once the lesson is set up, before GLUT's loop
// (the desktop: a picture or a check, which end the lesson, an exercise,
// explore mode; the page: explore mode).
void beforeLoop(LessonRun& run, const Options& options);

// Explore mode has started (`started` its first report, shown already):
// from now on the front end hands the lesson what the learner changes
// (saved files on the desktop, an editor's text on the page).
void followLearner(LessonRun& run, const Report& started);

// After the window's frame is drawn and before the swap.
void afterFrame(LessonRun& run);

// In an exercise, the learner's pair checked apart from the window before
// it is built (a shader that crashes the driver or never ends costs that
// check, not the window): "" when it may be built, otherwise why not.
std::string checkedApart(const Options& options, const std::string& vert, const std::string& frag);
