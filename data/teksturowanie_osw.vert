#version 110
// Texturing with light: the texturing lesson's two images, lit for every
// fragment as in the specular lesson. The vertex shader hands on the normal
// and the teapot's texture coordinates.

varying vec3 eyeNormal;  // the normal in eye space, for the fragment shader

void main()
{
    // Object space -> clip space in one step: projection * model-view.
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;

    // The normal in eye space (the normal matrix keeps it perpendicular).
    eyeNormal = gl_NormalMatrix * gl_Normal;
    // The teapot's texture coordinates (s, t), for the fragment shader.
    gl_TexCoord[0] = gl_MultiTexCoord0;
}
