# The game's code, one list for the desktop build (CMakeLists.txt) and the
# web build (web/CMakeLists.txt): every source of its folders but the
# desktop's entry point. Paths are absolute.
file(GLOB CORVELLA_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/main/*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/moteur/*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/outils/*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/map/*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/perso/*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/interface/*.cpp
  ${CMAKE_CURRENT_LIST_DIR}/son/*.cpp)
list(REMOVE_ITEM CORVELLA_SOURCES ${CMAKE_CURRENT_LIST_DIR}/main/point_entree.cpp)
