// GLUT's solid teapot as data: the triangles freeglut 3.4's glutSolidTeapot
// draws, worked out the same way from the same patches, for a GLUT without
// shapes (the web page's). Desktop and web draw the same teapot.
#pragma once

#include <vector>

struct TeapotMesh {
    std::vector<float> positions;           // x, y, z per vertex
    std::vector<float> normals;             // of unit length, per vertex
    std::vector<float> texCoords;           // s, t per vertex
    std::vector<unsigned short> triangles;  // three vertex numbers each, counter-clockwise
};

// The teapot of glutSolidTeapot(size): upright along y, spout towards +x.
TeapotMesh teapotMesh(float size);
