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
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "Targa.h"

namespace {

struct Work {
    const char* name;
    bool lit, specular, perFrameLight, textures;
};

const Work works[] = {
    {"ambient", false, false, false, false},  {"diffuse", true, false, true, false},
    {"per_vertex", true, true, true, false},  {"specular", true, true, false, false},
    {"texturing", false, false, false, true}, {"texturing_lit", true, true, false, true},
};

const Work* work;
GLfloat light_pos[] = {0.5f, 0.2f, 1.0f, 0.0f};
GLfloat light_position[] = {1.0f, 1.0f, 1.0f, 0.0f};
GLfloat mat_specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
GLfloat mat_shininess[] = {50.0f};
GLuint textures[2];
GLfloat a = 0.0f;

void display() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0, 10, 0, 0, -1, 0, 1, 0);
    if (work->perFrameLight) glLightfv(GL_LIGHT0, GL_POSITION, light_pos);
    glRotatef(a, 0, 1, 0);
    glColor3f(1.0f, 0.5f, 0.5f);
    if (work->textures) {
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, textures[1]);
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, textures[0]);
    }
    glutSolidTeapot(2.5);
    a = (GLfloat)fmod(a + 0.1, 360.0);
    glutPostRedisplay();
    glutSwapBuffers();
}

void reshape(int w, int h) {
    if (h == 0) h = 1;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glViewport(0, 0, w, h);
    gluPerspective(45.0, (float)w / (float)h, 1.0, 1000.0);
    display();
}

void keys(unsigned char key, int, int) {
    if (key == 27) exit(0);
}

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
    glutCreateWindow("Kolory w shaderze");
    glewInit();
    glEnable(GL_DEPTH_TEST);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    if (work->lit) {
        // The current colour drives ambient and diffuse, as gl_Color does in the shaders.
        glEnable(GL_COLOR_MATERIAL);
        glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
        if (work->specular) {
            glMaterialfv(GL_FRONT, GL_SPECULAR, mat_specular);
            glMaterialfv(GL_FRONT, GL_SHININESS, mat_shininess);
        }
        if (!work->perFrameLight) glLightfv(GL_LIGHT0, GL_POSITION, light_position);
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
    }
    if (work->textures) {
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
        // The teapot sends texture coordinates for unit 0 only; unit 1 makes
        // its own from the vertices, so it too samples across its image.
        glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
        glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    }
    glutReshapeFunc(reshape);
    glutDisplayFunc(display);
    glutKeyboardFunc(keys);
    glutMainLoop();
    return 0;
}
