# What the system's own loaders find in the two deliverables: Wendle's three icons (a 16-colour
# 32x32 and a 256-colour 16x16 image each), its one-item menu, its manifest and both version
# records. And Wendle.exe is a GUI program importing exactly four names from Korvan.dll.
. "$here/wendle-case.sh"
drive 'resources:C:\bed\Wendle.exe' 'resources:C:\bed\Korvan.dll'
expect_output <<'END'
resources:
  icon 215 16x16 -> loaded 16x16, 8 bits
  icon 215 32x32 -> loaded 32x32, 4 bits
  icon 216 16x16 -> loaded 16x16, 8 bits
  icon 216 32x32 -> loaded 32x32, 4 bits
  icon 217 16x16 -> loaded 16x16, 8 bits
  icon 217 32x32 -> loaded 32x32, 4 bits
  menu 128 -> 1 pop-up(s) "Exit"=32774
  manifest -> common controls 6.0.0.0 x86
  version -> file 9.12.7.1 product 2.0.0.1
  version text -> file "9.12.7.1" product "2.0.0.1"
resources:
  icon 215 16x16 -> missing 0x0, 0 bits
  icon 215 32x32 -> missing 0x0, 0 bits
  icon 216 16x16 -> missing 0x0, 0 bits
  icon 216 32x32 -> missing 0x0, 0 bits
  icon 217 16x16 -> missing 0x0, 0 bits
  icon 217 32x32 -> missing 0x0, 0 bits
  menu 128 -> none
  manifest -> none
  version -> file 11.3.1.1 product 11.3.1.1
  version text -> file "20110301.1" product "11.3.1.1"
END
objdump=$(command -v i686-w64-mingw32-objdump || command -v objdump)
"$objdump" -p "$WB_CDRIVE/bed/Wendle.exe" >"$CASE_DIR/wendle-headers.txt" || case_failed "objdump failed"
grep -q 'Subsystem.*(Windows GUI)' "$CASE_DIR/wendle-headers.txt" || case_failed "Wendle.exe is not a GUI program"
head -c 2 "$WB_CDRIVE/bed/Wendle.exe" | grep -q MZ || case_failed "Wendle.exe is no PE file"
grep -q 'Magic.*010b.*(PE32)' "$CASE_DIR/wendle-headers.txt" || case_failed "Wendle.exe is not PE32"
awk '/DLL Name:/ { dll = $3; next } /^$/ { dll = "" } dll == "Korvan.dll" && NF == 3 { print $3 }' \
  "$CASE_DIR/wendle-headers.txt" | LC_ALL=C sort >"$CASE_DIR/korvan-imports.txt"
compare_exactly imports "$CASE_DIR/korvan-imports.txt" <<'END'
solv_ReadRawIR
solv_ReadTamoIR
solv_exit
solv_initIRDev
END
