// Explore mode's screenshots (see screenshot.h).
#include "screenshot.h"

#include <dirent.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "folders.h"
#include "png.h"

#ifdef _WIN32
static const char separator = '\\';
#else
static const char separator = '/';
#endif

// The highest N of the pictures PROGRAM-N.png in `folder`, 0 for none.
static int highestShot(const std::string& folder, const std::string& program) {
    int highest = 0;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return 0;  // writing will say why
    std::string prefix = program + "-";
    while (struct dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (strncmp(name, prefix.c_str(), prefix.size()) != 0) continue;
        const char* digits = name + prefix.size();
        size_t n = strspn(digits, "0123456789");
        if (n == 0 || n > 9 || strcmp(digits + n, ".png") != 0) continue;
        int number = atoi(digits);
        if (number > highest) highest = number;
    }
    closedir(dir);
    return highest;
}

std::string saveScreenshot(const std::string& program, int w, int h,
                           const std::vector<unsigned char>& rgb) {
    static int lastShot = -1;  // the number of the last name tried
    std::string folder = screenshotFolder();
    if (lastShot < 0) lastShot = highestShot(folder, program);
    std::vector<unsigned char> png = encodePNG(w, h, rgb.data());
    for (;;) {
        char name[64];
        snprintf(name, sizeof name, "-%03d.png", ++lastShot);
        std::string path = folder + separator + program + name;
        int why = writeNewFile(path.c_str(), png);
        if (why == EEXIST) continue;  // taken since, by another run
        if (why == 0)
            printf("Saved %s\n", path.c_str());
        else
            fprintf(stderr, "Could not save the screenshot %s: %s.\n", path.c_str(), strerror(why));
        fflush(stdout);
        return why == 0 ? path : "";
    }
}
