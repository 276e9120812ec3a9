# Sourced by the Wine checks that show windows: an X display of their own.
# startXvfb WORK_DIR starts Xvfb on the display QUIRN_XVFB_DISPLAY names, else on a free one
# that Xvfb picks (so two checks, or a check and a desktop, never share one), exports DISPLAY
# and sets xvfbpid for the caller's clean-up. It returns 1, with Xvfb's log on stderr, when no
# display came within 5 s.
startXvfb() {
  local work=$1
  if [ -n "${QUIRN_XVFB_DISPLAY:-}" ]; then
    Xvfb "$QUIRN_XVFB_DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfbpid=$!
    export DISPLAY=$QUIRN_XVFB_DISPLAY
  else
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfbpid=$!
    for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
    if [ ! -s "$work/display" ]; then
      cat "$work/xvfb.log" >&2
      return 1
    fi
    export DISPLAY=:$(cat "$work/display")
  fi
  for _ in $(seq 50); do timeout 5 xdotool getdisplaygeometry >/dev/null 2>&1 && return 0; sleep 0.1; done
  cat "$work/xvfb.log" >&2
  return 1
}

# wineFonts PREFIX: this Wine does not take fonts-wine's fonts from its own data folder; in the
# prefix's Fonts folder they are the system fonts (Tahoma for dialogs) a Windows computer has,
# and without them Qt falls back to a serif face.
wineFonts() {
  cp -u /usr/share/wine/fonts/*.ttf "$1/drive_c/windows/Fonts/"
}
