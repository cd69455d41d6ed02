// Whether a path names a regular file, asked before the file is opened.
#pragma once

// Why `fileName` cannot be read as a file, before it is opened: "" for a
// regular file (or one that does not exist: opening it says why), otherwise
// what it is. A FIFO would block the lesson in fopen until something writes
// to it; a folder or a device is not a shader or an image either.
const char* notAFile(const char* fileName);
