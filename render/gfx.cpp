// The drawing layer's start, matrices, fixed state and targets.
#include "render/gfx_internal.h"

#include "platform/platform.h"

namespace gfx {
namespace {

struct LayerState {
    int context = -1; // the platform's context generation the objects below belong to
    detail::Program programs[detail::variantCount];
    int variant = -1; // the program in use, -1 for none
    Mat4 projection = Mat4::identity();
    std::vector<Mat4> projectionStack;
    Mat4 modelView = Mat4::identity();
    std::vector<Mat4> modelViewStack;
    bool projectionDirty = true, modelViewDirty = true;
    float color[4] = {1, 1, 1, 1};
    Fog fog;
    bool fogDirty = true;
    Texture texture = 0, texture1 = 0;
    float texture1Alpha = 0;
    bool texturesDirty = true;
};
LayerState layer;

void projectionChanged() { layer.projectionDirty = true; }
void modelViewChanged() { layer.modelViewDirty = true; }

GLenum blendFactor(BlendFactor factor) {
    switch (factor) {
    case BlendFactor::Zero:
        return GL_ZERO;
    case BlendFactor::One:
        return GL_ONE;
    case BlendFactor::SrcAlpha:
        return GL_SRC_ALPHA;
    case BlendFactor::OneMinusSrcAlpha:
        return GL_ONE_MINUS_SRC_ALPHA;
    case BlendFactor::DstColor:
        return GL_DST_COLOR;
    }
    return GL_ONE;
}

void enable(GLenum capability, bool on) {
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
}

std::string contextString(GLenum name) {
    if (!platform::windowOpen()) return "";
    const auto* text = reinterpret_cast<const char*>(glGetString(name));
    return text ? text : "";
}

} // namespace

// ---- Start and stop --------------------------------------------------------------------

bool started() {
    return layer.context == platform::contextGeneration() && layer.programs[0].name;
}

namespace {

void deletePrograms() {
    glUseProgram(0);
    for (detail::Program& program : layer.programs) {
        if (program.name) glDeleteProgram(program.name);
        program = {};
    }
    layer.variant = -1;
}

} // namespace

bool start(std::string& error) {
    if (started()) return true;
    if (!platform::windowOpen()) {
        error = "no OpenGL context";
        return false;
    }
    // Objects of an earlier context went with it.
    for (detail::Program& program : layer.programs)
        program = {};
    layer.variant = -1;
    detail::forgetTextures();
    layer.context = platform::contextGeneration();
    // Every variant is built now: a first draw in the middle of the show does not stop for it.
    for (int variant = 0; variant < detail::variantCount; ++variant) {
        layer.programs[variant] = detail::buildProgram(variant, error);
        if (!layer.programs[variant].name) {
            deletePrograms();
            return false;
        }
    }
    detail::startMeshes();
    layer.texturesDirty = true;
    return true;
}

void stop() {
    if (!started()) return;
    detail::stopMeshes();
    deletePrograms();
    detail::forgetTextures();
    layer.context = -1;
}

std::string contextVersion() { return contextString(GL_VERSION); }
std::string rendererName() { return contextString(GL_RENDERER); }

// ---- Matrices --------------------------------------------------------------------------

void setProjection(const Mat4& projection) {
    layer.projection = projection;
    projectionChanged();
}
const Mat4& projection() { return layer.projection; }
void pushProjection() { layer.projectionStack.push_back(layer.projection); }
void popProjection() {
    if (layer.projectionStack.empty()) return;
    layer.projection = layer.projectionStack.back();
    layer.projectionStack.pop_back();
    projectionChanged();
}

const Mat4& modelView() { return layer.modelView; }
void loadIdentity() { loadMatrix(Mat4::identity()); }
void loadMatrix(const Mat4& matrix) {
    layer.modelView = matrix;
    modelViewChanged();
}
void multiplyMatrix(const Mat4& matrix) { loadMatrix(layer.modelView * matrix); }
void translate(float x, float y, float z) { multiplyMatrix(translationMatrix(x, y, z)); }
void rotate(float degrees, float x, float y, float z) {
    multiplyMatrix(rotationMatrix(degrees, x, y, z));
}
void scale(float x, float y, float z) { multiplyMatrix(scaleMatrix(x, y, z)); }
void pushMatrix() { layer.modelViewStack.push_back(layer.modelView); }
void popMatrix() {
    if (layer.modelViewStack.empty()) return;
    layer.modelView = layer.modelViewStack.back();
    layer.modelViewStack.pop_back();
    modelViewChanged();
}

void resetMatrices() {
    layer.projectionStack.clear();
    layer.modelViewStack.clear();
    loadIdentity();
}

// ---- State -----------------------------------------------------------------------------

void setColor(float red, float green, float blue, float alpha) {
    layer.color[0] = red;
    layer.color[1] = green;
    layer.color[2] = blue;
    layer.color[3] = alpha;
}

void setBlend(bool on) { enable(GL_BLEND, on); }
void setBlendFunction(BlendFactor source, BlendFactor destination) {
    glBlendFunc(blendFactor(source), blendFactor(destination));
}
void blendAlpha() { setBlendFunction(BlendFactor::SrcAlpha, BlendFactor::OneMinusSrcAlpha); }
void setDepthTest(bool on) { enable(GL_DEPTH_TEST, on); }
void setDepthLessOrEqual(bool on) { glDepthFunc(on ? GL_LEQUAL : GL_LESS); }
void setCulling(bool on) { enable(GL_CULL_FACE, on); }
void setFrontClockwise(bool clockwise) { glFrontFace(clockwise ? GL_CW : GL_CCW); }

void setFog(const Fog& fog) {
    layer.fog = fog;
    layer.fogDirty = true;
}
const Fog& fog() { return layer.fog; }

// ---- Targets ---------------------------------------------------------------------------

void setClearColor(float red, float green, float blue, float alpha) {
    glClearColor(red, green, blue, alpha);
}
void clear(bool color, bool depth) {
    const GLbitfield mask = (color ? GL_COLOR_BUFFER_BIT : 0u) | (depth ? GL_DEPTH_BUFFER_BIT : 0u);
    if (mask) glClear(mask);
}
void setViewport(int x, int y, int width, int height) { glViewport(x, y, width, height); }
void setScissor(bool on, int x, int y, int width, int height) {
    if (on) glScissor(x, y, width, height);
    enable(GL_SCISSOR_TEST, on);
}
bool scissorOn() { return glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE; }
void scissorBox(int box[4]) {
    GLint values[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_SCISSOR_BOX, values);
    for (int i = 0; i < 4; ++i)
        box[i] = values[i];
}

StateReport currentState() {
    StateReport report;
    report.blend = glIsEnabled(GL_BLEND) == GL_TRUE;
    report.depthTest = glIsEnabled(GL_DEPTH_TEST) == GL_TRUE;
    report.culling = glIsEnabled(GL_CULL_FACE) == GL_TRUE;
    report.scissor = glIsEnabled(GL_SCISSOR_TEST) == GL_TRUE;
    GLint value = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &value);
    report.depthLessOrEqual = value == GL_LEQUAL;
    glGetIntegerv(GL_FRONT_FACE, &value);
    report.frontClockwise = value == GL_CW;
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    for (int i = 0; i < 4; ++i)
        report.viewport[i] = viewport[i];
    return report;
}

