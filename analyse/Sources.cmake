# The analysis's sources, one list for the desktop build (analyse/CMakeLists.txt)
# and the web build (web/editeur/CMakeLists.txt). Paths are absolute.
set(CORVELLA_ANALYSE_SOURCES
  Texte.cpp
  Contexte.cpp
  Verification.cpp
  VerificationTexte.cpp
  VerificationGrille.cpp
  Atteignable.cpp
  Coeurs.cpp
  EnsembleEtats.cpp
  Partie.cpp
  Route.cpp
  RouteTexte.cpp
  AnalyseVivante.cpp)
list(TRANSFORM CORVELLA_ANALYSE_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
