#version 330 core
// Exercise untinted_highlight (./run.sh --core --exercise untinted_highlight): the
// highlight here is tinted by the images. Make it the light's and the
// material's alone, added after the texture.
//
// Texturing with light: the texture product takes the place of the surface
// colour in ambient + diffuse; the white highlight is added after, so the
// images never tint it.

uniform sampler2D tex0;  // texture unit 0: "tex0.tga", the base pattern
uniform sampler2D tex1;  // texture unit 1: "tex1.tga", the light map

// Set by the program (glUniform*): what OpenGL's light and material held.
uniform vec4 lightPosition;      // light 0's position as OpenGL kept it: in eye space
uniform vec4 sceneAmbient;       // glLightModel's ambient light: 0.2 grey
uniform vec4 lightAmbient;       // light 0's own ambient part: black
uniform vec4 lightDiffuse;       // light 0's diffuse colour: white
uniform vec4 lightSpecular;      // light 0's specular colour: white
uniform vec4 materialSpecular;   // glMaterial's specular colour
uniform float materialShininess; // and shininess

in vec3 eyeNormal;  // interpolated across the triangle: no longer of unit length
in vec2 surfaceCoord;  // the texture coordinates, blended from the vertices

layout(location = 0) out vec4 fragColour;  // what gl_FragColor was: draw buffer 0

void main()
{
    // Both images at the same coordinates, multiplied. Multiplying can only
    // darken: white in one lets the other through unchanged, black blacks it out.
    vec4 texel = texture(tex0, surfaceCoord) * texture(tex1, surfaceCoord);

    // The normal in eye space, of unit length again.
    vec3 normal = normalize(eyeNormal);
    // Light 0 is directional (w = 0): its position is the direction towards
    // the light, already in eye space.
    vec3 lightDir = normalize(lightPosition.xyz);

    // The ambient light: the scene's plus light 0's own ambient part. The
    // texel is the surface colour.
    vec4 ambientLight = sceneAmbient + lightAmbient;
    vec4 ambient = texel * ambientLight;

    // Lambert: brightness follows the cosine of the angle between normal and
    // light; surfaces facing away get none, not a negative amount.
    float lambert = max(dot(normal, lightDir), 0.0);
    vec4 diffuse = texel * lightDiffuse * lambert;

    // Blinn-Phong: the halfway vector lies between the light and the eye; the
    // closer the normal is to it, the more light is mirrored into the eye.
    // Raising the cosine to the shininess makes the highlight small. OpenGL
    // kept the halfway vector ready for each light; now it is worked out
    // here, for a viewer far away along +z.
    vec3 halfway = normalize(lightDir + vec3(0.0, 0.0, 1.0));
    float facing = lambert > 0.0 ? 1.0 : 0.0;  // no highlight on the dark side
    float shine = pow(max(dot(normal, halfway), 0.0), materialShininess) * facing;
    vec4 specular = texel * materialSpecular * lightSpecular * shine;

    fragColour = vec4((ambient + diffuse + specular).rgb, 1.0);
}
