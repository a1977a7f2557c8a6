# Wendle started with no receiver and no key table keeps running behind a hidden top-level
# window titled "Wendle"; the tray menu's "Exit" (WM_COMMAND 32774, notification code 0) ends
# it with exit code 0, leaving a log that holds only this run's line about the key table.
. "$here/wendle-case.sh"
without_keytable
wendle_log_before "a line of an earlier run"
start_wendle
drive window:30000 alive:2000 post:0x111:0x8006:0 gone:10000
expect_output <<'END'
window:30000 -> hidden top-level
alive:2000 -> yes
post:0x111:0x8006:0 -> ok
gone:10000 -> yes
END
expect_wendle_exit 0
expect_wendle_log 'LoadIRTable failed: 0x80070002\n\r\n'
expect_wendle_traces <<'END'
C:\windows\System32\tamoirtbl.bin
Enter IR Device Init Function
END
if grep -q '^Find an IR Device' "$WENDLE_TRACES"; then case_failed "a receiver was opened"; fi
