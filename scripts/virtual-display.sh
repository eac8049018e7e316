# Sourced by the scripts that drive a window on a virtual display.
# start_virtual_display SCRATCH SIZE: starts Xvfb with one screen of SIZE (e.g. 1280x1024) on a
# display number it picks itself, adds its process to the array `pids`, waits until it is ready
# and exports DISPLAY; calls `fail` (which the caller defines) when it does not start.
start_virtual_display() {
    local scratch=$1 size=$2
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$scratch/display" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
    [ -s "$scratch/display" ] || fail "Xvfb did not start"
    DISPLAY=":$(head -n 1 "$scratch/display")"
    export DISPLAY
}

# settled_corner WINDOW: sets x0 and y0 to the window's top-left corner on the display once it
# has settled where it was placed (a loaded machine maps it late, and moves it after).
settled_corner() {
    local window=$1 before after
    where() { xdotool getwindowgeometry --shell "$window" | grep -E '^[XY]=' | tr '\n' ' '; }
    for _ in $(seq 50); do
        before=$(where); sleep 0.2; after=$(where)
        [ "$before" = "$after" ] && [[ "$after" != *"X=0 "* ]] && break
    done
    local X Y
    eval "$(where)"
    x0=$X y0=$Y
}
