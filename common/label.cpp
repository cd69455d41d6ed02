// Words on the window's pictures ("yours", "target", a probe's name): drawn
// into pixels from a small font of the lowercase letters, and copied into the
// frame as the difference picture is, the same in every way of drawing.
#include <GL/glew.h>
#include <string.h>

#include "run.h"

namespace {

// 5 x 7 glyphs, a row of five bits each from the top (the leftmost pixel the
// highest bit): the letters the labels use; any other character is a space.
struct Glyph {
    char c;
    unsigned char rows[7];
};
const Glyph glyphs[] = {
    {'a', {0x00, 0x00, 0x0e, 0x01, 0x0f, 0x11, 0x0f}},
    {'b', {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x1e}},
    {'c', {0x00, 0x00, 0x0e, 0x10, 0x10, 0x11, 0x0e}},
    {'d', {0x01, 0x01, 0x0d, 0x13, 0x11, 0x11, 0x0f}},
    {'e', {0x00, 0x00, 0x0e, 0x11, 0x1f, 0x10, 0x0e}},
    {'f', {0x06, 0x09, 0x08, 0x1c, 0x08, 0x08, 0x08}},
    {'g', {0x00, 0x0f, 0x11, 0x11, 0x0f, 0x01, 0x0e}},
    {'h', {0x10, 0x10, 0x16, 0x19, 0x11, 0x11, 0x11}},
    {'i', {0x04, 0x00, 0x0c, 0x04, 0x04, 0x04, 0x0e}},
    {'l', {0x0c, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0e}},
    {'m', {0x00, 0x00, 0x1a, 0x15, 0x15, 0x11, 0x11}},
    {'n', {0x00, 0x00, 0x16, 0x19, 0x11, 0x11, 0x11}},
    {'o', {0x00, 0x00, 0x0e, 0x11, 0x11, 0x11, 0x0e}},
    {'p', {0x00, 0x1e, 0x11, 0x1e, 0x10, 0x10, 0x10}},
    {'r', {0x00, 0x00, 0x16, 0x19, 0x10, 0x10, 0x10}},
    {'s', {0x00, 0x00, 0x0f, 0x10, 0x0e, 0x01, 0x1e}},
    {'t', {0x08, 0x08, 0x1c, 0x08, 0x08, 0x09, 0x06}},
    {'u', {0x00, 0x00, 0x11, 0x11, 0x11, 0x13, 0x0d}},
    {'y', {0x00, 0x11, 0x11, 0x0f, 0x01, 0x11, 0x0e}},
    {'z', {0x00, 0x00, 0x1f, 0x02, 0x04, 0x08, 0x1f}},
    {':', {0x00, 0x0c, 0x0c, 0x00, 0x0c, 0x0c, 0x00}},
};
const int scale = 2;                             // each font pixel drawn 2 x 2
const int glyphAdvance = 6 * scale, margin = 4;  // a glyph and its gap; the box's edge

const Glyph* glyphOf(char c) {
    for (const Glyph& g : glyphs)
        if (g.c == c) return &g;
    return nullptr;
}

}  // namespace

void LessonRun::putPixels(int x, int y, int w, int h, const std::vector<unsigned char>& rgb) {
    std::vector<unsigned char> rows(rgb.size());  // OpenGL's first row is the bottom one
    for (int row = 0; row < h; ++row)
        memcpy(&rows[(size_t)row * w * 3], &rgb[(size_t)(h - 1 - row) * w * 3], (size_t)w * 3);
    GLuint& texture = practice.pixelsTexture;
    GLuint& framebuffer = practice.pixelsFramebuffer;
    if (!texture) {
        glGenTextures(1, &texture);
        glGenFramebuffers(1, &framebuffer);
    }
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    int bottom = height - y - h;
    glBlitFramebuffer(0, 0, w, h, x, bottom, x + w, bottom + h, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void LessonRun::drawLabel(int x, int y, const std::string& text) {
#ifndef __EMSCRIPTEN__
    if (!glBlitFramebuffer) return;  // a driver that cannot copy pictures: no words
#endif
    int w = (int)text.size() * glyphAdvance + 2 * margin, h = 7 * scale + 2 * margin;
    std::vector<unsigned char> rgb((size_t)w * h * 3, 255);  // black on white
    for (size_t i = 0; i < text.size(); ++i) {
        const Glyph* g = glyphOf(text[i]);
        for (int row = 0; g && row < 7 * scale; ++row)
            for (int col = 0; col < 5 * scale; ++col) {
                if (!(g->rows[row / scale] & (0x10 >> (col / scale)))) continue;
                int px = margin + (int)i * glyphAdvance + col, py = margin + row;
                memset(&rgb[((size_t)py * w + px) * 3], 0, 3);
            }
    }
    putPixels(x, y, w, h, rgb);
}
