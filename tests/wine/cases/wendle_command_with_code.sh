# 32774 with a nonzero notification code is not the menu's command and leaves Wendle running;
# a WM_CLOSE posted from outside then ends it just as "Exit" does.
. "$here/wendle-case.sh"
without_keytable
start_wendle
drive window:30000 post:0x111:0x18006:0 alive:1500 post:0x111:0x8007:0 alive:1500 post:0x10:0:0 gone:10000
expect_output <<'END'
window:30000 -> hidden top-level
post:0x111:0x18006:0 -> ok
alive:1500 -> yes
post:0x111:0x8007:0 -> ok
alive:1500 -> yes
post:0x10:0:0 -> ok
gone:10000 -> yes
END
expect_wendle_exit 0
expect_wendle_log 'LoadIRTable failed: 0x80070002\n\r\n'
