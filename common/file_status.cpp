// Whether a path names a regular file, asked before the file is opened.
#include "file_status.h"

#include <sys/stat.h>
#include <sys/types.h>

const char* notAFile(const char* fileName) {
    struct stat st;
    if (stat(fileName, &st) != 0) return "";
    switch (st.st_mode & S_IFMT) {
        case S_IFREG:
            return "";
        case S_IFDIR:
            return "it is a folder, not a file";
#ifdef S_IFIFO
        case S_IFIFO:
            return "it is a FIFO (a named pipe), not a file: it would wait for a writer";
#endif
#ifdef S_IFSOCK
        case S_IFSOCK:
            return "it is a socket, not a file";
#endif
        default:
            return "it is a device, not a file";
    }
}

FileStamp stampOf(const char* fileName) {
    FileStamp s;
    struct stat st;
    if (stat(fileName, &st) != 0) return s;
    s.seconds = (long long)st.st_mtime;
#if defined(__linux__)
    s.nanoseconds = (long long)st.st_mtim.tv_nsec;
#endif
    s.size = (long long)st.st_size;
    s.inode = (long long)st.st_ino;
    return s;
}
