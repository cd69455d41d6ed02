// libFuzzer target for the TGA reader: any bytes as a file. Besides the
// sanitizers' own checks it holds the reader to its contract: an accepted
// image is 24- or 32-bit, fits in the file, and its pixels are the file's
// with red and blue exchanged.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#include "Targa.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int fd = memfd_create("tga", 0);
    static char name[64];
    if (fd < 0) abort();
    snprintf(name, sizeof name, "/proc/self/fd/%d", fd);
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != (ssize_t)size) abort();

    TARGAINFO info;
    GLubyte* bits = LoadTGAImage(name, &info);
    if (!bits) return 0;

    if (info.bpp != 24 && info.bpp != 32) abort();
    size_t step = info.bpp / 8;
    size_t bytes = (size_t)info.width * info.height * step;
    if (size < 18 || bytes == 0 || bytes > size - 18) abort();
    const uint8_t* file = data + 18;
    for (size_t i = 0; i < bytes; i += step) {
        if (bits[i] != file[i + 2] || bits[i + 1] != file[i + 1] || bits[i + 2] != file[i]) abort();
        if (step == 4 && bits[i + 3] != file[i + 3]) abort();
    }
    free(bits);
    return 0;
}
