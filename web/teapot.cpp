/*
 * GLUT's solid teapot, tessellated as freeglut 3.4 does it (src/fg_teapot.c),
 * step for step in the same float arithmetic, so that the vertices come out
 * bit for bit as freeglut's: 8 x 8 points on each of the 32 patches, normals
 * from the two tangents, the lid's tip and the bottom's centre given theirs.
 *
 * fg_teapot.c: Copyright (c) 1999-2000 Pawel W. Olszta. All Rights Reserved.
 * Written by Pawel W. Olszta, <olszta@sourceforge.net>. Distributed under
 * the permission notice in teapot_data.h.
 */
#include "teapot.h"

#include <math.h>

#include "teapot_data.h"

namespace {

const int subdivisions = 8;         // points along each side of a patch
const float centreHeight = 1.575f;  // the data's z that becomes y = 0

// The cubic Bernstein polynomials and their derivatives at each step.
struct Bernstein {
    float value[subdivisions][4], slope[subdivisions][4];
    Bernstein() {
        for (int s = 0; s < subdivisions; ++s) {
            float x = s / (subdivisions - 1.f), invx = 1.f - x;
            value[s][0] = invx * (invx * invx);
            slope[s][0] = -3 * (invx * invx);
            value[s][1] = 3 * x * (invx * invx);
            slope[s][1] = 3 * (invx * invx) - 6 * x * invx;
            value[s][2] = 3 * (x * x) * invx;
            slope[s][2] = 6 * x * invx - 3 * (x * x);
            value[s][3] = x * (x * x);
            slope[s][3] = 3 * (x * x);
        }
    }
};

// Copies of a patch: turned about y into the other three quadrants (4), or
// mirrored across the x-y plane with its rows reversed to keep the winding (2).
void copies(int flag, int count, float* values) {
    if (flag == 4) {
        for (int o = 0; o < count; o += 3) {
            float* q = values + o;
            float* q1 = q + count;
            float* q2 = q + 2 * count;
            float* q3 = q + 3 * count;
            q1[0] = q[2], q1[1] = q[1], q1[2] = -q[0];
            q2[0] = -q[0], q2[1] = q[1], q2[2] = -q[2];
            q3[0] = -q[2], q3[1] = q[1], q3[2] = q[0];
        }
    } else if (flag == 2) {
        for (int u = 0; u < subdivisions; ++u) {
            const float* from = values + (subdivisions - u - 1) * subdivisions * 3;
            float* to = values + count + u * subdivisions * 3;
            for (int i = 0; i < subdivisions * 3; i += 3) {
                to[i + 0] = from[i + 0];
                to[i + 1] = from[i + 1];
                to[i + 2] = -from[i + 2];
            }
        }
    }
}

// One patch's points and normals (and their copies), written at `verts` and
// `norms`; returns how many floats it wrote. `normalFix` 1 or 2: the first row
// meets at one point, whose normal is straight up or down.
int patch(const float cp[4][4][3], const Bernstein& b, int flag, int normalFix, float* verts,
          float* norms) {
    const int count = subdivisions * subdivisions * 3;
    for (int u = 0, o = 0; u < subdivisions; ++u) {
        for (int v = 0; v < subdivisions; ++v, o += 3) {
            float tan1[3] = {0}, tan2[3] = {0};
            for (int i = 0; i <= 3; ++i) {
                float vert0[3] = {0}, vert1[3] = {0};
                for (int j = 0; j <= 3; ++j)
                    for (int k = 0; k < 3; ++k) {
                        vert0[k] += b.value[v][j] * cp[i][j][k];
                        vert1[k] += b.slope[v][j] * cp[i][j][k];
                    }
                for (int k = 0; k < 3; ++k) {
                    verts[o + k] += b.value[u][i] * vert0[k];
                    tan1[k] += b.value[u][i] * vert1[k];
                    tan2[k] += b.slope[u][i] * vert0[k];
                }
            }
            float* n = norms + o;
            n[0] = tan1[1] * tan2[2] - tan1[2] * tan2[1];
            n[1] = tan1[2] * tan2[0] - tan1[0] * tan2[2];
            n[2] = tan1[0] * tan2[1] - tan1[1] * tan2[0];
            float len = (float)sqrt((double)(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]));
            n[0] /= len;
            n[1] /= len;
            n[2] /= len;
        }
    }
    if (normalFix)
        for (int o = 0; o < subdivisions * 3; o += 3) {
            norms[o + 0] = 0.f;
            norms[o + 1] = normalFix == 1 ? 1.f : -1.f;
            norms[o + 2] = 0.f;
        }
    copies(flag, count, verts);
    copies(flag, count, norms);
    return count * flag;
}

}  // namespace

TeapotMesh teapotMesh(float size) {
    static const Bernstein bernstein;
    const int perPatch = subdivisions * subdivisions;
    const int patches = 6 * 4 + 4 * 2;  // rim, body, lid, bottom turned; handle, spout mirrored
    TeapotMesh mesh;
    mesh.positions.assign((size_t)perPatch * patches * 3, 0.f);
    mesh.normals.assign(mesh.positions.size(), 0.f);
    for (int p = 0, o = 0; p < GLUT_TEAPOT_N_INPUT_PATCHES; ++p) {
        int flag = p < 6 ? 4 : 2;
        int normalFix = p == 3 ? 1 : p == 5 ? 2 : 0;  // the lid's tip, the bottom's centre
        // GLUT's old glRotated(270, 1, 0, 0), glScaled(size / 2) and
        // glTranslated(0, 0, -1.575), worked into the control points.
        float cp[4][4][3];
        for (int i = 0; i < 16; ++i) {
            const float* c = cpdata_teapot[patchdata_teapot[p][i]];
            cp[i / 4][i % 4][0] = c[0] * size / 2.f;
            cp[i / 4][i % 4][1] = (c[2] - centreHeight) * size / 2.f;
            cp[i / 4][i % 4][2] = -c[1] * size / 2.f;
        }
        o += patch(cp, bernstein, flag, normalFix, &mesh.positions[o], &mesh.normals[o]);
    }
    for (int p = 0; p < patches; ++p)
        for (int r = 0; r < subdivisions; ++r)
            for (int c = 0; c < subdivisions; ++c) {
                mesh.texCoords.push_back(r / (subdivisions - 1.f));
                mesh.texCoords.push_back(c / (subdivisions - 1.f));
            }
    // Two triangles for each square of a patch's grid: ABC and ACD, with B
    // and C one row further.
    for (int p = 0; p < patches; ++p)
        for (int r = 0; r < subdivisions - 1; ++r)
            for (int c = 0; c < subdivisions - 1; ++c) {
                unsigned short a = (unsigned short)(p * perPatch + r * subdivisions + c);
                unsigned short below = (unsigned short)(a + subdivisions);
                const unsigned short two[6] = {a,
                                               below,
                                               (unsigned short)(below + 1),
                                               a,
                                               (unsigned short)(below + 1),
                                               (unsigned short)(a + 1)};
                mesh.triangles.insert(mesh.triangles.end(), two, two + 6);
            }
    return mesh;
}
