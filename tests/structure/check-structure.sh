#!/usr/bin/env bash
# Checks the shape of the source tree: every header a library includes belongs to a library it
# links (or to a Qt module it links), only the Qt-painted band, the settings window and the app
# link Qt Widgets, the application chooses no band surface by name or cast, the surface interface hands out no
# widget, the controller's tests have a fake surface, and no source file is over 600 lines.
# Usage: check-structure.sh SOURCE_DIR LINK_MAP QT_INCLUDE_DIR
set -u
top=$1
map=$2
qt=$3
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

[ -s "$map" ] || { echo "FAIL: no link map at $map"; exit 1; }
[ -d "$qt/QtWidgets" ] || { echo "FAIL: no Qt headers under $qt"; exit 1; }

# The Qt module a <QHeader> belongs to, among those the project uses.
qt_module() {
    local module
    for module in Core Gui Widgets Network DBus Test; do
        if [ -e "$qt/Qt$module/$1" ]; then
            echo "$module"
            return
        fi
    done
}

# Qt modules a link list reaches, the ones each module itself needs included.
qt_reach() {
    local links=" $1 " reach="Core"
    case "$links" in *" Qt6::Gui "*) reach="$reach Gui" ;; esac
    case "$links" in *" Qt6::Widgets "*) reach="$reach Gui Widgets" ;; esac
    case "$links" in *" Qt6::Network "*) reach="$reach Network" ;; esac
    case "$links" in *" Qt6::DBus "*) reach="$reach DBus" ;; esac
    echo " $reach "
}

while IFS='|' read -r folder links sources; do
    [ -n "$folder" ] || continue
    reach=$(qt_reach "$links")
    for source in $sources; do
        file="$top/src/$folder/$source"
        [ -f "$file" ] || continue
        while IFS= read -r included; do
            library=${included%%/*}
            case " $links " in
            *" $library "*) ;;
            *) fail "src/$folder/$source includes \"$included\" but $folder does not link $library" ;;
            esac
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z0-9_]*\/[^"]*\)".*/\1/p' "$file")
        while IFS= read -r header; do
            module=$(qt_module "$header")
            [ -n "$module" ] || continue
            case "$reach" in
            *" $module "*) ;;
            *) fail "src/$folder/$source includes <$header> (Qt $module) but $folder does not link Qt6::$module" ;;
            esac
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*<\(Q[A-Za-z]*\)>.*/\1/p' "$file")
    done
    # Widgets belong to the Qt-painted band, the settings window and the program itself; every
    # other library (the band core, the X11 and Wayland surfaces among them) does without.
    case "$folder" in
    qtband | settingsui | app) ;;
    *)
        case " $links " in *" Qt6::Widgets "*) fail "$folder links Qt Widgets (only qtband, settingsui and app may)" ;; esac
        ;;
    esac
done <"$map"

if grep -rnE 'dynamic_cast<[^>]*(Surface|Panel|View)|typeid|surface\(\)->name\(\)|m_surface->name\(\)' "$top/src/app" >/dev/null; then
    fail "src/app tells band surfaces apart by type or name:"
    grep -rnE 'dynamic_cast<[^>]*(Surface|Panel|View)|typeid|surface\(\)->name\(\)|m_surface->name\(\)' "$top/src/app"
fi
if grep -nE 'QWidget' "$top/src/band/BandSurface.h" >/dev/null; then
    fail "the band surface interface names QWidget"
fi
if ! grep -rlE 'class FakeBandSurface\b' "$top/tests" >/dev/null; then
    fail "no FakeBandSurface under tests/"
fi
while read -r lines file; do
    [ "$file" = total ] && continue
    [ "$lines" -gt 600 ] && fail "$file has $lines lines (at most 600)"
done < <(cd "$top" && find src -name '*.cpp' -o -name '*.h' | xargs wc -l)

if [ "$failures" -gt 0 ]; then
    echo "$failures structural faults"
    exit 1
fi
echo "The tree's structure holds"
