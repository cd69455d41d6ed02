#version 110
// Texturing with light: the texturing lesson's two images, lit per fragment
// as in the specular lesson. The vertex shader hands on both kinds of input.

varying vec3 normal;  // eye space

void main()
{
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    normal = gl_NormalMatrix * gl_Normal;
    gl_TexCoord[0] = gl_MultiTexCoord0;
}
