#!/usr/bin/env bash
# The real ombrix window under a virtual X server, driven through its menus and dialogs with
# xdotool, its status lines read back through the status area's Copy and the clipboard.
#   savings: File > Open Energy and Open Weather with the example office, Calc Elec Use
#            Savings; checks the status lines and the report file written beside the energy file.
#   editor:  Edit > Editor, open a copy of the energy file, correct one value through Find,
#            save and close; checks the file on disk and that ombrix-batch reads the correction.
# Works on copies in a temporary folder. A screenshot of the screen is kept under ARTIFACTS when
# a step fails. Exits 77 (skipped) when the X tools are missing, unless OMBRIX_REQUIRE_XVFB is
# set.
# usage: window_e2e.sh savings|editor OMBRIX OMBRIX_BATCH EXAMPLES_DIR ARTIFACTS_DIR
set -uo pipefail

if [[ "${1:-}" != "--inside" ]]; then
    missing=()
    for tool in xvfb-run xauth xdotool xclip xwd; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    if ((${#missing[@]} > 0)); then
        echo "missing: ${missing[*]} (scripts/deps.sh --test installs them)"
        if [[ -n "${OMBRIX_REQUIRE_XVFB:-}" ]]; then
            exit 1
        fi
        exit 77
    fi
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" --inside "$@"
fi
shift
mode=$1
ombrix=$(realpath "$2")
batch=$(realpath "$3")
examples=$(realpath "$4")
artifacts=$5
mkdir -p "$artifacts"

export QT_QPA_PLATFORM=xcb  # the real X window, not the offscreen one the other tests use
work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
pid=""
cleanup() {
    if [[ -n "$pid" ]] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        wait "$pid" 2>/dev/null
    fi
    rm -rf "$work"
}
trap cleanup EXIT

screenshot() {
    local name="$artifacts/$mode-$1"
    xwd -root -silent >"$name.xwd" 2>/dev/null
    if command -v convert >/dev/null && convert "$name.xwd" "$name.png" 2>/dev/null; then
        rm -f "$name.xwd"
        echo "screenshot: $name.png" >&2
    else
        echo "screenshot: $name.xwd" >&2
    fi
}
die() {
    echo "FAILED: $*" >&2
    screenshot failure
    exit 1
}
# window NAME_REGEX: waits (60 s at most) for a visible window whose title matches, prints its id.
window() {
    local id
    id=$(timeout 60 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [[ -n "$id" ]] || die "no window \"$1\" appeared"
    echo "$id"
}
focus() {
    xdotool windowfocus --sync "$1" 2>/dev/null || die "cannot focus window $1"
    sleep 0.3
}
keys() {
    xdotool key --delay 80 "$@"
    sleep 0.3
}
typed() {
    xdotool type --delay 20 "$1"
    sleep 0.2
}
# choose FOLDER FILE: in the program's open dialog, the typed folder then the listed file name,
# each confirmed with Enter (OK).
choose() {
    local dialog
    dialog=$(window "^(File Open|Open .*)$")
    focus "$dialog"
    keys ctrl+a
    typed "$1/"
    keys Return
    keys ctrl+a
    typed "$2"
    keys Return
    for _ in $(seq 1 100); do
        xdotool search --onlyvisible --name "^(File Open|Open .*)$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    die "the open dialog stayed open after choosing $1/$2"
}
# wait_for FILE: up to 60 s.
wait_for() {
    for _ in $(seq 1 600); do
        [[ -s "$1" ]] && return 0
        sleep 0.1
    done
    die "$1 was not written"
}
# The status lines, through the status area's context menu "Copy" and the clipboard (tried
# again when the menu was too slow to take the keys).
status_lines() {
    local main=$1
    eval "$(xdotool getwindowgeometry --shell "$main")"
    for _ in 1 2 3; do
        # The status area is the top 15 % of the client area, below the menu bar.
        xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + 40 + HEIGHT * 5 / 100))
        printf '' | xclip -selection clipboard
        xdotool click 3
        sleep 1
        keys Down Return
        for _ in $(seq 1 30); do
            local text
            text=$(xclip -o -selection clipboard 2>/dev/null)
            if [[ -n "$text" ]]; then
                printf '%s\n' "$text"
                return 0
            fi
            sleep 0.1
        done
        keys Escape
    done
    die "the status area's Copy put nothing on the clipboard"
}
start() {
    (cd "$work" && exec "$ombrix") >"$work/ombrix.out" 2>&1 &
    pid=$!
    main=$(window "^Ombrix$")
    focus "$main"
}
finish() {
    focus "$main"
    keys alt+f x  # File > Exit
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && die "ombrix did not exit through File > Exit"
    wait "$pid"
    local rc=$?
    pid=""
    ((rc == 0)) || die "ombrix exited with status $rc: $(cat "$work/ombrix.out")"
}

mkdir "$work/data"
cp "$examples/office.utl" "$examples/gainesville.wea" "$work/data/"

case "$mode" in
    savings)
        start
        keys alt+f e  # File > Open Energy...
        choose "$work/data" office.utl
        focus "$main"
        keys alt+f w  # File > Open Weather...
        choose "$work/data" gainesville.wea
        status=$(status_lines "$main")
        expected=" GAINESVILLE.WEA     Number rows = 1096     Number columns = 4"
        [[ "$status" == "$expected" ]] || die "status after Open Weather: [$status]"
        focus "$main"
        keys alt+c u  # Calc Savings > Calc Elec Use Savings
        wait_for "$work/data/office.dat"
        status=$(status_lines "$main")
        expected="Pre-retrofit model: 4P   N =  23    R2 = 0.93   CV-RMSE = 6.3%   Xcp = 57.46   Ycp = 60,237.46   LS = -1,186.47   RS = 2,262.95
Pre-retrofit model: Elec Use = 60,237.46  +  1,186.47(57.46 - T)+  +  2,262.95(T - 57.46)+
Total Savings = 161,162 +- 41,491.1 (25.7%)  after  384  days."
        [[ "$status" == "$expected" ]] || die "status after Calc Elec Use Savings: [$status]"
        report=$(tr -d '\r' <"$work/data/office.kwh")
        [[ "$report" == "$expected" ]] || die "office.kwh holds [$report]"
        [[ $(grep -c $'\r$' "$work/data/office.kwh") == 3 ]] || die "office.kwh lines do not end with CR LF"
        [[ $(wc -l <"$work/data/office.dat") == 36 ]] || die "office.dat has $(wc -l <"$work/data/office.dat") lines"
        finish
        ;;
    editor)
        start
        keys alt+e e  # Edit > Editor
        editor=$(window "^Editor$")
        focus "$editor"
        keys alt+f o  # the editor's File > Open
        choose "$work/data" office.utl
        window "^Editor .*office.utl$" >/dev/null
        focus "$editor"
        keys alt+e f  # Edit > Find...
        find=$(window "^Find$")
        focus "$find"
        typed "68599"
        keys Return
        focus "$editor"
        typed "68600"  # replaces the found (selected) value
        keys alt+f s  # File > Save
        sleep 1
        keys alt+f c  # File > Close
        for _ in $(seq 1 100); do
            xdotool search --onlyvisible --name "^Editor" >/dev/null 2>&1 || break
            sleep 0.1
        done
        xdotool search --onlyvisible --name "^Editor" >/dev/null 2>&1 && die "the editor stayed open"
        # The file on disk: the one value corrected, every other byte as it was.
        sed 's/^1,7,2008,68599,/1,7,2008,68600,/' "$examples/office.utl" >"$work/expected.utl"
        cmp -s "$work/expected.utl" "$work/data/office.utl" ||
            die "office.utl after the edit: $(diff <(cat -A "$work/expected.utl") <(cat -A "$work/data/office.utl") | head -5)"
        # ombrix-batch reads the corrected value: a click on the first reading of the time
        # series identifies it (the scan of clicks up the left edge finds the point).
        clicks=()
        for y in $(seq 0 100); do
            clicks+=(click 0 "$y")
        done
        identified=$("$batch" open-energy "$work/data/office.utl" view-elec-use "${clicks[@]}" | sed -n 2p)
        [[ "$identified" == *68600* ]] || die "ombrix-batch identified [$identified]"
        finish
        ;;
    *)
        echo "unknown mode $mode" >&2
        exit 2
        ;;
esac
echo "passed"
