// The lessons on a web page: one program for all six, run as
// `lesson_x --core --explore` runs on the desktop, from the same code. The
// page (page.js) asks which lessons and files there are, puts the files in
// the program's folder, and starts the lesson it names.
#include <emscripten.h>
#include <string.h>

#include <string>

#include "core.h"
#include "explore.h"
#include "lesson_table.h"

// One line per lesson: its name, a tab, what it teaches.
extern "C" EMSCRIPTEN_KEEPALIVE const char* pageLessons() {
    static std::string lines;
    lines.clear();
    for (const LessonEntry& e : lessonTable)
        lines += std::string(e.name) + "\t" + e.row.subject + "\n";
    return lines.c_str();
}

// One line per file the lessons read, as they open it: the core profile's
// shaders of every lesson (any lesson's pair can be loaded), and the images.
extern "C" EMSCRIPTEN_KEEPALIVE const char* pageFiles() {
    static std::string lines;
    lines.clear();
    for (const LessonEntry& e : lessonTable)
        lines +=
            lessonFile(e.row.vertexFile, true) + "\n" + lessonFile(e.row.fragmentFile, true) + "\n";
    lines += "tex0.tga\ntex1.tga\n";
    return lines.c_str();
}

// The shader file explore mode draws from and watches now (0 vertex, 1
// fragment), for the page's editor.
extern "C" EMSCRIPTEN_KEEPALIVE const char* pageWatched(int fragment) {
    static std::string file;
    file = watchedFile(fragment != 0);
    return file.c_str();
}

// argv[1] names the lesson; the page offers only the table's names.
int main(int argc, char** argv) {
    const LessonEntry* chosen = &lessonTable[0];
    for (const LessonEntry& e : lessonTable)
        if (argc > 1 && strcmp(argv[1], e.name) == 0) chosen = &e;
    char* args[] = {(char*)chosen->name, (char*)"--core", (char*)"--explore", NULL};
    return startLesson(chosen->row, 3, args);
}
