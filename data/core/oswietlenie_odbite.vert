#version 330 core
// Specular light in core-profile GLSL: the lesson's vertex shader with every
// built-in it read replaced by what a modern program hands in itself. No
// lesson runs it; docs/lessons.md shows it against the lesson's own.

// Set by the program with glUniform*, computed on the CPU (there is no
// matrix stack in the core profile).
uniform mat4 modelViewProjection;  // projection * model-view
uniform mat3 normalMatrix;         // inverse transpose of the model-view's upper 3 x 3

// Per-vertex attributes from the program's vertex buffers.
in vec4 position;
in vec3 vertexNormal;

out vec3 eyeNormal;  // the normal in eye space, for the fragment shader

void main()
{
    // Object space -> clip space in one step: projection * model-view.
    gl_Position = modelViewProjection * position;

    // The normal in eye space (the normal matrix keeps it perpendicular).
    eyeNormal = normalMatrix * vertexNormal;
}
