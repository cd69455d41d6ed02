// Compiles and links shader pairs with the driver itself, as a lesson would:
// an interface that does not fit (a varying the fragment shader reads and the
// vertex shader never writes) is found here, where a file-by-file compiler
// sees nothing wrong. Needs a display (tests/e2e/with_display.py gives one).
//   link_check VERT FRAG [VERT FRAG...]
#include <GL/glew.h>
#include <GL/freeglut.h>
#include <stdio.h>

#include "shaders.h"

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    glutCreateWindow("link check");
    glewInit();
    if (argc < 3 || argc % 2 == 0) {
        fprintf(stderr, "usage: %s VERT FRAG [VERT FRAG...]\n", argv[0]);
        return 2;
    }
    int failures = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        bool linked = buildProgram(argv[i], argv[i + 1]) != 0;
        printf("%s %s + %s\n", linked ? "ok" : "FAIL", argv[i], argv[i + 1]);
        failures += linked ? 0 : 1;
    }
    return failures ? 1 : 0;
}
