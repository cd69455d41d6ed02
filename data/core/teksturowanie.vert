#version 330 core
// Texturing: no light at all; the colour comes from two images. The vertex
// shader hands on the teapot's texture coordinates.

// Set by the program (glUniform*): the matrices OpenGL kept. There is no
// matrix stack in the core profile.
uniform mat4 modelViewProjection;  // projection * model-view

layout(location = 0) in vec4 position;  // the teapot's vertices, from GLUT
layout(location = 2) in vec2 texCoord;  // and their texture coordinates

out vec2 surfaceCoord;  // what gl_TexCoord[0] was, for the fragment shader

void main()
{
    // Object space -> clip space in one step: projection * model-view.
    gl_Position = modelViewProjection * position;

    // The teapot's texture coordinates (s, t), for the fragment shader.
    surfaceCoord = texCoord;
}
