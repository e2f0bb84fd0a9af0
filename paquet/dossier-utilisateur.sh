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

# Makes the copy from the installed level, and the link to the images (put
# back if the installed images moved). False when it cannot be made.
preparer_copie() {
  [ -n "$utilisateur" ] || return 1
  mkdir -p "$utilisateur/Data/Maps" || return 1
  if [ ! -e "$utilisateur/Data/Maps/Map1.map" ]; then
    cp "$donnees/Data/Maps/Map1.map" "$utilisateur/Data/Maps/Map1.map" || return 1
    chmod u+w "$utilisateur/Data/Maps/Map1.map"
  fi
  lier_images
}

# The link to the installed images; a real folder the user made is left alone.
lier_images() {
  if [ -L "$utilisateur/Images" ] || [ ! -e "$utilisateur/Images" ]; then
    ln -sfn "$donnees/Images" "$utilisateur/Images" || return 1
  fi
  [ -d "$utilisateur/Images" ]
}
