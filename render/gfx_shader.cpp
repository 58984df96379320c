// The layer's one shader: what the show used of the classic fixed-function pipeline, in
// variants by which textures and which fog a draw uses.
#include "render/gfx_internal.h"

namespace gfx::detail {
namespace {

// GLSL ES 3.00, which desktop GL (through ES 3 compatibility) and WebGL 2 both take.
const char* const vertexSource = R"(#version 300 es
layout(location = 0) in vec4 position;
layout(location = 1) in vec2 texCoord;
layout(location = 2) in vec4 color;
layout(location = 3) in vec2 texCoord1;
uniform mat4 projection;
uniform mat4 modelView;
out vec2 vTexCoord;
out vec2 vTexCoord1;
out vec4 vColor;
out float vEyeDistance;
void main() {
    vec4 eye = modelView * position;
    gl_Position = projection * eye;
    vTexCoord = texCoord;
    vTexCoord1 = texCoord1;
    vColor = clamp(color, 0.0, 1.0);
    vEyeDistance = -eye.z;
}
)";

// Fog goes by the eye-plane distance interpolated across the triangle and is worked out per
// pixel: a large quad crossing the eye plane (the hall's floor) fogs smoothly. Each variant
// keeps only what its state uses, as the classic pipeline did: a software renderer would
// otherwise run both texture lookups and the fog for every pixel, whatever the uniforms say.
const char* const fragmentBody = R"(
precision highp float;
uniform sampler2D texture0;
uniform sampler2D texture1;
uniform float texture1Alpha;
uniform vec4 fogColor;
uniform float fogDensity;
uniform float fogStart;
uniform float fogEnd;
in vec2 vTexCoord;
in vec2 vTexCoord1;
in vec4 vColor;
in float vEyeDistance;
out vec4 fragColor;
void main() {
    vec4 color = vColor;
#if TEXTURE0
    color *= texture(texture0, vTexCoord);
#endif
#if TEXTURE1
    color.rgb = mix(color.rgb, texture(texture1, vTexCoord1).rgb, texture1Alpha);
#endif
#if FOG == 1
    float factor = (fogEnd - vEyeDistance) / (fogEnd - fogStart);
    color.rgb = mix(fogColor.rgb, color.rgb, clamp(factor, 0.0, 1.0));
#elif FOG == 2
    float d = fogDensity * vEyeDistance;
    color.rgb = mix(fogColor.rgb, color.rgb, clamp(exp(-d * d), 0.0, 1.0));
#endif
    fragColor = color;
}
)";

std::string fragmentSource(int variant) {
    return std::string("#version 300 es\n#define TEXTURE0 ") +
           (variant & variantTexture0 ? "1" : "0") + "\n#define TEXTURE1 " +
           (variant & variantTexture1 ? "1" : "0") + "\n#define FOG " +
           std::to_string(variant / variantFogStep) + "\n" + fragmentBody;
}

GLuint compile(GLenum kind, const char* source, std::string& error) {
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return shader;
    char log[1024] = "";
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    error = std::string(kind == GL_VERTEX_SHADER ? "vertex" : "fragment") +
            " shader does not compile: " + log;
    glDeleteShader(shader);
    return 0;
}

} // namespace

Program buildProgram(int variant, std::string& error) {
    Program program;
    const GLuint vertex = compile(GL_VERTEX_SHADER, vertexSource, error);
    if (!vertex) return program;
    const std::string source = fragmentSource(variant);
    const GLuint fragment = compile(GL_FRAGMENT_SHADER, source.c_str(), error);
    if (!fragment) {
        glDeleteShader(vertex);
        return program;
    }
    const GLuint name = glCreateProgram();
    glAttachShader(name, vertex);
    glAttachShader(name, fragment);
    glLinkProgram(name);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    glGetProgramiv(name, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        char log[1024] = "";
        glGetProgramInfoLog(name, sizeof log, nullptr, log);
        error = std::string("shader does not link: ") + log;
        glDeleteProgram(name);
        return program;
    }
    program.name = name;
    auto uniform = [&](const char* field) { return glGetUniformLocation(name, field); };
    program.projection = uniform("projection");
    program.modelView = uniform("modelView");
    program.texture1Alpha = uniform("texture1Alpha");
    program.fogColor = uniform("fogColor");
    program.fogDensity = uniform("fogDensity");
    program.fogStart = uniform("fogStart");
    program.fogEnd = uniform("fogEnd");
    glUseProgram(name);
    glUniform1i(uniform("texture0"), 0);
    glUniform1i(uniform("texture1"), 1);
    return program;
}

} // namespace gfx::detail
