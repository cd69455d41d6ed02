// The state every lesson draws from (see scene.h).
#include "scene.h"

const Lesson* lesson;

float a = 0.0f;
// Light 0 given every frame after the camera: a direction in scene space,
// so the light stays put while the teapot turns under it.
float light_pos[] = {0.5f, 0.2f, 1.0f, 0.0f};
// Light 0 given once with an identity model-view: a direction in eye space,
// so the light keeps its place relative to the viewer.
float light_position[] = {1.0f, 1.0f, 1.0f, 0.0f};
float mat_specular[] = {1.0f, 1.0f, 1.0f, 1.0f};
float mat_shininess[] = {50.0f};
unsigned int textures[2];

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
Look look = lessonLook;

View view = {false, 0.0f, 0.0f, false, false, nullptr, 0, nullptr};
