// The lessons' command line, read once. Run plainly a lesson takes no options
// of its own: what it does not know goes to glutInit and is otherwise ignored.
#pragma once

#include <vector>

struct Options {
    const char* program = "";  // the program's own name, as started (argv[0])
    bool core = false;         // --core: the OpenGL 3.3 core profile, with data/core/'s pair
    bool explore = false;      // --explore: the learner's controls and live shaders
    // --picture FILE: one picture of the scene, drawn off screen, saved as
    // a PNG; the lesson then ends. With it:
    const char* picture = nullptr;
    float angle = 0.0f;     // --angle DEGREES: the teapot's turn
    bool orbiting = false;  // --orbit YAW,PITCH: the camera's orbit, degrees
    float yaw = 0.0f, pitch = 0.0f;
    int width = 400, height = 400;  // --size WxH
    // --check EXERCISE: each --pair VERT FRAG checked against the exercise's
    // target in its probe scenes, one line a probe; the lesson then ends.
    const char* check = nullptr;
    std::vector<const char*> pairs;  // VERT, FRAG, VERT, FRAG...
    // --pictures DIR: each probe's pictures saved there as PNGs, named
    // PAIR-PROBE-answer.png, -target.png and -difference.png (PAIR from 1)
    const char* pictures = nullptr;
    // --json (with --check): each pair's verdict as one JSON object a line
    bool json = false;
    // --apart (with --check): the window is hidden; the check a practising
    // window runs in a process of its own before it builds a saved pair
    bool apart = false;
    // --exercise NAME (with --explore): practise an exercise on the pair in
    // the working folder, checked against its target at every save
    const char* exercise = nullptr;
    // --exercises FILE: the exercises' file (the project's exercises/exercises.txt)
    const char* exercises = nullptr;
    // --list-exercises json|lines: the exercises, for scripts (with --core,
    // the core profile's pairs); the lesson then ends, before any window
    const char* listExercises = nullptr;
};

// Reads the command line. A usage error (an option of the lessons' without its
// value, a value out of range) says which on standard error, with the
// options, and ends the process with status 2; --help lists the options on
// standard error, and the lesson then starts as usual.
Options readOptions(int argc, char** argv);
