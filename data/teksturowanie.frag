#version 110
// Texturing: look both images up at the same coordinates and multiply them.
// Multiplying can only darken: white in one image lets the other through
// unchanged, black blacks it out. The images, not the pink current colour,
// give the surface its colour here.

uniform sampler2D tex0;  // texture unit 0: "tex0.tga", the base pattern
uniform sampler2D tex1;  // texture unit 1: "tex1.tga", the light map

void main()
{
    vec4 base = texture2D(tex0, gl_TexCoord[0].st);
    vec4 light = texture2D(tex1, gl_TexCoord[0].st);
    gl_FragColor = vec4((base * light).rgb, 1.0);
}
