# Sourced by the scripts that picture the program: a window of the private Xvfb
# display, found by its title, cut out of the desktop around it.
#   window_shot TITLE OUT.png   waits (up to two minutes) until the window shows

window_shot() {
  local title=$1 out=$2 window="" _
  # A window inside Wine's desktop exists from its creation; it is mapped only
  # once the program shows it (the dialog: after its calibration).
  for _ in $(seq 1200); do
    window=$(xwininfo -root -tree 2>/dev/null | awk -v t="\"$title\"" 'index($0, t) { print $1; exit }')
    if [ -n "$window" ] && xwininfo -id "$window" 2>/dev/null | grep -q 'IsViewable'; then
      break
    fi
    window=""
    sleep 0.1
  done
  if [ -z "$window" ]; then
    echo "The window \"$title\" did not appear." >&2
    return 1
  fi
  sleep 1  # let it paint

  local info x y width height shot
  info=$(xwininfo -id "$window")
  x=$(awk '/Absolute upper-left X/ { print $NF }' <<<"$info")
  y=$(awk '/Absolute upper-left Y/ { print $NF }' <<<"$info")
  width=$(awk '/Width:/ { print $NF }' <<<"$info")
  height=$(awk '/Height:/ { print $NF }' <<<"$info")
  shot=$(mktemp --suffix=.png)
  import -window root "$shot"
  mkdir -p "$(dirname "$out")"
  convert "$shot" -crop "${width}x${height}+$x+$y" +repage "$out"
  rm -f "$shot"
}
