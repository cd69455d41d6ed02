// LoadTGAMipmap, which no lesson calls: an image uploaded through it must
// reach OpenGL as a full mipmap chain, in R, G, B order, with the mipmap
// minification filter. Needs a display (it runs under the tests' Xvfb).
#include <GL/glew.h>
#include <GL/freeglut.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Targa.h"
#include "TgaWriter.h"

static int failures = 0;

static void expect(bool ok, const std::string& what) {
    if (!ok) {
        printf("FAIL: %s\n", what.c_str());
        ++failures;
    }
}

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(64, 64);
    glutCreateWindow("mipmap test");
    glewInit();

    char dir[] = "/tmp/lessons-mipmap-XXXXXX";
    if (!mkdtemp(dir)) return 2;
    struct RemoveOnExit {  // the folder goes whichever way the test ends
        const char* dir;
        ~RemoveOnExit() { std::filesystem::remove_all(dir); }
    } scratch{dir};
    std::string file = std::string(dir) + "/image.tga";
    tga::Image image = tga::makeImage(64, 32, 3);
    for (size_t i = 0; i < image.rgba.size(); i += 3) {  // one colour all over
        image.rgba[i] = 200, image.rgba[i + 1] = 100, image.rgba[i + 2] = 50;
    }
    if (!tga::write(file, image)) return 2;

    GLuint texture;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    expect(LoadTGAMipmap((char*)file.c_str()), "LoadTGAMipmap returned false");

    GLint filter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    expect(filter == GL_NEAREST_MIPMAP_LINEAR,
           "minification filter is not GL_NEAREST_MIPMAP_LINEAR");

    // 64 x 32 down to 1 x 1: seven levels, each half the one before.
    int width = 64, height = 32;
    for (int level = 0; level <= 6; ++level) {
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
        std::string at = "level " + std::to_string(level);
        expect(w == width && h == height,
               at + ": " + std::to_string(w) + " x " + std::to_string(h));
        std::vector<GLubyte> texels((size_t)w * h * 3 + 1);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
        expect(texels[0] == 200 && texels[1] == 100 && texels[2] == 50,
               at + ": first texel " + std::to_string(texels[0]) + ", " +
                   std::to_string(texels[1]) + ", " + std::to_string(texels[2]) +
                   " instead of 200, 100, 50");
        width = width > 1 ? width / 2 : 1;
        height = height > 1 ? height / 2 : 1;
    }
    expect(!LoadTGAMipmap((char*)(std::string(dir) + "/missing.tga").c_str()),
           "a missing file was accepted");
    expect(glGetError() == GL_NO_ERROR, "OpenGL reported an error");

    printf(failures ? "mipmap test failed\n" : "mipmap chain complete\n");
    return failures ? 1 : 0;
}
