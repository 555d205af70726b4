# toolchain-web.cmake: the browser build, Emscripten's own toolchain file with what Debian's
# packaging of it needs around it. Use: cmake -DCMAKE_TOOLCHAIN_FILE=toolchain-web.cmake (or
# scripts/build-web.sh, which does).
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# emcc runs parts of itself under the machine's Node.js, which does not look in Debian's module
# folder for them (acorn and friends): every compile and link is given the folder.
set(CMAKE_CXX_COMPILER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)

# Node.js 20's own fetch() makes Emscripten's output try to fetch the .wasm instead of reading it.
find_program(SAMPLE_DRAWING_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${SAMPLE_DRAWING_NODE} --no-experimental-fetch
    CACHE STRING "Runs the unit tests' .js under Node.js" FORCE)
