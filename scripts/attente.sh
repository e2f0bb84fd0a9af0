# Waits shared by the scripts that drive the game and the editor with xdotool
# (sourced): each looks again and again for what it waits for, within a bound,
# and never sleeps for a set time, so that a loaded machine passes.

# attendre_dessin WINDOW [SECONDS]: until a picture of the window is not black
# (its frames are drawn, past the fade in from black); 60 s at most.
attendre_dessin() {
  local fenetre=$1 limite=$(( $(date +%s) + ${2:-60} )) image gris
  image=$(mktemp --suffix=.png)
  while [ "$(date +%s)" -lt "$limite" ]; do
    if import -window "$fenetre" "$image" 2>/dev/null; then
      gris=$(convert "$image" -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null)
      if awk -v g="${gris:-0}" 'BEGIN { exit !(g > 0.05) }'; then
        rm -f "$image"
        return 0
      fi
    fi
    sleep 0.2
  done
  rm -f "$image"
  return 1
}

# attendre_titre WINDOW END [SECONDS]: until the window's title ends with END;
# 30 s at most.
attendre_titre() {
  local fenetre=$1 fin=$2 limite=$(( $(date +%s) + ${3:-30} ))
  while [ "$(date +%s)" -lt "$limite" ]; do
    case "$(xdotool getwindowname "$fenetre" 2>/dev/null)" in
      *"$fin") return 0 ;;
    esac
    sleep 0.1
  done
  return 1
}
