#version 330 core
// Specular light in core-profile GLSL: the lesson's fragment shader with the
// light, the material and the surface colour handed in as uniforms, and the
// colour written to an output of the shader's own.

// Set by the program with glUniform*: what glLight, glMaterial, glLightModel
// and glColor used to hold.
uniform vec4 surfaceColour;       // the pink colour
uniform vec3 lightDirection;      // towards light 0, in eye space
uniform vec4 lightAmbient;        // the scene's ambient light plus the light's own
uniform vec4 lightDiffuse;
uniform vec4 lightSpecular;
uniform vec4 materialSpecular;
uniform float materialShininess;

in vec3 eyeNormal;  // interpolated across the triangle: no longer of unit length

out vec4 fragColour;  // the fragment's colour, bound to draw buffer 0

void main()
{
    // The normal in eye space, of unit length again.
    vec3 normal = normalize(eyeNormal);
    // The direction towards the light, already in eye space.
    vec3 lightDir = normalize(lightDirection);

    // The ambient light, and the surface colour it lights.
    vec4 ambientLight = lightAmbient;
    vec4 ambient = surfaceColour * ambientLight;

    // Lambert: brightness follows the cosine of the angle between normal and
    // light; surfaces facing away get none, not a negative amount.
    float lambert = max(dot(normal, lightDir), 0.0);
    vec4 diffuse = surfaceColour * lightDiffuse * lambert;

    // Blinn-Phong: the halfway vector lies between the light and the eye; the
    // closer the normal is to it, the more light is mirrored into the eye.
    // Raising the cosine to the shininess makes the highlight small. Nothing
    // keeps it ready any more: for a viewer far away along +z it is
    vec3 halfway = normalize(lightDir + vec3(0.0, 0.0, 1.0));
    float facing = lambert > 0.0 ? 1.0 : 0.0;  // no highlight on the dark side
    float shine = pow(max(dot(normal, halfway), 0.0), materialShininess) * facing;
    vec4 specular = materialSpecular * lightSpecular * shine;

    fragColour = vec4((ambient + diffuse + specular).rgb, 1.0);
}
