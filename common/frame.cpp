// The running lesson's frames (see run.h): one frame, through the way of
// drawing chosen at start-up, for the window and for every picture.
#include <GL/glew.h>
#include <GL/freeglut.h>
#include <math.h>

#include "run.h"

void drawTeapot(const Lesson& row, const unsigned int textures[2]) {
    if (row.textures) {
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, textures[1]);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, textures[0]);
    }
    glutSolidTeapot(teapotSize);
}

void LessonRun::project(int w, int h) {
    if (h == 0) h = 1;  // a window can be squashed flat; keep the ratio finite
    way.projection(w, h, projection);
}

void LessonRun::reshape(int w, int h) {
    width = w;
    height = h;
    project(w, h);
}

// `s` drawn with `program` in the viewport set now, cleared within the
// scissor box; with `lit`, by OpenGL's own lighting where the way has it.
void LessonRun::drawScene(const Scene& s, unsigned int program, bool lit) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!sameLook(s, sceneInGL)) {  // a picture's or a probe's colours, or the window's again
        way.useLook(row, s);
        sceneInGL = s;
    }
    way.placeScene(row, s, projection);
    if (lit && way.builtIn)
        way.builtIn(row, s, program);
    else
        drawTeapot(row, s.textures);
}

// The frame in the window's left half and, in its right half, the same
// scene drawn with the exercise's target (or where the two differ), each
// with the projection of its own half.
void LessonRun::drawSideBySide() {
    int half = width / 2;
    glEnable(GL_SCISSOR_TEST);
    project(half, height);
    glScissor(0, 0, half, height);
    drawScene(scene, shaderProg, builtIn);
    if (practice.difference) {
        glDisable(GL_SCISSOR_TEST);
        drawDifference(half, width - half, height);
    } else {
        project(width - half, height);
        glViewport(half, 0, width - half, height);
        glScissor(half, 0, width - half, height);
        // The target, or one of its terms as a colour (t).
        unsigned int right =
            practice.termShown ? practice.terms[practice.termShown - 1] : practice.target;
        glUseProgram(right);
        drawScene(scene, right, false);
        glUseProgram(shaderProg);
        glDisable(GL_SCISSOR_TEST);
    }
    project(width, height);
    // What each half shows, and the probe's scene while `p` shows one.
    const std::string& probe = practice.probeShownName;
    drawLabel(0, 0, probe.empty() ? "yours" : "yours: " + probe);
    drawLabel(half, 0,
              practice.difference ? "difference"
              : practice.termShown
                  ? "target: " + termLabel(practice.exercise.terms[practice.termShown - 1].name)
                  : "target");
}

void LessonRun::drawFrame() {
    if (practice.active) return drawSideBySide();
    drawScene(scene, shaderProg, builtIn);
}

void LessonRun::advance() {
    // Held (explore mode), a frame is drawn only when something changes.
    if (paused) return;
    // Wrapped by a whole turn so the 0.1-degree step never drowns in the
    // float's rounding, however long the program runs.
    scene.a = (float)fmod(scene.a + 0.1, 360.0);
}
