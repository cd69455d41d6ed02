// The teapot the web page draws (common/teapot.cpp) against freeglut's own
// glutSolidTeapot: both drawn lit with the same state, the pictures must be
// the same to the last bit. Needs a display (tests/e2e/with_display.py).
#include <GL/glew.h>
#include <GL/freeglut.h>
#include <stdio.h>
#include <string.h>

#include <vector>

#include "teapot.h"

static const int size = 200;

static std::vector<unsigned char> drawn(void (*teapot)()) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0, 10, 0, 0, -1, 0, 1, 0);
    glRotatef(30, 1, 0, 0);  // from above, so the lid and the bottom's rim show
    glRotatef(40, 0, 1, 0);
    teapot();
    std::vector<unsigned char> pixels(size * size * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, size, size, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

static void glutTeapot() { glutSolidTeapot(2.5); }

static void meshTeapot() {
    static const TeapotMesh mesh = teapotMesh(2.5f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, mesh.positions.data());
    glNormalPointer(GL_FLOAT, 0, mesh.normals.data());
    glDrawElements(GL_TRIANGLES, (GLsizei)mesh.triangles.size(), GL_UNSIGNED_SHORT,
                   mesh.triangles.data());
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
}

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(size, size);
    glutCreateWindow("teapot twin");
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(45.0, 1.0, 1.0, 1000.0);
    std::vector<unsigned char> glut = drawn(glutTeapot), mesh = drawn(meshTeapot);
    int differ = 0, teapot = 0;
    for (size_t i = 0; i < glut.size(); i += 3) {
        differ += memcmp(&glut[i], &mesh[i], 3) != 0;
        teapot += glut[i] + glut[i + 1] + glut[i + 2] > 0;
    }
    TeapotMesh m = teapotMesh(2.5f);
    printf("%zu vertices, %zu triangles; %d of %d teapot pixels differ from glutSolidTeapot's\n",
           m.positions.size() / 3, m.triangles.size() / 3, differ, teapot);
    return differ == 0 && teapot > size * size / 10 ? 0 : 1;
}
