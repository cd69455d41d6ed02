// The lesson shell: start-up, scene state and the three GLUT callbacks
// shared by every lesson.
#pragma once

#include "lesson.h"

// Runs the lesson described by `row`; returns only if GLUT's loop does.
int startLesson(const Lesson& row, int argc, char** argv);

// A lesson's entry: `return runLesson<row>(argc, argv);`. A row that cannot
// work is refused when the lesson is compiled.
template <const Lesson& row>
int runLesson(int argc, char** argv) {
    static_assert(
        !(row.scene == SCENE_TEXTURED && row.sceneBeforeGlew),
        "the textured scene calls glActiveTexture, which exists only once GLEW has started");
    static_assert(!row.textures || row.scene == SCENE_TEXTURED,
                  "textures are drawn only with the textured scene");
    return startLesson(row, argc, argv);
}

void setupScene();
void reshape(int w, int h);
void display();
void normalKeys(unsigned char key, int x, int y);
