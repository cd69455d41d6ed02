// The lesson shell: the lesson table's row type, start-up, scene state and
// the three GLUT callbacks shared by every lesson.
#pragma once

// How much fixed-function state a lesson's scene carries before the first
// frame. Each variant does everything the one before it does.
enum SceneVariant {
    SCENE_PLAIN,    // depth test and a white background
    SCENE_LIT,      // plus a specular material and light 0 fixed to the viewer
    SCENE_TEXTURED  // plus 2D texturing on units 0 and 1
};

// One row of the lesson table: everything that sets one lesson apart.
struct Lesson {
    const char* title;         // window title
    const char* vertexFile;    // vertex shader, looked up in the working directory
    const char* fragmentFile;  // fragment shader, likewise
    SceneVariant scene;
    bool sceneBeforeGlew;  // scene state set before GLEW starts (needs only GL 1.x)
    bool perFrameLight;    // display() places light 0 in the scene every frame
    bool textures;         // loads "tex0.tga" and "tex1.tga" onto units 0 and 1
    const char* subject;   // what the lesson teaches, in English (explore mode's title)
};

// Runs the lesson described by `row`; returns only if GLUT's loop does.
int startLesson(const Lesson& row, int argc, char** argv);

// A lesson's entry: `return runLesson<row>(argc, argv);`. A row that cannot
// work is refused when the lesson is compiled.
template <const Lesson& row>
int runLesson(int argc, char** argv) {
    static_assert(
        !(row.scene == SCENE_TEXTURED && row.sceneBeforeGlew),
        "the textured scene calls glActiveTexture, which exists only once GLEW has started");
    static_assert(!row.textures || row.scene == SCENE_TEXTURED,
                  "textures are drawn only with the textured scene");
    return startLesson(row, argc, argv);
}

// Program-wide state that the callbacks read: the running lesson's row, and
// its two texture objects (GLuint) that display() binds.
extern const Lesson* lesson;
extern unsigned int textures[2];
extern float a;                 // the teapot's turn about y, in degrees
extern float light_pos[4];      // light 0 in scene space, for the per-frame light
extern float mat_specular[4];   // the lit scenes' material: a white highlight
extern float mat_shininess[1];  // of shininess 50

void setupScene();
void reshape(int w, int h);
void display();
void normalKeys(unsigned char key, int x, int y);

// Parts of reshape and display: the projection for a window of w x h, and
// the teapot in its colour with the lesson's textures.
void projection(int w, int h);
void drawTeapot();

// One frame, up to the swap: clear, camera, the orbit when explore mode turns
// it on, the per-frame light, the turn by `a`, and `teapot` (drawTeapot, or
// explore mode's own). display() and explore mode both draw with it, with
// OpenGL's built-in state or, in the core profile, with uniforms.
void drawScene(void (*teapot)());
extern bool orbiting;
extern float orbitYaw, orbitPitch;  // degrees
extern float light_position[4];     // light 0 of the lit scenes, in eye space
