#version 330 core
// Per-vertex light: adds the specular highlight to the diffuse lesson, so
// ambient + diffuse + specular, all at the vertices (Gouraud shading). Being
// interpolated from the vertices, the highlight comes out soft and uneven.

// This scene sets no material, so the lesson names its highlight here:
// white, and as tight as the specular lesson's material.
const vec4 specularColour = vec4(1.0, 1.0, 1.0, 1.0);
const float shininess = 50.0;

// Set by the program (glUniform*): what OpenGL's matrices, light and current
// colour held. There is no matrix stack in the core profile.
uniform mat4 modelViewProjection;  // projection * model-view
uniform mat3 normalMatrix;         // inverse transpose of the model-view's upper 3 x 3
uniform vec4 lightPosition;        // light 0's position as OpenGL kept it: in eye space
uniform vec4 sceneAmbient;         // glLightModel's ambient light: 0.2 grey
uniform vec4 lightAmbient;         // light 0's own ambient part: black
uniform vec4 lightDiffuse;         // light 0's diffuse colour: white
uniform vec4 lightSpecular;        // light 0's specular colour: white
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

    // Lambert: brightness follows the cosine of the angle between normal and
    // light; surfaces facing away get none, not a negative amount.
    float lambert = max(dot(normal, lightDir), 0.0);
    vec4 diffuse = surfaceColour * lightDiffuse * lambert;

    // Blinn-Phong: the halfway vector lies between the light and the eye; the
    // closer the normal is to it, the more light is mirrored into the eye.
    // Raising the cosine to the shininess makes the highlight small. OpenGL
    // kept the halfway vector ready for each light; now it is worked out
    // here, for a viewer far away along +z.
    vec3 halfway = normalize(lightDir + vec3(0.0, 0.0, 1.0));
    float facing = lambert > 0.0 ? 1.0 : 0.0;  // no highlight on the dark side
    float shine = pow(max(dot(normal, halfway), 0.0), shininess) * facing;
    vec4 specular = specularColour * lightSpecular * shine;

    // gl_FrontColor was clamped to 0..1 before it was blended: so is this.
    colour = clamp(vec4((ambient + diffuse + specular).rgb, 1.0), 0.0, 1.0);
}
