#version 330 core
// Exercise lesson_ambient (./run.sh --core --exercise lesson_ambient): this pair
// draws the teapot in its own colour, unlit. Light it with the ambient light alone.

// Set by the program (glUniform*): what OpenGL's matrices, light and current
// colour held.
uniform mat4 modelViewProjection;  // projection * model-view
uniform vec4 sceneAmbient;         // glLightModel's ambient light: 0.2 grey
uniform vec4 lightAmbient;         // light 0's own ambient part: black
uniform vec4 surfaceColour;        // glColor3f's pink

layout(location = 0) in vec4 position;  // the teapot's vertices, from GLUT

out vec4 colour;  // what gl_FrontColor was, for the fragment shader

void main()
{
    // Object space -> clip space in one step: projection * model-view.
    gl_Position = modelViewProjection * position;

    // The surface colour as it is, with no light at all.
    colour = vec4(surfaceColour.rgb, 1.0);
}
