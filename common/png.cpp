// PNG as plainly as the format allows: one IDAT chunk holding a zlib stream
// of stored (uncompressed) deflate blocks. Bigger than it needs to be, but
// any viewer reads it and nothing is linked in.
#include "png.h"

#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>

#include <vector>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#define O_BINARY 0
#endif

static uint32_t crc32(const unsigned char* data, size_t size) {
    uint32_t crc = ~0u;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

static void put32(std::vector<unsigned char>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back((unsigned char)(v >> shift));
}

// A chunk: length, type, data, and the CRC of type and data.
static void chunk(std::vector<unsigned char>& out, const char* type,
                  const std::vector<unsigned char>& data) {
    put32(out, (uint32_t)data.size());
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, crc32(&out[start], out.size() - start));
}

std::vector<unsigned char> encodePNG(int width, int height, const unsigned char* rgb) {
    std::vector<unsigned char> header;
    put32(header, (uint32_t)width);
    put32(header, (uint32_t)height);
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace

    // The image data: each row after a filter byte of 0 (none).
    std::vector<unsigned char> raw;
    size_t row = (size_t)width * 3;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb + y * row, rgb + (y + 1) * row);
    }
    // zlib: header, stored blocks of at most 65535 bytes, Adler-32 of the data.
    std::vector<unsigned char> z = {0x78, 0x01};
    size_t done = 0;
    do {
        size_t n = raw.size() - done < 65535 ? raw.size() - done : 65535;
        z.push_back(done + n == raw.size() ? 1 : 0);  // the last block says so
        z.insert(z.end(), {(unsigned char)n, (unsigned char)(n >> 8), (unsigned char)~n,
                           (unsigned char)(~n >> 8)});
        z.insert(z.end(), raw.begin() + done, raw.begin() + done + n);
        done += n;
    } while (done < raw.size());
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    put32(z, (b << 16) | a);

    std::vector<unsigned char> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    chunk(file, "IHDR", header);
    chunk(file, "IDAT", z);
    chunk(file, "IEND", {});
    return file;
}

int writePNG(const char* path, int width, int height, const unsigned char* rgb) {
    return writeNewFile(path, encodePNG(width, height, rgb));
}

int writeNewFile(const char* path, const std::vector<unsigned char>& file) {
    // Made here or not at all: a file of that name, whoever wrote it, stays.
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_BINARY, 0644);
    if (fd < 0) return errno;
    FILE* out = fdopen(fd, "wb");
    if (!out) {
        int why = errno;
        close(fd);
        return why;
    }
    bool ok = fwrite(file.data(), 1, file.size(), out) == file.size();
    if (fclose(out) != 0) ok = false;
    if (ok) return 0;
    int why = errno ? errno : EIO;
    remove(path);  // a half-written picture helps nobody
    return why;
}

int writePNGOver(const char* path, int width, int height, const unsigned char* rgb) {
    // Whole or not at all: a new file beside it, renamed over it once written.
    char temporary[4096];
    snprintf(temporary, sizeof temporary, "%s.%ld.part", path, (long)getpid());
    int why = writePNG(temporary, width, height, rgb);
    if (why) return why;
#ifdef _WIN32
    remove(path);  // Windows' rename does not replace
#endif
    if (rename(temporary, path) == 0) return 0;
    why = errno;
    remove(temporary);
    return why;
}
