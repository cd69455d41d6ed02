// The lesson shell: start-up, scene state, and the three GLUT callbacks.
// Every lesson runs this code; its row of the lesson table picks the variant,
// and the command line the way of drawing, once.
#include "shell.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "advice.h"
#include "checkmode.h"
#include "drawing.h"
#include "explore.h"
#include "frame.h"
#include "options.h"
#include "picture.h"
#include "png.h"
#include "scene.h"
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

void setupScene() {
    glEnable(GL_DEPTH_TEST);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    if (lesson->scene != SCENE_PLAIN) {  // what the shaders read as the front material
        memcpy(look.materialSpecular, mat_specular, sizeof look.materialSpecular);
        look.materialShininess = mat_shininess[0];
    }
    way->sceneState();
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
    if (!way->uploadImage((char*)"tex0.tga")) textureFailed("tex0.tga");
    glBindTexture(GL_TEXTURE_2D, textures[1]);
    if (!way->uploadImage((char*)"tex1.tga")) textureFailed("tex1.tga");
}

void reshape(int w, int h) {
    projection(w, h);
    display();
}

void display() {
    drawFrame();
    if (view.afterDraw) view.afterDraw();
    // Held (explore mode), a frame is drawn only when something changes.
    if (!view.paused) {
        // Wrapped by a whole turn so the 0.1-degree step never drowns in the
        // float's rounding, however long the program runs.
        a = (float)fmod(a + 0.1, 360.0);
        glutPostRedisplay();
    }
    glutSwapBuffers();
}

void normalKeys(unsigned char key, int, int) {
    if (key == 27) exit(0);  // Escape
}

// --picture: the scene the options describe, drawn off screen and saved;
// the lesson ends. A picture that cannot be made ends it with status 1.
static void savePicture(const Options& o) {
    PictureScene scene = currentScene();
    scene.angle = o.angle;
    scene.orbiting = o.orbiting;
    scene.yaw = o.yaw;
    scene.pitch = o.pitch;
    std::vector<unsigned char> rgb;
    if (!drawPicture(shaderProg, scene, o.width, o.height, rgb)) exit(1);
    int why = writePNGOver(o.picture, o.width, o.height, rgb.data());
    if (why) {
        fprintf(stderr, "Could not save the picture %s: %s.\n", o.picture, strerror(why));
        exit(1);
    }
    printf("Picture (%s): %s\n", way->name, o.picture);
    exit(0);
}

int startLesson(const Lesson& row, int argc, char** argv) {
    lesson = &row;
    Options options = readOptions(argc, argv);
    way = chooseWay(options.core);
    useUtf8Console();
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(400, 400);
    if (way->beforeWindow) way->beforeWindow();
    glutCreateWindow((std::string(row.title) + way->titleSuffix).c_str());
    if (row.sceneBeforeGlew) setupScene();

    glewInit();  // a failed start shows up as the missing version below
    if (!glewIsSupported("GL_VERSION_2_0")) {
        puts("OpenGL 2.0 nie jest wspierany\n");
        adviseNoOpenGL2();
        exit(1);
    }
    if (way->afterGlew) way->afterGlew();

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

    if (options.picture) savePicture(options);
    if (options.check) runCheck(options);
    if (options.exercise) practiseExercise(options);  // checked at every build from now on
    if (options.explore) startExplore(argv[0]);       // the learner's keys, mouse and live shaders
    glutMainLoop();
    return 0;
}
