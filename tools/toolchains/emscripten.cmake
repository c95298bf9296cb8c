# The browser build: WebAssembly with Debian's emscripten. Its libraries come
# prebuilt in a frozen cache that the compiler only reads, so a first build on
# a fresh machine needs no writable cache folder.

# Tests and build-time programs run under Node. From Node 18 on, the generated
# script takes Node's own fetch for a browser's and fails to load its module.
find_program(VANTREL_NODE NAMES node nodejs REQUIRED)
execute_process(COMMAND ${VANTREL_NODE} --version OUTPUT_VARIABLE node_version
    OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REGEX REPLACE "^v([0-9]+).*" "\\1" node_major "${node_version}")
if(node_major GREATER_EQUAL 18)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTREL_NODE};--no-experimental-fetch)
else()
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTREL_NODE})
endif()

include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# C++ exceptions as WebAssembly exceptions, for every target including
# GoogleTest: a smaller module and a faster first throw than emscripten's
# JavaScript ones.
set(CMAKE_CXX_FLAGS_INIT -fwasm-exceptions)
set(CMAKE_EXE_LINKER_FLAGS_INIT -fwasm-exceptions)

# The linker minifies its JavaScript with acorn, which Debian installs where a
# Node from elsewhere does not look.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