float currentColor(int component) { return layer.color[component & 3]; }

// ---- Textures bound for drawing --------------------------------------------------------

void bindTexture(Texture texture) {
    layer.texture = texture;
    layer.texturesDirty = true;
}

void setSecondTexture(Texture texture, float alpha) {
    layer.texture1 = texture;
    layer.texture1Alpha = alpha;
    layer.texturesDirty = true;
}

namespace detail {

void textureBindingChanged() { layer.texturesDirty = true; }
void textureDeleted(Texture texture) {
    if (layer.texture == texture) layer.texture = 0;
    if (layer.texture1 == texture) layer.texture1 = 0;
    layer.texturesDirty = true;
}

void prepareDraw() {
    const int fogMode = layer.fog.mode == FogMode::Off ? 0 : layer.fog.mode == FogMode::Linear ? 1 : 2;
    const int variant = (layer.texture ? variantTexture0 : 0) +
                        (layer.texture1 ? variantTexture1 : 0) + fogMode * variantFogStep;
    const Program& p = layer.programs[variant];
    if (variant != layer.variant) {
        // Uniforms belong to each program: the new one is brought up to date in full.
        glUseProgram(p.name);
        layer.variant = variant;
        layer.projectionDirty = layer.modelViewDirty = layer.fogDirty = true;
        glUniform1f(p.texture1Alpha, layer.texture1Alpha);
    }
    if (layer.projectionDirty) glUniformMatrix4fv(p.projection, 1, GL_FALSE, layer.projection.m);
    if (layer.modelViewDirty) glUniformMatrix4fv(p.modelView, 1, GL_FALSE, layer.modelView.m);
    layer.projectionDirty = layer.modelViewDirty = false;
    if (layer.texturesDirty) {
        glUniform1f(p.texture1Alpha, layer.texture1Alpha);
        if (layer.texture1) {
            glActiveTexture(GL_TEXTURE1);
            glBindTexture(GL_TEXTURE_2D, layer.texture1);
            glActiveTexture(GL_TEXTURE0);
        }
        glBindTexture(GL_TEXTURE_2D, layer.texture);
        layer.texturesDirty = false;
    }
    if (layer.fogDirty) {
        const Fog& f = layer.fog;
        glUniform4fv(p.fogColor, 1, f.color);
        glUniform1f(p.fogDensity, f.density);
        glUniform1f(p.fogStart, f.start);
        glUniform1f(p.fogEnd, f.end);
        layer.fogDirty = false;
    }
    glVertexAttrib4fv(colorAttribute, layer.color);
}

} // namespace detail
} // namespace gfx
