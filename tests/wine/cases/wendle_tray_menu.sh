# Clicks on the tray icon: a left click opens nothing; a right click opens the one-item menu
# with its right edge at the cursor and its top at the cursor's height, and choosing its one
# item ("Exit", checked by wendle_resources) ends the program.
. "$here/wendle-case.sh"
without_keytable
start_wendle
drive window:30000 cursor:600:400 post:0x8001:0:0x202 menu:1500 post:0x8001:0:0x205 menu:10000 \
  menukey:0x28 menukey:0x0d gone:10000
expect_output <<'END'
window:30000 -> hidden top-level
cursor:600:400 -> ok
post:0x8001:0:0x202 -> ok
menu:1500 -> none
post:0x8001:0:0x205 -> ok
menu:10000 -> right 600 top 400
menukey:0x28 -> posted
menukey:0x0d -> posted
gone:10000 -> yes
END
expect_wendle_exit 0
expect_wendle_log 'LoadIRTable failed: 0x80070002\n\r\n'
