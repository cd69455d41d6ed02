// The lessons' fixed values (see scene.h).
#include "scene.h"

#include <string.h>

// Light 0 given every frame after the camera: a direction in scene space,
// so the light stays put while the teapot turns under it.
const float light_pos[] = {0.5f, 0.2f, 1.0f, 0.0f};
// Light 0 given once with an identity model-view: a direction in eye space,
// so the light keeps its place relative to the viewer.
const float light_position[] = {1.0f, 1.0f, 1.0f, 0.0f};
const float mat_specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
const float mat_shininess[] = {50.0f};

const Camera camera = {{0, 0, 10}, {0, 0, -1}, {0, 1, 0}, 45.0f, 1.0f, 1000.0f};
const float teapotSize = 2.5f;

const Look lessonLook = {
    {1.0f, 0.5f, 0.5f, 1.0f},  // pink
    {0.2f, 0.2f, 0.2f, 1.0f},  // OpenGL's defaults for the scene and light 0
    {0.0f, 0.0f, 0.0f, 1.0f},
    {1.0f, 1.0f, 1.0f, 1.0f},
    {1.0f, 1.0f, 1.0f, 1.0f},
    {0.0f, 0.0f, 0.0f, 1.0f},  // and for the material, until a lit scene sets its own
    0.0f,
    {1.0f, 1.0f, 1.0f},
};

bool sameLook(const Scene& x, const Scene& y) {
    return memcmp(&x.look, &y.look, sizeof x.look) == 0 &&
           memcmp(x.light, y.light, sizeof x.light) == 0;
}
