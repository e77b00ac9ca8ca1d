#!/bin/sh
# Asks for a folder with the desktop's own folder picker and starts a search there; without a
# picker (or when the choice is cancelled with none) the window opens as usual, with its Browse button.
set -u
folder=""
if command -v kdialog >/dev/null 2>&1; then
  folder=$(kdialog --title "Search in Folder" --getexistingdirectory "$HOME" 2>/dev/null) || exit 0
elif command -v zenity >/dev/null 2>&1; then
  folder=$(zenity --file-selection --directory --title="Search in Folder" 2>/dev/null) || exit 0
elif command -v yad >/dev/null 2>&1; then
  folder=$(yad --file --directory --title="Search in Folder" 2>/dev/null) || exit 0
fi
if [ -n "$folder" ]; then
  exec vantixsr "$folder"
fi
exec vantixsr
