#version 110
// Texturing: no light at all; the colour comes from two images. The vertex
// shader hands on the teapot's texture coordinates.

void main()
{
    // Object space -> clip space in one step: projection * model-view.
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;

    // The teapot's texture coordinates (s, t), for the fragment shader.
    gl_TexCoord[0] = gl_MultiTexCoord0;
}
