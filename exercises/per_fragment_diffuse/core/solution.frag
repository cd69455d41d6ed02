#version 330 core
// The target of exercise per_fragment_diffuse: the diffuse lesson's ambient +
// diffuse light, worked out for every fragment from the interpolated normal.

// Set by the program (glUniform*): what OpenGL's light, material and current
// colour held.
uniform vec4 lightPosition;      // light 0's position as OpenGL kept it: in eye space
uniform vec4 sceneAmbient;       // glLightModel's ambient light: 0.2 grey
uniform vec4 lightAmbient;       // light 0's own ambient part: black
uniform vec4 lightDiffuse;       // light 0's diffuse colour: white
uniform vec4 surfaceColour;      // glColor3f's pink

in vec3 eyeNormal;  // interpolated across the triangle: no longer of unit length

layout(location = 0) out vec4 fragColour;  // what gl_FragColor was: draw buffer 0

void main()
{
    // The normal in eye space, of unit length again.
    vec3 normal = normalize(eyeNormal);
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

    fragColour = vec4((ambient + diffuse).rgb, 1.0);
}
