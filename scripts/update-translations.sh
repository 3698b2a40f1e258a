#!/usr/bin/env bash
# Collects the interface's texts (French source texts) from the code into the English
# translation file, keeping the translations already made. Edit the file with Qt Linguist or
# by hand afterwards; the build turns it into the .qm built into the program.
set -eu
cd "$(dirname "$0")/.."
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
"$lupdate" -locations none -no-obsolete -source-language fr -target-language en -I src \
    src/app src/settingsui src/search src/line src/health src/alerts -ts translations/dotbanner_en.ts
