// canvas_web.cpp: the browser, where the page sizes the canvas's drawing buffer to its 300-pixel
// box times the screen's pixel density (web/pixel_ratio.js). The scene's viewport is given in the
// window's pixels; on its way to GL it is scaled to the buffer, so a dense screen gets the same
// scene at a higher resolution and a density of 1 gets exactly what it got before.
#include <emscripten.h>

#include "glut_api.h"
#include "scene.h"

// The drawing buffer's width in device pixels, as the page last set it.
EM_JS(int, CanvasBufferPx, (), { return Module["canvas"].width; });

extern "C" {

void __real_glViewport(GLint x, GLint y, GLsizei width, GLsizei height);

void __wrap_glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  const int bufferPx = CanvasBufferPx();
  __real_glViewport(x * bufferPx / kWindowSizePx, y * bufferPx / kWindowSizePx,
                    width * bufferPx / kWindowSizePx, height * bufferPx / kWindowSizePx);
}

}  // extern "C"
