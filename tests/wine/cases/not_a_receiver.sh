# Names without "usb", without an identifier, or (in the capture category) with an identifier
# other than the seventh are traced and not taken.
receiver tuner "pci#ven_0000&dev_0001#$RX_ID1" nousb
receiver tuner "usb#vid_0000&pid_0001#{00000000-0000-0000-0000-000000000000}" noid
receiver capture "usb#vid_0000&pid_0001#$RX_ID1" firstid
run_korvan init:0 apartment exit:0
expect_output <<'END'
init:0 -> 0
apartment -> none
exit:0 -> done
END
expect_traces <<END
aaa TESK_init DevNo: 0
DisplayName: ${TUNER}pci#ven_0000&dev_0001#$RX_ID1
DisplayName: ${TUNER}usb#vid_0000&pid_0001#{00000000-0000-0000-0000-000000000000}
<Korvan> Could not find Tamo Device!
DisplayName: ${CAPTURE}usb#vid_0000&pid_0001#$RX_ID1
<Brenlo> Could not find Brenlo Analog Device!
END
expect_unbound nousb noid firstid
