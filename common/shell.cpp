// The lesson shell: start-up, scene state, and the three GLUT callbacks.
// Every lesson runs this code; its row of the lesson table picks the variant.
#include "shell.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "Targa.h"
#include "advice.h"
#include "core.h"
#include "explore.h"
#include "shaders.h"

#ifdef _WIN32
#include <windows.h>

// The messages are UTF-8 ("** Błąd ładowania pliku *.vert"); a Windows
// console shows bytes through its own code page (852, 437, 1252...). The
// console is switched to UTF-8 for the lesson's life and given its own code
// page back at the end: every way out goes through exit(). The bytes written
// are the same either way, so a redirected output sees no change.
static UINT consoleCodePage;

static void restoreConsoleCodePage() { SetConsoleOutputCP(consoleCodePage); }

static void useUtf8Console() {
    consoleCodePage = GetConsoleOutputCP();
    if (consoleCodePage == 0 || consoleCodePage == CP_UTF8) return;  // no console, or UTF-8 already
    if (SetConsoleOutputCP(CP_UTF8)) atexit(restoreConsoleCodePage);
}
#else
static void useUtf8Console() {}
#endif

// Light 0 given every frame after the camera: a direction in scene space,
// so the light stays put while the teapot turns under it.
GLfloat light_pos[] = {0.5f, 0.2f, 1.0f, 0.0f};
// Light 0 given once with an identity model-view: a direction in eye space,
// so the light keeps its place relative to the viewer.
GLfloat light_position[] = {1.0f, 1.0f, 1.0f, 0.0f};
GLfloat mat_specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
GLfloat mat_shininess[] = {50.0f};

GLfloat a = 0.0f;    // the teapot's turn about y, in degrees
GLuint textures[2];  // "tex0.tga" on unit 0, "tex1.tga" on unit 1

const Lesson* lesson;  // the row of the running program

// The orbit that explore mode puts between the camera and the lesson's own
// steps; the plain run never turns it on.
bool orbiting = false;
float orbitYaw = 0.0f, orbitPitch = 0.0f;

void setupScene() {
    glEnable(GL_DEPTH_TEST);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    // The core profile keeps no light, material or texture switches: its
    // shaders get them as uniforms (core.cpp).
    if (lesson->scene == SCENE_PLAIN || coreProfile) return;

    glMaterialfv(GL_FRONT, GL_SPECULAR, mat_specular);
    glMaterialfv(GL_FRONT, GL_SHININESS, mat_shininess);
    // No frame has been drawn: the model-view is the identity, so OpenGL
    // stores this direction in eye space.
    glLightfv(GL_LIGHT0, GL_POSITION, light_position);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    if (lesson->scene == SCENE_LIT) return;

    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_TEXTURE_2D);
    glActiveTexture(GL_TEXTURE1);
    glEnable(GL_TEXTURE_2D);
}

// The lesson's message, then the learner's advice: which image, and why.
static void textureFailed(const char* fileName) {
    puts("blad podczas wczytywania tekstury");
    adviseTexture(fileName);
    exit(1);
}

void setupTexture() {
    glGenTextures(2, textures);
    glBindTexture(GL_TEXTURE_2D, textures[0]);
    if (!LoadTGATexture((char*)"tex0.tga")) textureFailed("tex0.tga");
    glBindTexture(GL_TEXTURE_2D, textures[1]);
    if (!LoadTGATexture((char*)"tex1.tga")) textureFailed("tex1.tga");
}

void projection(int w, int h) {
    if (coreProfile) return coreProjection(w, h);
    if (h == 0) h = 1;  // a window can be squashed flat; keep the ratio finite
    float ratio = (float)w / (float)h;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glViewport(0, 0, w, h);
    gluPerspective(45.0, ratio, 1.0, 1000.0);
}

void reshape(int w, int h) {
    projection(w, h);
    display();
}

void drawTeapot() {
    if (!coreProfile) glColor3f(1.0f, 0.5f, 0.5f);  // in core, the uniform surfaceColour
    if (lesson->textures) {
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, textures[1]);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, textures[0]);
    }
    glutSolidTeapot(2.5);
}

// The core profile's frame: the same steps, as matrices of the program's own.
static void coreScene(void (*teapot)()) {
    static const float eye[] = {0, 0, 10}, centre[] = {0, 0, -1}, up[] = {0, 1, 0};
    Mat4 view = lookAt(eye, centre, up);
    if (orbiting)
        view = multiply(view, multiply(rotation(orbitPitch, 1, 0, 0), rotation(orbitYaw, 0, 1, 0)));
    // Light 0 in eye space, as OpenGL stores a position: turned by the
    // model-view current when it is given. The per-frame light is given
    // after the camera; the lit scenes' light with the identity.
    float light[4];
    if (lesson->perFrameLight)
        transform(view, light_pos, light);
    else
        memcpy(light, light_position, sizeof light);
    coreUniforms(multiply(view, rotation(a, 0, 1, 0)), light);
    teapot();
}

void drawScene(void (*teapot)()) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (coreProfile) return coreScene(teapot);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The camera: eye on the z axis, 10 units out, looking towards -z.
    gluLookAt(0, 0, 10, 0, 0, -1, 0, 1, 0);
    if (orbiting) {  // the whole scene turned under the camera
        glRotatef(orbitPitch, 1, 0, 0);
        glRotatef(orbitYaw, 0, 1, 0);
    }
    // After the camera and before the turn: fixed in the scene.
    if (lesson->perFrameLight) glLightfv(GL_LIGHT0, GL_POSITION, light_pos);
    glRotatef(a, 0, 1, 0);
    teapot();
}

void display() {
    drawScene(drawTeapot);
    // Wrapped by a whole turn so the 0.1-degree step never drowns in the
    // float's rounding, however long the program runs.
    a = (GLfloat)fmod(a + 0.1, 360.0);
    glutPostRedisplay();
    glutSwapBuffers();
}

void normalKeys(unsigned char key, int, int) {
    if (key == 27) exit(0);  // Escape
}

int startLesson(const Lesson& row, int argc, char** argv) {
    lesson = &row;
    bool explore = exploreRequested(argc, argv);
    coreProfile = coreRequested(argc, argv);
    useUtf8Console();
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(400, 400);
    if (coreProfile) askForCoreContext();
    glutCreateWindow(row.title);
    if (row.sceneBeforeGlew) setupScene();

    glewInit();  // a failed start shows up as the missing version below
    if (!glewIsSupported("GL_VERSION_2_0")) {
        puts("OpenGL 2.0 nie jest wspierany\n");
        adviseNoOpenGL2();
        exit(1);
    }
    if (coreProfile) setupCore();

    glutReshapeFunc(reshape);
    glutDisplayFunc(display);
    glutKeyboardFunc(normalKeys);

    setupShaders((char*)lessonFile(row.vertexFile).c_str(),
                 (char*)lessonFile(row.fragmentFile).c_str());
    if (row.textures) {
        bindSamplers();
        setupTexture();
    }
    if (!row.sceneBeforeGlew) setupScene();

    if (explore) startExplore(argv[0]);  // the learner's controls take over the callbacks
    glutMainLoop();
    return 0;
}
