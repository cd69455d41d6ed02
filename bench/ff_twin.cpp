// The fixed-function twin of a lesson, for the lesson benchmark: the same
// window, teapot, camera, colour and frame loop, shaded by OpenGL's fixed
// pipeline with no shaders, doing the lesson's work:
//   ambient        unlit colour
//   diffuse        per-vertex lighting of light 0, placed in the scene each frame
//   per_vertex     the same with the specular material
//   specular       per-vertex lighting with the specular material, light fixed to the viewer
//   texturing      tex0.tga and tex1.tga modulated, unlit
//   texturing_lit  both textures and the lighting of the specular lesson
// Usage: ff_twin WORK  (run in the folder that holds tex0.tga and tex1.tga)
#include <GL/glew.h>
#include <GL/freeglut.h>
#include <stdio.h>
#include <string.h>

#include "Targa.h"
#include "fixed_lighting.h"
#include "drawing.h"
#include "scene.h"
#include "run.h"
#include "shell.h"

namespace {

// `frame` is the lesson's row, of which the shell's display() reads the two
// per-frame switches: the twin draws its frames with the lessons' own
// callbacks, so the two cannot drift.
struct Work {
    const char* name;
    bool lit, specular;
    Lesson frame;
};

const Work works[] = {
    {"ambient", false, false, {"", "", "", SCENE_PLAIN, true, true, false, ""}},
    {"diffuse", true, false, {"", "", "", SCENE_PLAIN, true, true, false, ""}},
    {"per_vertex", true, true, {"", "", "", SCENE_PLAIN, true, true, false, ""}},
    {"specular", true, true, {"", "", "", SCENE_LIT, true, false, false, ""}},
    {"texturing", false, false, {"", "", "", SCENE_TEXTURED, false, false, true, ""}},
    {"texturing_lit", true, true, {"", "", "", SCENE_TEXTURED, false, false, true, ""}},
};

const Work* work;

}  // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    for (const Work& w : works)
        if (argc > 1 && strcmp(argv[1], w.name) == 0) work = &w;
    if (!work) {
        fprintf(stderr,
                "usage: ff_twin ambient|diffuse|per_vertex|specular|texturing|texturing_lit\n");
        return 2;
    }
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(400, 400);
    static const LessonEntry entry = {"ff_twin", work->frame};
    static LessonRun twin(entry, builtInState);
    driveLesson(twin);
    glutCreateWindow("Kolory w shaderze");
    glewInit();
    glEnable(GL_DEPTH_TEST);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    if (work->lit) {
        // Explore mode's built-in lighting: the current colour (white under
        // the textures) drives ambient and diffuse, as gl_Color does in the shaders.
        if (!work->frame.perFrameLight) glLightfv(GL_LIGHT0, GL_POSITION, light_position);
        useBuiltInLighting(work->frame.textures, work->specular);
    }
    if (work->frame.textures) {
        unsigned int* textures = twin.scene.textures;
        glGenTextures(2, textures);
        glBindTexture(GL_TEXTURE_2D, textures[0]);
        bool ok = LoadTGATexture((char*)"tex0.tga");
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, textures[1]);
        ok = LoadTGATexture((char*)"tex1.tga") && ok;  // GL_MODULATE on both units
        if (!ok) {
            fprintf(stderr, "ff_twin: cannot read tex0.tga and tex1.tga\n");
            return 1;
        }
        glActiveTexture(GL_TEXTURE0);
        glEnable(GL_TEXTURE_2D);
        glActiveTexture(GL_TEXTURE1);
        glEnable(GL_TEXTURE_2D);
        glActiveTexture(GL_TEXTURE0);
        // The teapot sends texture coordinates for unit 0 only; unit 1 makes
        // its own from the vertices, so it too samples across its image (the
        // built-in lighting has done so already).
        if (!work->lit) generateUnit1Coordinates();
    }
    glutReshapeFunc(reshape);
    glutDisplayFunc(display);
    glutKeyboardFunc(normalKeys);
    glutMainLoop();
    return 0;
}
