// The lesson table: every lesson's row, in the lessons' order, as each
// lesson's main.cpp writes it (the build gathers them into lesson_table.inc).
// Explore mode's number keys and titles read it, and the web page, which
// runs any lesson, picks its lesson from it.
#pragma once

#include "lesson.h"

struct LessonEntry {
    const char* name;  // the program's name, lesson_...
    Lesson row;
};

inline constexpr LessonEntry lessonTable[] = {
#include "lesson_table.inc"
};
inline constexpr int lessonCount = sizeof lessonTable / sizeof lessonTable[0];
