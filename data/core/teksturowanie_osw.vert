#version 330 core
// Texturing with light: the texturing lesson's two images, lit for every
// fragment as in the specular lesson. The vertex shader hands on the normal
// and the teapot's texture coordinates.

// Set by the program (glUniform*): the matrices OpenGL kept. There is no
// matrix stack in the core profile.
uniform mat4 modelViewProjection;  // projection * model-view
uniform mat3 normalMatrix;         // inverse transpose of the model-view's upper 3 x 3

layout(location = 0) in vec4 position;      // the teapot's vertices, from GLUT
layout(location = 1) in vec3 vertexNormal;  // and their normals
layout(location = 2) in vec2 texCoord;      // and their texture coordinates

out vec3 eyeNormal;     // the normal in eye space, for the fragment shader
out vec2 surfaceCoord;  // what gl_TexCoord[0] was, for the fragment shader

void main()
{
    // Object space -> clip space in one step: projection * model-view.
    gl_Position = modelViewProjection * position;

    // The normal in eye space (the normal matrix keeps it perpendicular).
    eyeNormal = normalMatrix * vertexNormal;
    // The teapot's texture coordinates (s, t), for the fragment shader.
    surfaceCoord = texCoord;
}
