# The editor's sources, one list for the desktop build (editeur/CMakeLists.txt)
# and the web build (web/editeur/CMakeLists.txt): a file added here is built
# by both. Paths are absolute.
# The model, with no window: the level, the tools, undo, the file, the view.
set(CORVELLA_EDITION_SOURCES
  Niveau.cpp
  Document.cpp
  Fichier.cpp
  Identite.cpp
  FichierEdite.cpp
  Vue.cpp
  RenduNiveau.cpp
  Calques.cpp
  Peinture.cpp
  Disposition.cpp
  Fenetre.cpp)
# The program: the window, its panels, test play; main.cpp first.
set(CORVELLA_EDITEUR_SOURCES
  main.cpp
  Editeur.cpp
  Mesure.cpp
  VueCarte.cpp
  CalqueRoute.cpp
  Nettoyage.cpp
  Surcouches.cpp
  PanneauPalette.cpp
  LigneEtat.cpp
  ListeConstats.cpp
  Infobulle.cpp
  PanneauAide.cpp
  Dialogues.cpp
  SessionFichier.cpp
  JeuEssai.cpp
  JeuRoute.cpp
  TexteEcran.cpp
  x11/Bureau.cpp)
list(TRANSFORM CORVELLA_EDITION_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
list(TRANSFORM CORVELLA_EDITEUR_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
