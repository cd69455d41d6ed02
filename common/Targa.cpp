// Uncompressed 24- and 32-bit TGA images: reading and texture upload.
#include "Targa.h"

#include <errno.h>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "file_status.h"

// TGA_PORTABLE_ONLY leaves the SSSE3 path out, so the tests can check the
// portable one on x86 too.
#if (defined(__x86_64__) || defined(__i386__)) && !defined(TGA_PORTABLE_ONLY)
#include <immintrin.h>
#define TGA_HAVE_SSSE3 1
#endif

// The first 12 bytes of every accepted file: no image ID, no colour map,
// image type 2 (uncompressed true colour), colour-map fields and origin 0.
static const GLubyte TGAHeader[12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Images whose pixel bytes do not fit a signed 32-bit size are refused.
static const uint64_t maxImageSize = 0x7fffffff;

static char failure[256];

const char* TGAFailure() { return failure; }

// Notes why an image was refused and closes its file; returns null, for the
// reader to hand on.
static GLubyte* refuse(FILE* plik, const char* why, ...) {
    va_list args;
    va_start(args, why);
    vsnprintf(failure, sizeof failure, why, args);
    va_end(args);
    if (plik) fclose(plik);
    return NULL;
}

// The file stores blue, green, red (, alpha); OpenGL wants red first. These
// copy `size` bytes of whole pixels from `from` to `to`, exchanging the first
// and third byte of each. Portable form, one pixel at a time:
static void copySwapScalar(GLubyte* to, const GLubyte* from, size_t size, size_t step) {
    for (size_t i = 0; i + step <= size; i += step) {
        to[i] = from[i + 2];
        to[i + 1] = from[i + 1];
        to[i + 2] = from[i];
        if (step == 4) to[i + 3] = from[i + 3];
    }
}

#ifdef TGA_HAVE_SSSE3
// One shuffle per 16 bytes. A 24-bit step covers the five whole pixels in the
// first 15 bytes; its 16th byte is rewritten correctly by the next step.
__attribute__((target("ssse3"))) static void copySwapSsse3(GLubyte* to, const GLubyte* from,
                                                           size_t size, size_t step) {
    const __m128i order24 = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    const __m128i order32 = _mm_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
    const __m128i order = step == 3 ? order24 : order32;
    const size_t advance = step == 3 ? 15 : 16;
    size_t i = 0;
    for (; i + 16 <= size; i += advance) {
        __m128i v = _mm_loadu_si128((const __m128i*)(from + i));
        _mm_storeu_si128((__m128i*)(to + i), _mm_shuffle_epi8(v, order));
    }
    copySwapScalar(to + i, from + i, size - i, step);
}
#endif

static void copySwap(GLubyte* to, const GLubyte* from, size_t size, size_t step) {
#ifdef TGA_HAVE_SSSE3
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (ssse3) {
        copySwapSsse3(to, from, size, step);
        return;
    }
#endif
    copySwapScalar(to, from, size, step);
}

// Bytes left in the file after the current position, or -1 when the stream
// cannot tell (a pipe).
static long bytesLeft(FILE* plik) {
    long here = ftell(plik);
    if (here < 0 || fseek(plik, 0, SEEK_END) != 0) return -1;
    long end = ftell(plik);
    if (fseek(plik, here, SEEK_SET) != 0 || end < here) return -1;
    return end - here;
}

// Reads the pixels through a small slice that stays in cache and copies each
// slice, turned to RGB(A), into Bits. So every page of Bits is written once,
// by one pass; reading straight into Bits and swapping there would touch
// each page twice, and measured about a third slower. The slice holds a whole
// number of 3- and 4-byte pixels.
static bool readPixels(FILE* plik, GLubyte* Bits, size_t ImageSize, size_t step) {
    GLubyte slice[12 * 4096];
    for (size_t done = 0; done < ImageSize;) {
        size_t want = ImageSize - done < sizeof slice ? ImageSize - done : sizeof slice;
        if (fread(slice, 1, want, plik) != want) return false;
        copySwap(Bits + done, slice, want, step);
        done += want;
    }
    return true;
}

// A TGA file has no signature of its own; what its first bytes say when they
// cannot begin one. A TGA's colour-map type is 0 or 1, and its image type one
// of a few values.
static const char* otherFormat(const GLubyte* head) {
    if (memcmp(head, "\x89PNG", 4) == 0) return "a PNG image";
    if (head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF) return "a JPEG image";
    if (memcmp(head, "GIF8", 4) == 0) return "a GIF image";
    if (head[0] == 'B' && head[1] == 'M') return "a BMP image";
    static const GLubyte types[] = {0, 1, 2, 3, 9, 10, 11, 32, 33};
    if (head[1] > 1 || !memchr(types, head[2], sizeof types)) return "a file of another kind";
    return "";
}

GLubyte* LoadTGAImage(char* filename, TARGAINFO* info) {
    failure[0] = '\0';
    const char* notFile = notAFile(filename);
    if (*notFile) return refuse(NULL, "%s", notFile);
    FILE* plik = fopen(filename, "rb");
    if (!plik) return refuse(NULL, "it cannot be opened (%s)", strerror(errno));

    GLubyte TGACompare[12];
    GLubyte Header[6];
    if (fread(TGACompare, 1, sizeof TGACompare, plik) != sizeof TGACompare)
        return refuse(plik, "it is shorter than a TGA header (18 bytes)");
    if (memcmp(TGAHeader, TGACompare, sizeof TGAHeader) != 0) {
        const char* other = otherFormat(TGACompare);
        if (*other)
            return refuse(plik,
                          "it is not a TGA image but %s (its first bytes cannot begin a TGA "
                          "header): save it as a 24- or 32-bit uncompressed TGA",
                          other);
        if (TGACompare[2] != 2)
            return refuse(plik,
                          "its image type is %u, not 2 (uncompressed true colour): save it in "
                          "colour, without RLE compression",
                          TGACompare[2]);
        return refuse(plik,
                      "it has an image ID, a colour map or an origin set: save it as a plain "
                      "uncompressed TGA");
    }
    if (fread(Header, 1, sizeof Header, plik) != sizeof Header)
        return refuse(plik, "it is shorter than a TGA header (18 bytes)");
    info->width = Header[1] * 256u + Header[0];
    info->height = Header[3] * 256u + Header[2];
    info->bpp = Header[4];  // Header[5], the descriptor, changes nothing here
    if (info->width == 0 || info->height == 0) return refuse(plik, "its width or height is 0");
    if (info->bpp != 24 && info->bpp != 32)
        return refuse(plik, "it is %u-bit; only 24- and 32-bit images are read", info->bpp);

    // In 64 bits: 65535 x 65535 x 4 bytes would overflow 32.
    uint64_t ImageSize = (uint64_t)info->height * info->width * info->bpp / 8;
    if (ImageSize > maxImageSize)
        return refuse(plik, "it declares %u x %u pixels, more than 2 GiB", info->width,
                      info->height);
    // Refuse before allocating when the file cannot hold what it declares.
    long left = bytesLeft(plik);
    if (left >= 0 && (uint64_t)left < ImageSize)
        return refuse(plik,
                      "it is shorter than its header says: %u x %u pixels of %u bits need %llu "
                      "bytes, the file has %ld after its header",
                      info->width, info->height, info->bpp, (unsigned long long)ImageSize, left);
    GLubyte* Bits = (GLubyte*)malloc((size_t)ImageSize);
    if (!Bits)
        return refuse(plik, "there is no memory for its %llu bytes", (unsigned long long)ImageSize);
    if (!readPixels(plik, Bits, (size_t)ImageSize, info->bpp / 8)) {
        free(Bits);
        return refuse(plik, "it ended before its %llu bytes of pixels",
                      (unsigned long long)ImageSize);
    }
    fclose(plik);
    return Bits;
}

// Texture upload: the image's depth picks the internal and pixel formats.
GLenum TGAPixelFormat(const TARGAINFO& info) { return info.bpp == 24 ? GL_RGB : GL_RGBA; }
GLint TGAComponents(const TARGAINFO& info) { return info.bpp == 24 ? 3 : 4; }

// The reader packs rows tightly; a row whose length is not a multiple of 4
// bytes (24-bit, odd width) needs an alignment of 1, or OpenGL would read
// past the end of the buffer.
GLint TGAUnpackAlignment(const TARGAINFO& info) {
    return (info.width * (info.bpp / 8)) % 4 == 0 ? 4 : 1;
}

void setTGAWrapAndFilters(GLint minFilter) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
}

