// Whether a path names a regular file, asked before the file is opened.
#pragma once

// Why `fileName` cannot be read as a file, before it is opened: "" for a
// regular file (or one that does not exist: opening it says why), otherwise
// what it is. A FIFO would block the lesson in fopen until something writes
// to it; a folder or a device is not a shader or an image either.
const char* notAFile(const char* fileName);

// What a file looked like when it was looked at: a change of any of these
// means it was saved (written in place, or another file renamed over it).
struct FileStamp {
    long long seconds = -1, nanoseconds = 0, size = -1, inode = 0;
    bool operator==(const FileStamp& o) const {
        return seconds == o.seconds && nanoseconds == o.nanoseconds && size == o.size &&
               inode == o.inode;
    }
    bool operator!=(const FileStamp& o) const { return !(*this == o); }
    bool gone() const { return seconds < 0; }
};

// `fileName`'s stamp now; gone() when there is no such file.
FileStamp stampOf(const char* fileName);
