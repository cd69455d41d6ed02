// The matrices a core-profile program computes itself, each next to the
// OpenGL 2.0 call it replaces. Column by column, as OpenGL and GLSL keep them.
#pragma once

struct Mat4 {
    float m[16];  // m[column * 4 + row]
};

Mat4 identity();
Mat4 multiply(const Mat4& a, const Mat4& b);  // a * b: b acts first, as glMultMatrix

// gluPerspective: a vertical field of view in degrees, width / height, and
// the near and far planes' distances.
Mat4 perspective(float fovyDegrees, float aspect, float zNear, float zFar);

// gluLookAt: the camera at `eye`, looking at `centre`, with `up` upwards.
Mat4 lookAt(const float eye[3], const float centre[3], const float up[3]);

// glRotatef: a turn by `degrees` about the axis (x, y, z), counter-clockwise
// looking from the axis' tip.
Mat4 rotation(float degrees, float x, float y, float z);

// glScalef: a scale by x, y and z along the axes.
Mat4 scaling(float x, float y, float z);

// gl_NormalMatrix: the inverse transpose of the model-view's upper 3 x 3,
// column by column. It keeps normals perpendicular to their surface when the
// model-view scales unevenly; for turns alone it is that 3 x 3 itself.
void normalMatrix(const Mat4& modelView, float normal[9]);

// m * v, for a position (w = 1) or a direction (w = 0): what OpenGL does to
// glLightfv(GL_POSITION) with the model-view current.
void transform(const Mat4& m, const float v[4], float out[4]);
