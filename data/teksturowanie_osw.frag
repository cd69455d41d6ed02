#version 110
// Texturing with light: the textured colour takes the place of the plain
// surface colour in ambient + diffuse; the white highlight is added after,
// so the images never tint it.

uniform sampler2D tex0;
uniform sampler2D tex1;

varying vec3 normal;  // eye space

void main()
{
    vec4 texel = texture2D(tex0, gl_TexCoord[0].st) * texture2D(tex1, gl_TexCoord[0].st);

    vec3 n = normalize(normal);
    vec3 lightDir = normalize(gl_LightSource[0].position.xyz);  // fixed to the viewer

    vec4 ambientLight = gl_LightModel.ambient + gl_LightSource[0].ambient;
    float lambert = max(dot(n, lightDir), 0.0);
    vec4 litColour = texel * (ambientLight + gl_LightSource[0].diffuse * lambert);

    vec3 halfway = normalize(gl_LightSource[0].halfVector.xyz);
    float facing = lambert > 0.0 ? 1.0 : 0.0;
    float shine = pow(max(dot(n, halfway), 0.0), gl_FrontMaterial.shininess) * facing;
    vec4 specular = gl_FrontMaterial.specular * gl_LightSource[0].specular * shine;

    gl_FragColor = vec4((litColour + specular).rgb, 1.0);
}
