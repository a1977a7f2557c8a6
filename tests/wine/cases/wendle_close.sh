# WM_CLOSE sent from outside ends Wendle with exit code 0; with a key table in place the fresh
# log stays empty.
. "$here/wendle-case.sh"
with_keytable
wendle_log_before "a line of an earlier run"
start_wendle
drive window:30000 alive:1000 send:0x10:0:0 gone:10000
expect_output <<'END'
window:30000 -> hidden top-level
alive:1000 -> yes
send:0x10:0:0 -> 0
gone:10000 -> yes
END
expect_wendle_exit 0
expect_wendle_log ''
expect_wendle_traces <<'END'
C:\windows\System32\tamoirtbl.bin
Load IR Table
Enter IR Device Init Function
END
