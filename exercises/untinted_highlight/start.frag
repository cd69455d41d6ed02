#version 110
// Exercise untinted_highlight (./run.sh --exercise untinted_highlight): the
// highlight here is tinted by the images. Make it the light's and the
// material's alone, added after the texture.
//
// Texturing with light: the texture product takes the place of the surface
// colour in ambient + diffuse; the white highlight is added after, so the
// images never tint it.

uniform sampler2D tex0;  // texture unit 0: "tex0.tga", the base pattern
uniform sampler2D tex1;  // texture unit 1: "tex1.tga", the light map

varying vec3 eyeNormal;  // interpolated across the triangle: no longer of unit length

void main()
{
    // Both images at the same coordinates, multiplied. Multiplying can only
    // darken: white in one lets the other through unchanged, black blacks it out.
    vec4 texel = texture2D(tex0, gl_TexCoord[0].st) * texture2D(tex1, gl_TexCoord[0].st);

    // The normal in eye space, of unit length again.
    vec3 normal = normalize(eyeNormal);
    // Light 0 is directional (w = 0): its position is the direction towards
    // the light, already in eye space.
    vec3 lightDir = normalize(gl_LightSource[0].position.xyz);

    // The ambient light: the scene's (glLightModel, 0.2 grey by default)
    // plus light 0's own ambient part (black by default). The texel is the
    // surface colour.
    vec4 ambientLight = gl_LightModel.ambient + gl_LightSource[0].ambient;
    vec4 ambient = texel * ambientLight;

    // Lambert: brightness follows the cosine of the angle between normal and
    // light; surfaces facing away get none, not a negative amount.
    float lambert = max(dot(normal, lightDir), 0.0);
    vec4 diffuse = texel * gl_LightSource[0].diffuse * lambert;

    // Blinn-Phong: the halfway vector lies between the light and the eye; the
    // closer the normal is to it, the more light is mirrored into the eye.
    // Raising the cosine to the shininess makes the highlight small. OpenGL
    // keeps the halfway vector ready for each light, for a viewer far away
    // along +z: normalize(lightDir + vec3(0.0, 0.0, 1.0)).
    vec3 halfway = normalize(gl_LightSource[0].halfVector.xyz);
    float facing = lambert > 0.0 ? 1.0 : 0.0;  // no highlight on the dark side
    float shine = pow(max(dot(normal, halfway), 0.0), gl_FrontMaterial.shininess) * facing;
    vec4 specular = texel * gl_FrontMaterial.specular * gl_LightSource[0].specular * shine;

    gl_FragColor = vec4((ambient + diffuse + specular).rgb, 1.0);
}
