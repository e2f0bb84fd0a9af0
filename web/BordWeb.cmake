# The web platform edge, for any program of the project built with
# emscripten: the fixed-function GL layer over WebGL, SDL's surfaces, streams
# and image loading in C++, and the shadow headers that send a program's GL
# calls to the layer. A program links `corvella_bord_web`, and
# `corvella_site(TARGET DONNEES dir)` makes it a page's .js and .wasm with
# the folder `dir` packaged as its working directory.
set(CORVELLA_BORD_WEB ${CMAKE_CURRENT_LIST_DIR})

add_library(corvella_bord_web STATIC
  ${CORVELLA_BORD_WEB}/gl/GlWeb.cpp
  ${CORVELLA_BORD_WEB}/gl/Textures.cpp
  ${CORVELLA_BORD_WEB}/gl/Mipmaps.cpp
  ${CORVELLA_BORD_WEB}/gl/Rangees.cpp
  ${CORVELLA_BORD_WEB}/gl/Cadence.cpp
  ${CORVELLA_BORD_WEB}/sdl/Surfaces.cpp
  ${CORVELLA_BORD_WEB}/sdl/Flux.cpp
  ${CORVELLA_BORD_WEB}/sdl/Images.cpp
  ${CORVELLA_BORD_WEB}/sdl/Bibliotheques.cpp
  ${CORVELLA_BORD_WEB}/sdl/Outils.cpp
  ${CORVELLA_BORD_WEB}/son/Melangeur.cpp)
# Before the system's: <GL/gl.h>, <GL/glu.h> and <SDL_opengl.h> are the layer's.
target_include_directories(corvella_bord_web BEFORE PUBLIC ${CORVELLA_BORD_WEB}/include)
target_link_options(corvella_bord_web PUBLIC -sSTB_IMAGE=1 -sMIN_WEBGL_VERSION=1 -sMAX_WEBGL_VERSION=2
  --js-library ${CORVELLA_BORD_WEB}/sdl/Evenements.js)

# TARGET becomes TARGET.js, TARGET.wasm and TARGET.data (the folder DONNEES
# as the program's working directory) in SITE, loaded by a page of one's own
# through the factory EXPORT (MODULARIZE). The program's SDL_Delay yields to
# the browser (ASYNCIFY).
function(corvella_site cible)
  cmake_parse_arguments(S "" "DONNEES;SITE;EXPORT" "" ${ARGN})
  set_target_properties(${cible} PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${S_SITE})
  target_link_options(${cible} PRIVATE
    -sASYNCIFY=1 -sASYNCIFY_STACK_SIZE=65536
    -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864
    -sMODULARIZE=1 -sEXPORT_NAME=${S_EXPORT} -sENVIRONMENT=web
    -sEXIT_RUNTIME=0 -sFORCE_FILESYSTEM=1
    "-sEXPORTED_RUNTIME_METHODS=['FS','ccall','cwrap']"
    --preload-file ${S_DONNEES}@/)
  set_property(TARGET ${cible} APPEND PROPERTY LINK_DEPENDS ${S_DONNEES}/.prepare ${CORVELLA_BORD_WEB}/sdl/Evenements.js)
endfunction()
