// Pictures on demand (see run.h): any program in any scene, drawn into a
// framebuffer object of the picture's size and read back, whatever the
// window's size and however long the lesson has run. The same frame as the
// window's, through the same way of drawing; the window's scene is not touched.
#include <GL/glew.h>
#include <string.h>

#include "run.h"

void readPixels(int w, int h, std::vector<unsigned char>& rgb) {
    // RGBA: the one form every OpenGL reads back, OpenGL ES (WebGL) included.
    std::vector<unsigned char> rgba((size_t)w * h * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    rgb.resize((size_t)w * h * 3);
    for (int y = 0; y < h; ++y)  // OpenGL's first row is the bottom one
        for (int x = 0; x < w; ++x)
            memcpy(&rgb[((size_t)y * w + x) * 3], &rgba[((size_t)(h - 1 - y) * w + x) * 4], 3);
}

bool LessonRun::drawPicture(unsigned int program, const Scene& s, int w, int h,
                            std::vector<unsigned char>& rgb, Report& report) {
#ifndef __EMSCRIPTEN__
    // Framebuffer objects are OpenGL 3.0's, and an extension of 2.0's that
    // every current driver offers.
    if (!glGenFramebuffers) {
        report.warn("This driver cannot draw off screen (no framebuffer objects).\n");
        return false;
    }
#endif
    GLuint framebuffer, colour, depth;
    glGenFramebuffers(1, &framebuffer);
    glGenRenderbuffers(1, &colour);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, w, h);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (complete) {
        project(w, h);
        glUseProgram(program);
        drawScene(s, program, false);
        readPixels(w, h, rgb);
        glUseProgram(shaderProg);
    } else {
        report.warn("This driver cannot draw a %d x %d picture off screen.\n", w, h);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteRenderbuffers(1, &colour);
    glDeleteRenderbuffers(1, &depth);
    glDeleteFramebuffers(1, &framebuffer);
    project(width, height);  // the window's projection again, for its next frame
    return complete;
}
