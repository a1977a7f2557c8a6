# Korvan.dll as the loader sees it: its export directory holds exactly the 133 names of the
# export list, each resolves with GetProcAddress, every second name reaches its routine, and the
# names lead to 47 TESK_ entry points and 54 alias routines.
run_program exports_wine_test.exe 'C:\bed\Korvan.dll' 'C:\bed\Korvan.def' exports
expect_output <<'END'
exports -> 133 names, 133 listed, 47 TESK_ entry points, 54 alias routines
END
expect_traces </dev/null
