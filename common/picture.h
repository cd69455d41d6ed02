// Pictures on demand: any pair, in any scene, drawn off screen at any size,
// whatever the window's size and however long the lesson has run. The same
// frame as the window's, through the same way of drawing.
#pragma once

#include <vector>

#include "scene.h"

// Everything a picture's scene may choose.
struct PictureScene {
    float angle;               // the teapot's turn about y, in degrees
    bool orbiting;             // the camera orbited round the teapot by
    float yaw, pitch;          // these, in degrees
    float light[4];            // light 0: in scene space where the lesson places it every
                               // frame, else in eye space, as the lesson gives it
    Look look;                 // the light's and material's colours, the model's scale
    unsigned int textures[2];  // on units 0 and 1, for a lesson with textures
};

// The scene as the running lesson draws it now.
PictureScene currentScene();

// The running lesson's scene from now on: `scene`'s turn, orbit, light, look
// and textures.
void useScene(const PictureScene& scene);

// Draws the teapot with `program` in `scene` into an off-screen image of
// w x h pixels and hands back its pixels in `rgb` (rows from the top, 3 bytes
// a pixel). The lesson's own state is as it was afterwards. False, with the
// reason on standard error, when the driver cannot draw off screen.
bool drawPicture(unsigned int program, const PictureScene& scene, int w, int h,
                 std::vector<unsigned char>& rgb);

// The w x h pixels drawn so far into the framebuffer bound now (the window's,
// before the swap, or a picture's), rows from the top, 3 bytes a pixel.
void readPixels(int w, int h, std::vector<unsigned char>& rgb);
