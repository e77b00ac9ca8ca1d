#!/bin/sh
# Nautilus script "Search and Replace in this folder": a selected folder, else the folder shown.
# Nautilus runs a script from the folder it shows and lists the selection one path a line.
set -u
first=$(printf '%s\n' "${NAUTILUS_SCRIPT_SELECTED_FILE_PATHS:-}" | sed -n 1p)
if [ -n "$first" ] && [ -d "$first" ]; then
  exec vantixsr "$first"
fi
exec vantixsr "$(pwd)"
