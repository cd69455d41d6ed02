// The matrices a core-profile program computes itself (see maths.h).
#include "maths.h"

#include <math.h>

static const float pi = 3.14159265358979f;

Mat4 identity() {
    Mat4 r = {};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0f;
    return r;
}

Mat4 multiply(const Mat4& a, const Mat4& b) {
    Mat4 r;
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a.m[k * 4 + row] * b.m[column * 4 + k];
            r.m[column * 4 + row] = sum;
        }
    return r;
}

Mat4 perspective(float fovyDegrees, float aspect, float zNear, float zFar) {
    float f = 1.0f / tanf(fovyDegrees * pi / 360.0f);  // cot(fovy / 2)
    Mat4 r = {};
    r.m[0] = f / aspect;
    r.m[5] = f;
    r.m[10] = (zFar + zNear) / (zNear - zFar);
    r.m[11] = -1.0f;  // w = -z: the perspective divide
    r.m[14] = 2.0f * zFar * zNear / (zNear - zFar);
    return r;
}

static void normalize(float v[3]) {
    float length = sqrtf(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0.0f)
        for (int i = 0; i < 3; ++i) v[i] /= length;
}

static void cross(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

Mat4 lookAt(const float eye[3], const float centre[3], const float up[3]) {
    // forward, side and the true up: the camera's axes in the scene.
    float f[3] = {centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]};
    normalize(f);
    float s[3], u[3];
    cross(f, up, s);
    normalize(s);
    cross(s, f, u);
    // Rows s, u, -f turn the scene into the camera's axes; then the eye
    // moves to the origin.
    Mat4 r = identity();
    for (int i = 0; i < 3; ++i) {
        r.m[i * 4 + 0] = s[i];
        r.m[i * 4 + 1] = u[i];
        r.m[i * 4 + 2] = -f[i];
    }
    Mat4 move = identity();
    for (int i = 0; i < 3; ++i) move.m[12 + i] = -eye[i];
    return multiply(r, move);
}

Mat4 rotation(float degrees, float x, float y, float z) {
    float axis[3] = {x, y, z};
    normalize(axis);
    x = axis[0], y = axis[1], z = axis[2];
    float c = cosf(degrees * pi / 180.0f), s = sinf(degrees * pi / 180.0f), t = 1.0f - c;
    Mat4 r = identity();
    r.m[0] = t * x * x + c, r.m[1] = t * x * y + s * z, r.m[2] = t * x * z - s * y;
    r.m[4] = t * x * y - s * z, r.m[5] = t * y * y + c, r.m[6] = t * y * z + s * x;
    r.m[8] = t * x * z + s * y, r.m[9] = t * y * z - s * x, r.m[10] = t * z * z + c;
    return r;
}

Mat4 scaling(float x, float y, float z) {
    Mat4 r = identity();
    r.m[0] = x, r.m[5] = y, r.m[10] = z;
    return r;
}

void normalMatrix(const Mat4& mv, float n[9]) {
    // The upper 3 x 3, a, and its cofactors: inverse = cofactors^T / det,
    // so the inverse transpose is the cofactors / det.
    auto a = [&](int row, int column) { return mv.m[column * 4 + row]; };
    float det = 0.0f;
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 3; ++row) {
            int r1 = (row + 1) % 3, r2 = (row + 2) % 3, c1 = (column + 1) % 3,
                c2 = (column + 2) % 3;
            float cofactor = a(r1, c1) * a(r2, c2) - a(r1, c2) * a(r2, c1);
            n[column * 3 + row] = cofactor;
            if (row == 0) det += a(0, column) * cofactor;
        }
    if (det != 0.0f)
        for (int i = 0; i < 9; ++i) n[i] /= det;
}

void transform(const Mat4& m, const float v[4], float out[4]) {
    for (int row = 0; row < 4; ++row)
        out[row] =
            m.m[row] * v[0] + m.m[4 + row] * v[1] + m.m[8 + row] * v[2] + m.m[12 + row] * v[3];
}
