// The lesson shell: start-up, scene state and the three GLUT callbacks
// shared by every lesson, on the desktop and on the page.
#pragma once

#include "lesson_table.h"
#include "options.h"

// The table's entry for a lesson's own row (the same shader files).
const LessonEntry& lessonOf(const Lesson& row);

// Runs the lesson `entry`; returns only if GLUT's loop does.
int startLesson(const LessonEntry& entry, int argc, char** argv);

// A lesson's entry: `return runLesson<row>(argc, argv);`. A row that cannot
// work is refused when the lesson is compiled; the row is the table's.
template <const Lesson& row>
int runLesson(int argc, char** argv) {
    static_assert(
        !(row.scene == SCENE_TEXTURED && row.sceneBeforeGlew),
        "the textured scene calls glActiveTexture, which exists only once GLEW has started");
    static_assert(!row.textures || row.scene == SCENE_TEXTURED,
                  "textures are drawn only with the textured scene");
    return startLesson(lessonOf(row), argc, argv);
}

class LessonRun;

// The lesson running now (one a process).
LessonRun& runningLesson();

// GLUT's callbacks draw `run` from now on: for a program that sets up a
// lesson of its own (the benchmark's fixed-function twins).
void driveLesson(LessonRun& run);

// Explore mode on the running lesson: its keys and mouse, its first report
// shown, and the front end following the learner's changes from now on.
void startExplore();

// Practises the exercise of `options` in the running lesson: its target
// drawn beside the learner's picture, every build checked. An exercise that
// does not exist ends the lesson.
void startExercise(const Options& options);

void setupScene();
void setupShaders(char* fileVert, char* fileFrag);
void setupTexture();
void reshape(int w, int h);
void display();
void normalKeys(unsigned char key, int x, int y);
