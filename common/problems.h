// What a build that failed says to the learner, on the desktop and on the
// page alike: each place the compiler points at once, with the line's text;
// one mistake's cascade on that line counted, not repeated; a message about
// an unexpected token with the line before when that line lacks its end (a
// ';' missing shows on the next line); a link error with the places where
// each shader declares what does not fit.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "shaders.h"

struct Problem {
    std::string file;                                // the shader's file ("" for the linker)
    std::string stage;                               // "vertex", "fragment" or "link"
    int line = 0;                                    // from 1; 0 for none
    std::string message;                             // the first message at this place
    std::string source;                              // the line's text, trimmed
    std::vector<std::string> notes;                  // said under it
    std::vector<std::pair<std::string, int>> marks;  // where an editor marks it: file, line
};

std::vector<Problem> problemsOf(const BuildReport& build);

// A problem as lines of text (no end of line after the last), each note
// indented under it; the problems so, one after another.
std::string problemText(const Problem& problem);
std::string problemsText(const std::vector<Problem>& problems);

class Json;

// The build's members written into a JSON object: "built", "diagnostics":
// [{"file", "stage", "line", "message"}...] as the driver said them, and
// "problems": [{"file", "stage", "line", "message", "source", "text",
// "notes", "marks": [{"file", "line"}...]}...] as the learner reads them
// ("text" as the desktop prints it).
void addBuild(Json& object, const BuildReport& report);
