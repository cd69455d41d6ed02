// Prints a lesson's row as shell assignments, so scripts read the lesson's
// files from the row itself: built once per lesson, with that lesson's
// main.cpp (LESSON_SOURCE) compiled in and its entry renamed.
#include <stdio.h>

#define main lessonMain
#include LESSON_SOURCE
#undef main

int main() {
    printf("title='%s'\nvertex='%s'\nfragment='%s'\ntextures=%d\n", row.title, row.vertexFile,
           row.fragmentFile, row.textures ? 1 : 0);
    return 0;
}