// The image read for one level of texture: refused when larger than the
// driver's largest texture, with the wrap and filters set; null when refused.
static GLubyte* readTGAForTexture(char* filename, TARGAINFO* info, GLint minFilter) {
    GLubyte* bits = LoadTGAImage(filename, info);
    if (!bits) return NULL;
    // A texture beyond the driver's limit would be refused by glTexImage2D
    // without a word, and the teapot drawn black: refuse it here instead.
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    if (largest > 0 && (info->width > (GLuint)largest || info->height > (GLuint)largest)) {
        free(bits);
        return refuse(NULL,
                      "it is %u x %u pixels, larger than this driver's largest texture (%d x %d)",
                      info->width, info->height, largest, largest);
    }
    setTGAWrapAndFilters(minFilter);
    return bits;
}

// One level, its internal format as `internalFormat` gives it.
static void upload(const TARGAINFO& info, GLint internalFormat, const GLubyte* bits) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, TGAUnpackAlignment(info));
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, info.width, info.height, 0, TGAPixelFormat(info),
                 GL_UNSIGNED_BYTE, bits);
}

bool LoadTGATexture(char* filename) {
    TARGAINFO info;
    GLubyte* bits = readTGAForTexture(filename, &info, GL_LINEAR);
    if (!bits) return false;
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    upload(info, TGAComponents(info), bits);
    free(bits);
    return true;
}

bool LoadTGATextureByFormat(char* filename) {
    TARGAINFO info;
    GLubyte* bits = readTGAForTexture(filename, &info, GL_LINEAR);
    if (!bits) return false;
    upload(info, (GLint)TGAPixelFormat(info), bits);
    free(bits);
    return true;
}
