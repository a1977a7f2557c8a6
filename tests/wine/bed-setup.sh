#!/usr/bin/env bash
# Prepares the shared Wine bed of one test run: a fresh prefix with the simulated receiver
# registered and no receiver listed. The Wine tests of the run then use it one at a time.
#   bed-setup.sh <bed-dir> <file-to-install>...
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/winebed.sh"

[ $# -ge 2 ] || wb_fail "usage: bed-setup.sh <bed-dir> <file-to-install>..."
wb_init "$1"
shift
for file in "$@"; do
  [ -f "$file" ] || wb_fail "$file is missing: build the win32 side first"
done
wb_start
started=$(date +%s)
wb_create_prefix
wb_install "$@"
wb_simregister register || wb_fail "the simulated receiver could not be registered"
wb_reset_receivers
echo "winebed: prefix ready in $(( $(date +%s) - started )) s: $WINEPREFIX"
