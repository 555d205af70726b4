// glut_api.h: the GLUT API from the provider this platform's build uses. CMake names the
// provider's header in GLUT_API_HEADER: FLTK's GLUT layer on Linux, freeglut on Windows,
// Emscripten's GLUT in the browser.
#pragma once

#include GLUT_API_HEADER
