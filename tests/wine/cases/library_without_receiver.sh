# The version text, and opens that find no receiver or get a number outside 0 to 9: they fail
# with their traces and leave the library closed (no COM initialisation of the library's left).
run_korvan version apartment init:0 apartment exit:0 version init:10 init:-1 apartment exit:10 apartment
expect_output <<'END'
version -> 20100730.1
apartment -> none
init:0 -> 0
apartment -> none
exit:0 -> done
version -> 20100730.1
init:10 -> 0
init:-1 -> 0
apartment -> none
exit:10 -> done
apartment -> none
END
expect_traces <<'END'
aaa TESK_init DevNo: 0
<Korvan> Could not find Tamo Device!
<Brenlo> Could not find Brenlo Analog Device!
aaa TESK_init DevNo: 10
DevNo error!!!
aaa TESK_init DevNo: -1
DevNo error!!!
DevNo error!!!
END
