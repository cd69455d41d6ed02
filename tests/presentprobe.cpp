// Test-only preload library for programs whose GLUT the frame probe cannot
// reach (the Windows build under wine, with freeglut linked in): it watches
// the frames that Mesa's software renderer presents to X instead.
//   PROBE_CAPTURE=k:file.png   write the k-th presented frame (1 = first)
//   PROBE_TICK=file            holds the number of frames presented so far
//   PROBE_SIZE=WxH             the window's size (default 400x400)
// Only images that Mesa itself puts are counted: wine puts its own (icons,
// cursors) through the same call.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

long frames = 0;

bool fromMesa(void* caller) {
    Dl_info info;
    if (!dladdr(caller, &info) || !info.dli_fname) return false;
    return strstr(info.dli_fname, "mesa") || strstr(info.dli_fname, "dri") ||
           strstr(info.dli_fname, "gallium");
}

unsigned channel(unsigned long pixel, unsigned long mask) {
    if (!mask) return 0;
    int shift = __builtin_ctzl(mask);
    return (unsigned)((pixel & mask) >> shift) * 255 / (unsigned)(mask >> shift);
}

void capture(XImage* image, int srcX, int srcY, const std::string& path) {
    int width = 400, height = 400;
    if (const char* size = getenv("PROBE_SIZE")) sscanf(size, "%dx%d", &width, &height);
    std::vector<unsigned char> rgb((size_t)width * height * 3, 0);
    // Mesa leaves the masks of its images empty: they hold the visual's
    // 8-bit red, green and blue.
    unsigned long red = image->red_mask ? image->red_mask : 0xff0000;
    unsigned long green = image->green_mask ? image->green_mask : 0x00ff00;
    unsigned long blue = image->blue_mask ? image->blue_mask : 0x0000ff;
    for (int y = 0; y < height && srcY + y < image->height; ++y)
        for (int x = 0; x < width && srcX + x < image->width; ++x) {
            unsigned long pixel = XGetPixel(image, srcX + x, srcY + y);
            unsigned char* out = &rgb[((size_t)y * width + x) * 3];
            out[0] = channel(pixel, red);
            out[1] = channel(pixel, green);
            out[2] = channel(pixel, blue);
        }
    stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3);
}

void presented(XImage* image, int srcX, int srcY) {
    ++frames;
    if (const char* list = getenv("PROBE_CAPTURE")) {
        char* end;
        if (strtol(list, &end, 10) == frames && *end == ':') capture(image, srcX, srcY, end + 1);
    }
    if (const char* tick = getenv("PROBE_TICK")) {
        static int fd = open(tick, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        char count[32];
        int n = snprintf(count, sizeof count, "%-20ld\n", frames);
        if (fd >= 0 && pwrite(fd, count, n, 0) != n) fd = -1;
    }
}

}  // namespace

extern "C" {

Bool XShmPutImage(Display* d, Drawable w, GC gc, XImage* image, int srcX, int srcY, int dstX,
                  int dstY, unsigned width, unsigned height, Bool sendEvent) {
    static auto real =
        reinterpret_cast<Bool (*)(Display*, Drawable, GC, XImage*, int, int, int, int, unsigned,
                                  unsigned, Bool)>(dlsym(RTLD_NEXT, "XShmPutImage"));
    if (fromMesa(__builtin_return_address(0))) presented(image, srcX, srcY);
    return real(d, w, gc, image, srcX, srcY, dstX, dstY, width, height, sendEvent);
}

int XPutImage(Display* d, Drawable w, GC gc, XImage* image, int srcX, int srcY, int dstX, int dstY,
              unsigned width, unsigned height) {
    static auto real = reinterpret_cast<int (*)(Display*, Drawable, GC, XImage*, int, int, int, int,
                                                unsigned, unsigned)>(dlsym(RTLD_NEXT, "XPutImage"));
    if (fromMesa(__builtin_return_address(0))) presented(image, srcX, srcY);
    return real(d, w, gc, image, srcX, srcY, dstX, dstY, width, height);
}

}  // extern "C"
