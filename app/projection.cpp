#include "app/projection.h"

#include "app/app_state.h"
#include "platform/platform.h"
#include "render/gfx.h"
#include "render/matrix.h"

void setupProjection() {
    gfx::setViewport(0, 0, platform::frameWidth(), platform::frameHeight());
    gfx::resetMatrices();
    gfx::setProjection(perspectiveMatrix(
        45.0, static_cast<double>(appState.screenWidth) / appState.screenHeight, 0.1, 100.0));
}
