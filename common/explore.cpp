// Explore mode: one module beside the shell that owns every key but Escape,
// the mouse camera, the pause and the live shaders. The lesson's row stays the
// whole lesson: this draws the same scene, the same way, with the orbit put
// between the camera and whatever the lesson places after the camera.
#include "explore.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "png.h"
#include "shaders.h"
#include "shell.h"

namespace {

// Every lesson's shader pair, in the lessons' order, for the number keys
// (written by the build from the lessons' rows).
struct Pair {
    const char* lesson;
    const char* vertexFile;
    const char* fragmentFile;
};
const Pair pairs[] = {
#include "lesson_pairs.inc"
};
const int pairCount = sizeof pairs / sizeof pairs[0];

const float stepDegrees = 5.0f;    // one step of the turn while paused
const float orbitPerPixel = 0.5f;  // degrees of orbit per pixel dragged
const int watchMilliseconds = 50;  // how often the shader files are looked at

bool paused = false;
bool builtIn = false;            // OpenGL's fixed-function lighting instead of the shaders
float yaw = 0.0f, pitch = 0.0f;  // the orbit, in degrees
int dragX, dragY;
bool dragging = false;
bool snapshotWanted = false;
std::string programName;

// The pair drawing now, its program, and what its files looked like when it
// was built: a change of time or size means the file was saved.
struct Stamp {
    long long seconds = -1, nanoseconds = 0, size = -1;
    bool operator==(const Stamp& o) const {
        return seconds == o.seconds && nanoseconds == o.nanoseconds && size == o.size;
    }
};
std::string fileVert, fileFrag;
Stamp stampVert, stampFrag;
GLuint current;       // the program drawing the teapot
bool broken = false;  // the files on disk do not build; the last good program draws

Stamp stampOf(const std::string& file) {
    Stamp s;
    struct stat st;
    if (stat(file.c_str(), &st) != 0) return s;
    s.seconds = (long long)st.st_mtime;
#if defined(__linux__)
    s.nanoseconds = (long long)st.st_mtim.tv_nsec;
#endif
    s.size = (long long)st.st_size;
    return s;
}

std::string stem(const std::string& file) { return file.substr(0, file.rfind('.')); }

void updateTitle() {
    std::string title = lesson->title;
    title += builtIn ? " - built-in lighting" : " - " + stem(fileVert);
    if (paused) title += " - paused";
    if (broken) title += " - shader error";
    glutSetWindowTitle(title.c_str());
}

void printKeys() {
    printf(
        "Explore mode. Keys:\n"
        "  Space        pause or resume the turn\n"
        "  Left, Right  step the turn by %g degrees\n"
        "  drag         orbit the camera round the teapot (the mouse's left button)\n"
        "  r            put the camera back\n"
        "  b            OpenGL's built-in lighting, or the shaders again\n"
        "  1-%d          another lesson's shaders:",
        stepDegrees, pairCount);
    for (int i = 0; i < pairCount; ++i) printf(" %d %s", i + 1, pairs[i].lesson);
    printf(
        "\n"
        "  s            save the picture as a PNG in the working folder\n"
        "  h            these keys\n"
        "  Escape       end\n"
        "Saving a shader file rebuilds the program at once.\n");
    fflush(stdout);
}

// A pair that samples tex0 or tex1 can only be fed where textures are bound.
bool samplesTextures(GLuint program) {
    return glGetUniformLocation(program, "tex0") >= 0 || glGetUniformLocation(program, "tex1") >= 0;
}

// Builds the pair and draws with it from the next frame, or keeps the last
// program that worked. Returns whether the pair is drawing now.
bool usePair(const std::string& vert, const std::string& frag) {
    bool switching = vert != fileVert || frag != fileFrag;
    if (!switching) {  // the same files, saved: remember this version whatever happens
        stampVert = stampOf(vert);
        stampFrag = stampOf(frag);
    }
    GLuint program = buildProgram(vert.c_str(), frag.c_str());
    if (program && !lesson->textures && samplesTextures(program)) {
        fprintf(stderr, "%s and %s sample textures, which only the texturing lessons load.\n",
                vert.c_str(), frag.c_str());
        glDeleteProgram(program);
        return false;
    }
    if (!program) {
        if (!switching) broken = true;
        fprintf(stderr, "Still drawing with the last program that worked.\n");
        updateTitle();
        return false;
    }
    glUseProgram(program);
    if (lesson->textures) {
        shaderProg = program;
        bindSamplers();
    }
    glDeleteProgram(current);  // no longer in use: it goes
    current = program;
    fileVert = vert;
    fileFrag = frag;
    stampVert = stampOf(vert);
    stampFrag = stampOf(frag);
    broken = false;
    printf("Drawing with %s and %s\n", vert.c_str(), frag.c_str());
    fflush(stdout);
    updateTitle();
    return true;
}

void watchFiles(int) {
    if (!(stampOf(fileVert) == stampVert) || !(stampOf(fileFrag) == stampFrag))
        usePair(fileVert, fileFrag);
    glutTimerFunc(watchMilliseconds, watchFiles, 0);
}

// OpenGL's own lighting of the same scene: light 0 where the lesson put it,
// the pink current colour as ambient and diffuse colour, the lessons' white
// highlight of shininess 50 added after the textures. Pushed and popped
// around the teapot, so the shaders' state is untouched.
void beginBuiltIn() {
    static const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT | GL_TEXTURE_BIT);
    glUseProgram(0);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glMaterialfv(GL_FRONT, GL_SPECULAR, white);
    glMaterialf(GL_FRONT, GL_SHININESS, 50.0f);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    if (lesson->textures) {
        // The teapot gives texture coordinates to unit 0 only: unit 1 makes
        // its own from the vertices, so the light map lies differently.
        glActiveTexture(GL_TEXTURE1);
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
        glActiveTexture(GL_TEXTURE0);
    }
}

