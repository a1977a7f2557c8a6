#!/usr/bin/env bash
# Takes the shared Wine bed of a test run down: its wineserver, its display and its prefix.
#   bed-cleanup.sh <bed-dir>
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/winebed.sh"

[ $# -eq 1 ] || wb_fail "usage: bed-cleanup.sh <bed-dir>"
wb_init "$1"
wb_stop
rm -rf "$WB_DIR"
