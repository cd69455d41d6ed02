#version 330 core
// The target of exercise half_lambert: a diffuse term that wraps round the
// teapot.
//
// Diffuse light: adds Lambert's cosine term to the ambient lesson. A surface
// turned towards light 0 gets more of it, so the teapot shows its shape.
// Worked out once per vertex; OpenGL blends the colours across each triangle.

// Set by the program (glUniform*): what OpenGL's matrices, light and current
// colour held. There is no matrix stack in the core profile.
uniform mat4 modelViewProjection;  // projection * model-view
uniform mat3 normalMatrix;         // inverse transpose of the model-view's upper 3 x 3
uniform vec4 lightPosition;        // light 0's position as OpenGL kept it: in eye space
uniform vec4 sceneAmbient;         // glLightModel's ambient light: 0.2 grey
uniform vec4 lightAmbient;         // light 0's own ambient part: black
uniform vec4 lightDiffuse;         // light 0's diffuse colour: white
uniform vec4 surfaceColour;        // glColor3f's pink

layout(location = 0) in vec4 position;      // the teapot's vertices, from GLUT
layout(location = 1) in vec3 vertexNormal;  // and their normals

out vec4 colour;  // what gl_FrontColor was, for the fragment shader

void main()
{
    // Object space -> clip space in one step: projection * model-view.
    gl_Position = modelViewProjection * position;

    // The normal in eye space (the normal matrix keeps it perpendicular).
    vec3 normal = normalize(normalMatrix * vertexNormal);
    // Light 0 is directional (w = 0): its position is the direction towards
    // the light, already in eye space.
    vec3 lightDir = normalize(lightPosition.xyz);

    // The ambient light: the scene's plus light 0's own ambient part.
    // surfaceColour is the surface colour (pink).
    vec4 ambientLight = sceneAmbient + lightAmbient;
    vec4 ambient = surfaceColour * ambientLight;

    // Half Lambert: the cosine moved from -1..1 to 0..1, then squared, so the
    // light wraps round into the dark side instead of stopping at its edge.
    float halfLambert = dot(normal, lightDir) * 0.5 + 0.5;
    float lambert = halfLambert * halfLambert;
    vec4 diffuse = surfaceColour * lightDiffuse * lambert;

    // gl_FrontColor was clamped to 0..1 before it was blended: so is this.
    colour = clamp(vec4((ambient + diffuse).rgb, 1.0), 0.0, 1.0);
}
