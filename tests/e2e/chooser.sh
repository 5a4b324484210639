# The toolkit's file chooser driven with real keys and clicks; sourced by the
# sessions that load or save files, not run. Needs wait_for.
# The chooser's file box sits 63 pixels above its bottom edge; its first
# button ("Save", "Open") at the bottom right.
choose_file() { # <chooser title> <path>
    local box
    wait_for "the chooser" 5 bash -c "xdotool search --name '$1' >/dev/null 2>&1"
    box=$(xdotool search --name "$1" | tail -n 1)
    eval "$(xdotool getwindowgeometry --shell "$box" | sed 's/^/D/')"
    xdotool mousemove $((DX + DWIDTH / 2)) $((DY + DHEIGHT - 63)) click 1
    sleep 0.2
    xdotool key ctrl+a
    xdotool type --delay 10 "$2"
    sleep 0.2
    xdotool mousemove $((DX + DWIDTH - 55)) $((DY + DHEIGHT - 25)) click 1
}
