#version 330 core
// Ambient light: the first lesson. Light that comes from everywhere at once,
// so every point of the teapot gets the same amount and the shape looks flat.
// Worked out once per vertex; OpenGL blends the colours across each triangle.

// Set by the program (glUniform*): what OpenGL's matrices, light and current
// colour held. There is no matrix stack in the core profile.
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

    // The ambient light: the scene's plus light 0's own ambient part.
    // surfaceColour is the surface colour (pink).
    vec4 ambientLight = sceneAmbient + lightAmbient;
    vec4 ambient = surfaceColour * ambientLight;

    // gl_FrontColor was clamped to 0..1 before it was blended: so is this.
    colour = clamp(vec4(ambient.rgb, 1.0), 0.0, 1.0);
}
