# Sourced by the launchers. The installed data folder is read-only: the
# designer's level is their own copy, under $XDG_DATA_HOME/corvella
# (~/.local/share/corvella by default), beside a link to the installed images,
# so that the copy's folder is a working folder for the game and the editor.
#
# Needs $donnees (the installed data folder). Sets $utilisateur.
utilisateur="${XDG_DATA_HOME:-${HOME:-}/.local/share}/corvella"
case "$utilisateur" in
  /*) ;;
  *) utilisateur="" ;; # no home: no copy of one's own
esac

# Makes the copy from the installed level, and the links to the images and
# sounds (put back if the installed data moved). False when it cannot be made.
preparer_copie() {
  [ -n "$utilisateur" ] || return 1
  mkdir -p "$utilisateur/Data/Maps" || return 1
  if [ ! -e "$utilisateur/Data/Maps/Map1.map" ]; then
    cp "$donnees/Data/Maps/Map1.map" "$utilisateur/Data/Maps/Map1.map" || return 1
    chmod u+w "$utilisateur/Data/Maps/Map1.map"
  fi
  lier_donnees
}

# The links to the installed images and sounds; a real folder the user made
# is left alone. Without the images there is no working folder; without the
# sounds the game plays in silence.
lier_donnees() {
  for dossier in Images Sons; do
    if [ -L "$utilisateur/$dossier" ] || [ ! -e "$utilisateur/$dossier" ]; then
      ln -sfn "$donnees/$dossier" "$utilisateur/$dossier" || return 1
    fi
  done
  [ -d "$utilisateur/Images" ]
}
