# Autotiling's sources, one list for the desktop build (autotuile/CMakeLists.txt)
# and the web build (web/editeur/CMakeLists.txt). Paths are absolute.
set(CORVELLA_AUTOTUILE_SOURCES ${CMAKE_CURRENT_LIST_DIR}/Autotuile.cpp)
