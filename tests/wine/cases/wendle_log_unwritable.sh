# When c:\monitor.log cannot be created (here a folder stands in its place), Wendle runs as
# usual, writes no log, and still ends with exit code 0.
. "$here/wendle-case.sh"
without_keytable
rm -rf "$WENDLE_LOG"
mkdir "$WENDLE_LOG"
start_wendle
drive window:30000 alive:1000 post:0x111:0x8006:0 gone:10000
expect_output <<'END'
window:30000 -> hidden top-level
alive:1000 -> yes
post:0x111:0x8006:0 -> ok
gone:10000 -> yes
END
expect_wendle_exit 0
[ -d "$WENDLE_LOG" ] && [ -z "$(ls -A "$WENDLE_LOG")" ] || case_failed "something was written in place of the log"
rmdir "$WENDLE_LOG"
expect_wendle_traces <<'END'
C:\windows\System32\tamoirtbl.bin
Enter IR Device Init Function
END
