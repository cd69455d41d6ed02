// One frame of a lesson, through the way of drawing chosen at start-up.
#include "frame.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include "drawing.h"
#include "scene.h"

const WayOfDrawing* way = nullptr;

std::string lessonFile(const char* fileName, const WayOfDrawing& w) {
    return std::string(w.shaderFolder) + fileName;
}

void projection(int w, int h) {
    if (h == 0) h = 1;  // a window can be squashed flat; keep the ratio finite
    way->projection(w, h);
}

void drawTeapot() {
    if (lesson->textures) {
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, textures[1]);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, textures[0]);
    }
    glutSolidTeapot(teapotSize);
}

// The scene in the viewport set now, cleared within the scissor box.
static void drawScene(bool builtIn) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    way->placeScene();
    if (builtIn && way->builtIn)
        way->builtIn(drawTeapot);
    else
        drawTeapot();
}

// The frame in the window's left half and the same scene drawn with
// view.beside in its right half, each with the projection of its own half.
static void drawSideBySide() {
    int w = glutGet(GLUT_WINDOW_WIDTH), h = glutGet(GLUT_WINDOW_HEIGHT), half = w / 2;
    GLint program = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glEnable(GL_SCISSOR_TEST);
    projection(half, h);
    glScissor(0, 0, half, h);
    drawScene(view.builtIn);
    if (view.drawBeside) {
        glDisable(GL_SCISSOR_TEST);
        view.drawBeside(half, w - half, h);
        return;
    }
    projection(w - half, h);
    glViewport(half, 0, w - half, h);
    glScissor(half, 0, w - half, h);
    glUseProgram(view.beside);
    drawScene(false);
    glUseProgram((GLuint)program);
    glDisable(GL_SCISSOR_TEST);
}

void drawFrame() {
    if (view.beside) return drawSideBySide();
    drawScene(view.builtIn);
}
