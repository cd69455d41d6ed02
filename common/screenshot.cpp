// Explore mode's screenshots (see screenshot.h).
#include "screenshot.h"

#include <GL/glew.h>  // before freeglut.h: explore.h brings it in
#include <GL/freeglut.h>
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "explore.h"
#include "picture.h"
#include "places.h"
#include "scene.h"
#include "png.h"

#ifdef _WIN32
static const char separator = '\\';
#else
static const char separator = '/';
#endif

std::string saveScreenshot(const std::string& program, int w, int h,
                           const std::vector<unsigned char>& rgb) {
    static int lastShot = 0;  // the number of the last name tried
    std::string folder = screenshotFolder();
    for (;;) {
        char name[64];
        snprintf(name, sizeof name, "-%03d.png", ++lastShot);
        std::string path = folder + separator + program + name;
        int why = writePNG(path.c_str(), w, h, rgb.data());
        if (why == EEXIST) continue;  // taken, by an earlier run or another one
        if (why == 0)
            printf("Saved %s\n", path.c_str());
        else
            fprintf(stderr, "Could not save the screenshot %s: %s.\n", path.c_str(), strerror(why));
        fflush(stdout);
        return why == 0 ? path : "";
    }
}

static std::string programName;  // names the screenshots

// The frame just drawn, before the swap, as a PNG named after the program.
static void saveWindow() {
    view.afterDraw = nullptr;
    int w = glutGet(GLUT_WINDOW_WIDTH), h = glutGet(GLUT_WINDOW_HEIGHT);
    std::vector<unsigned char> rgb;
    readPixels(w, h, rgb);  // the window's frame, before the swap
    saveScreenshot(programName, w, h, rgb);
}

void takeScreenshot(const char* program) {
    programName = program;
    view.afterDraw = saveWindow;
}
