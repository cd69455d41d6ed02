// Where a lesson's files are: the working folder, and the project's data/
// and out/ when the lesson runs in the build's programs' folder.
#include "folders.h"

#include <errno.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>

#include "lesson_paths.h"  // written by the build: LESSONS_BIN_DIR, _DATA_DIR, _OUT_DIR

#ifdef _WIN32
#include <direct.h>
#define getcwd _getcwd
#else
#include <unistd.h>
#endif

const char* workingFolder() {
    static char folder[4096];
    if (!folder[0] && !getcwd(folder, sizeof folder)) strcpy(folder, "the working folder");
    return folder;
}

// The same folder, however it was named (a link, a relative path).
static bool sameFolder(const char* a, const char* b) {
    struct stat sa, sb;
    if (stat(a, &sa) != 0 || stat(b, &sb) != 0) return false;
#ifdef _WIN32
    return false;  // no inode numbers: the Windows programs run from their zip's folder
#else
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
#endif
}

bool inBuildFolder() {
    static const bool inside = sameFolder(".", LESSONS_BIN_DIR);
    return inside;
}

std::string dataFileOf(const char* fileName) {
    if (!inBuildFolder() || fileName[0] == '/' || fileName[0] == '\\' || strchr(fileName, ':'))
        return "";
    return std::string(LESSONS_DATA_DIR) + "/" + fileName;
}

std::string sourceOf(const char* fileName) {
    std::string source = dataFileOf(fileName);
    struct stat st;
    return !source.empty() && stat(source.c_str(), &st) == 0 ? source : "";
}

std::string wholePath(const char* fileName) {
    if (fileName[0] == '/' || fileName[0] == '\\' || (fileName[0] && fileName[1] == ':'))
        return fileName;
#ifdef _WIN32
    return std::string(workingFolder()) + "\\" + fileName;
#else
    return std::string(workingFolder()) + "/" + fileName;
#endif
}

std::string screenshotFolder() {
    if (!inBuildFolder()) return workingFolder();
#ifdef _WIN32
    _mkdir(LESSONS_OUT_DIR);
#else
    mkdir(LESSONS_OUT_DIR, 0777);  // an existing one is fine
#endif
    return LESSONS_OUT_DIR;
}
