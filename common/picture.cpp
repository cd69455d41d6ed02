// Pictures on demand (see picture.h): the frame drawn into a framebuffer
// object of the picture's size, read back, and the lesson's state put back.
#include "picture.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <stdio.h>
#include <string.h>

#include "drawing.h"
#include "frame.h"
#include "shaders.h"

PictureScene currentScene() {
    PictureScene s;
    s.angle = a;
    s.orbiting = view.orbiting;
    s.yaw = view.yaw;
    s.pitch = view.pitch;
    memcpy(s.light, lesson->perFrameLight ? light_pos : light_position, sizeof s.light);
    s.look = look;
    memcpy(s.textures, textures, sizeof s.textures);
    return s;
}

void useScene(const PictureScene& s) {
    a = s.angle;
    view.orbiting = s.orbiting;
    view.yaw = s.yaw;
    view.pitch = s.pitch;
    memcpy(lesson->perFrameLight ? light_pos : light_position, s.light, sizeof s.light);
    look = s.look;
    memcpy(textures, s.textures, sizeof textures);
    way->useLook();
}

// The lesson's state that a picture changes, set to the picture's scene on
// construction and put back as it was on destruction.
namespace {
class SceneSwap {
   public:
    SceneSwap(unsigned int program, const PictureScene& s) : before(currentScene()) {
        GLint current = 0;
        glGetIntegerv(GL_CURRENT_PROGRAM, &current);
        programBefore = (GLuint)current;
        viewBefore = view;
        useScene(s);
        view.builtIn = false;
        view.beside = 0;
        view.drawBeside = nullptr;
        glUseProgram(program);
    }
    ~SceneSwap() {
        useScene(before);
        view = viewBefore;
        glUseProgram(programBefore);
    }

   private:
    PictureScene before;
    View viewBefore;
    GLuint programBefore;
};
}  // namespace

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

bool drawPicture(unsigned int program, const PictureScene& scene, int w, int h,
                 std::vector<unsigned char>& rgb) {
#ifndef __EMSCRIPTEN__
    // Framebuffer objects are OpenGL 3.0's, and an extension of 2.0's that
    // every current driver offers.
    if (!glGenFramebuffers) {
        fprintf(stderr, "This driver cannot draw off screen (no framebuffer objects).\n");
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
        SceneSwap swap(program, scene);
        projection(w, h);
        drawFrame();
        readPixels(w, h, rgb);
    } else {
        fprintf(stderr, "This driver cannot draw a %d x %d picture off screen.\n", w, h);
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteRenderbuffers(1, &colour);
    glDeleteRenderbuffers(1, &depth);
    glDeleteFramebuffers(1, &framebuffer);
    // The window's projection again, for its next frame.
    projection(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    return complete;
}
