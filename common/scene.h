// What a frame is drawn from: the lessons' fixed values (the camera, the
// light, the material, the look every lesson starts with) and the Scene, a
// plain value that the running lesson, a picture and a probe each hold their
// own of. Nothing here changes while a lesson runs.
#pragma once

// Light 0 given every frame after the camera, in scene space (the lessons
// with a per-frame light), and light 0 given once with an identity
// model-view, in eye space (the lit and textured scenes).
extern const float light_pos[4];
extern const float light_position[4];
extern const float mat_specular[4];   // the lit scenes' material: a white highlight
extern const float mat_shininess[1];  // of shininess 50

// The camera and its lens, the same in every way of drawing: the eye on the
// z axis, 10 units out, looking towards -z; a 45-degree vertical field of view.
struct Camera {
    float eye[3], centre[3], up[3];
    float fieldOfView, nearPlane, farPlane;
};
extern const Camera camera;
extern const float teapotSize;  // glutSolidTeapot's size

// What a frame is lit and coloured by beyond the light's place: in every
// lesson's run, the lessons' pink and OpenGL's defaults (the shaders get them
// as built-in state, or in the core profile as uniforms); a picture or a
// probe may choose others.
struct Look {
    float surfaceColour[4];  // glColor3f(1.0, 0.5, 0.5)
    float sceneAmbient[4];   // the light model's ambient: 0.2 grey
    float lightAmbient[4];   // light 0's colours: black, white, white
    float lightDiffuse[4];
    float lightSpecular[4];
    float materialSpecular[4];  // the front material's highlight: the lit
    float materialShininess;    // scenes' mat_specular and mat_shininess, else black, 0
    float scale[3];             // the model's own scale, before the turn
};
extern const Look lessonLook;  // OpenGL's defaults, before a scene sets its material

// Everything one frame is drawn from. The window's is the running lesson's;
// a picture or a probe draws its own without touching that one.
struct Scene {
    float a;                   // the teapot's turn about y, in degrees
    bool orbiting;             // the camera orbited round the teapot by
    float yaw, pitch;          // these, in degrees
    float light[4];            // light 0: in scene space where the lesson places it every
                               // frame, else in eye space, as the lesson gives it
    Look look;                 // the light's and material's colours, the model's scale
    unsigned int textures[2];  // on units 0 and 1, for a lesson with textures (GLuint)
};

// Whether two scenes give OpenGL the same light and material (what the
// built-in state keeps between frames).
bool sameLook(const Scene& x, const Scene& y);