void endBuiltIn() {
    glPopAttrib();
    glUseProgram(current);
}

// The frame just drawn, before the swap, as a PNG named after the program.
void saveSnapshot() {
    snapshotWanted = false;
    int w = glutGet(GLUT_WINDOW_WIDTH), h = glutGet(GLUT_WINDOW_HEIGHT);
    std::vector<unsigned char> pixels((size_t)w * h * 3), rows(pixels.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    for (int y = 0; y < h; ++y)  // OpenGL's first row is the bottom one
        memcpy(&rows[(size_t)y * w * 3], &pixels[(size_t)(h - 1 - y) * w * 3], (size_t)w * 3);
    for (int n = 1; n < 10000; ++n) {
        char name[512];
        snprintf(name, sizeof name, "%s-%03d.png", programName.c_str(), n);
        struct stat st;
        if (stat(name, &st) == 0) continue;
        if (writePNG(name, w, h, rows.data()))
            printf("Saved %s\n", name);
        else
            fprintf(stderr, "Could not write %s in the working folder.\n", name);
        fflush(stdout);
        return;
    }
}

void exploreDisplay() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0, 10, 0, 0, -1, 0, 1, 0);
    // The orbit turns the whole scene under the fixed camera: whatever comes
    // after it (the per-frame light) turns with the scene, and a light given
    // in eye space stays with the viewer.
    glRotatef(pitch, 1, 0, 0);
    glRotatef(yaw, 0, 1, 0);
    if (lesson->perFrameLight) glLightfv(GL_LIGHT0, GL_POSITION, light_pos);
    glRotatef(a, 0, 1, 0);
    if (builtIn) beginBuiltIn();
    drawTeapot();
    if (builtIn) endBuiltIn();
    if (snapshotWanted) saveSnapshot();
    if (!paused) a = (GLfloat)fmod(a + 0.1, 360.0);
    glutPostRedisplay();  // keep drawing while paused, so a saved shader shows
    glutSwapBuffers();
}

void exploreReshape(int w, int h) {
    projection(w, h);
    glutPostRedisplay();
}

void exploreKeys(unsigned char key, int, int) {
    if (key == 27) exit(0);  // Escape
    if (key == ' ') paused = !paused;
    if (key == 'r') yaw = pitch = 0.0f;
    if (key == 'b') builtIn = !builtIn;
    if (key == 's') snapshotWanted = true;
    if (key == 'h' || key == '?') printKeys();
    if (key >= '1' && key < '1' + pairCount) {
        const Pair& p = pairs[key - '1'];
        usePair(p.vertexFile, p.fragmentFile);
    }
    updateTitle();
}

void exploreSpecialKeys(int key, int, int) {
    if (key == GLUT_KEY_LEFT) a = (GLfloat)fmod(a - stepDegrees + 360.0, 360.0);
    if (key == GLUT_KEY_RIGHT) a = (GLfloat)fmod(a + stepDegrees, 360.0);
}

void exploreMouse(int button, int state, int x, int y) {
    if (button != GLUT_LEFT_BUTTON) return;
    dragging = state == GLUT_DOWN;
    dragX = x;
    dragY = y;
}

void exploreDrag(int x, int y) {
    if (!dragging) return;
    yaw += (x - dragX) * orbitPerPixel;
    pitch += (y - dragY) * orbitPerPixel;
    dragX = x;
    dragY = y;
}

}  // namespace

bool exploreRequested(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (strcmp(argv[i], "--explore") == 0) return true;
    return false;
}

void startExplore(const char* program) {
    programName = program;
    size_t slash = programName.find_last_of("/\\");
    if (slash != std::string::npos) programName = programName.substr(slash + 1);
    if (programName.size() > 4 && programName.compare(programName.size() - 4, 4, ".exe") == 0)
        programName.resize(programName.size() - 4);
    fileVert = lesson->vertexFile;
    fileFrag = lesson->fragmentFile;
    stampVert = stampOf(fileVert);
    stampFrag = stampOf(fileFrag);
    current = shaderProg;
    glutReshapeFunc(exploreReshape);
    glutDisplayFunc(exploreDisplay);
    glutKeyboardFunc(exploreKeys);
    glutSpecialFunc(exploreSpecialKeys);
    glutMouseFunc(exploreMouse);
    glutMotionFunc(exploreDrag);
    glutTimerFunc(watchMilliseconds, watchFiles, 0);
    updateTitle();
    printKeys();
}
