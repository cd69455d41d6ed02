#version 110
// Texturing: no light at all; the colour comes from two images. The vertex
// shader passes the teapot's texture coordinates on to the fragments.

void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    gl_TexCoord[0] = gl_MultiTexCoord0;  // (s, t) across the teapot's surface
}
