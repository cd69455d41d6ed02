#version 330 core
// Specular light: the per-vertex lesson's ambient + diffuse + specular, now
// worked out for every fragment (Phong shading), with the front material's
// specular colour and shininess. The vertex shader only hands on the normal.

// Set by the program (glUniform*): the matrices OpenGL kept. There is no
// matrix stack in the core profile.
uniform mat4 modelViewProjection;  // projection * model-view
uniform mat3 normalMatrix;         // inverse transpose of the model-view's upper 3 x 3

layout(location = 0) in vec4 position;      // the teapot's vertices, from GLUT
layout(location = 1) in vec3 vertexNormal;  // and their normals

out vec3 eyeNormal;  // the normal in eye space, for the fragment shader

void main()
{
    // Object space -> clip space in one step: projection * model-view.
    gl_Position = modelViewProjection * position;

    // The normal in eye space (the normal matrix keeps it perpendicular).
    eyeNormal = normalMatrix * vertexNormal;
}
