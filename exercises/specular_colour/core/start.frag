#version 330 core
// Exercise specular_colour (./run.sh --core --exercise specular_colour): this
// highlight is always white. Give it the light's specular colour and the
// material's.
//
// Specular light: the per-vertex lesson's ambient + diffuse + specular, now
// worked out for every fragment (Phong shading), with the front material's
// specular colour and shininess, so the highlight is sharp.

// Set by the program (glUniform*): what OpenGL's light, material and current
// colour held.
uniform vec4 lightPosition;      // light 0's position as OpenGL kept it: in eye space
uniform vec4 sceneAmbient;       // glLightModel's ambient light: 0.2 grey
uniform vec4 lightAmbient;       // light 0's own ambient part: black
uniform vec4 lightDiffuse;       // light 0's diffuse colour: white
uniform vec4 lightSpecular;      // light 0's specular colour: white
uniform vec4 materialSpecular;   // glMaterial's specular colour
uniform float materialShininess; // and shininess
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

    // Blinn-Phong: the halfway vector lies between the light and the eye; the
    // closer the normal is to it, the more light is mirrored into the eye.
    // Raising the cosine to the shininess makes the highlight small. OpenGL
    // kept the halfway vector ready for each light; now it is worked out
    // here, for a viewer far away along +z.
    vec3 halfway = normalize(lightDir + vec3(0.0, 0.0, 1.0));
    float facing = lambert > 0.0 ? 1.0 : 0.0;  // no highlight on the dark side
    float shine = pow(max(dot(normal, halfway), 0.0), materialShininess) * facing;
    vec4 specular = vec4(1.0, 1.0, 1.0, 1.0) * shine;  // white, whatever the light and material

    fragColour = vec4((ambient + diffuse + specular).rgb, 1.0);
}
