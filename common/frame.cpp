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

void drawFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    way->placeScene();
    if (view.builtIn && way->builtIn)
        way->builtIn(drawTeapot);
    else
        drawTeapot();
}
