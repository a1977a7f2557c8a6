#!/usr/bin/env python3
"""Writes a key table file (tamoirtbl.bin) from a small text description of its raw records.

The tests' own writer: the cases that check how Wendle loads and uses a file describe its bytes
here, independently of the keytable tool, whose key maps are what a user writes.

Each non-empty line that is not a comment (#) is either a record or a setting:

    <raw code> <usage> <modifiers> [<flags>]   one 7-byte record, numbers in C notation
    count <n>            the entry count byte (default: the number of records)
    trailer <n>          the 16-bit trailer value (default 0)
    prefix-timeout <n>   prefix time-out in 20 ms units (default 62)
    repeat-threshold <n> repeat threshold in 20 ms units (default 25)
    size <n>             the file's length in bytes (default 356; shorter files have no trailer)

Flags: 0x80 prefix key, 0x40 has an alternate (the next record's usage and modifiers).
Records beyond 50 are refused; unused records are zero.

    make-keytable.py description.txt tamoirtbl.bin
"""
import sys


def build(lines):
    records, settings = [], {"trailer": 0, "prefix-timeout": 62, "repeat-threshold": 25, "size": 356}
    for number, line in enumerate(lines, 1):
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        words = line.split()
        if words[0] in ("count", "trailer", "prefix-timeout", "repeat-threshold", "size"):
            settings[words[0]] = int(words[1], 0)
            continue
        values = [int(w, 0) for w in words]
        if len(values) not in (3, 4):
            raise SystemExit(f"line {number}: expected <code> <usage> <modifiers> [<flags>]")
        code, usage, modifiers, flags = (values + [0])[:4]
        records.append(code.to_bytes(4, "big") + bytes([usage & 0xFF, modifiers & 0xFF, flags & 0xFF]))
    if len(records) > 50:
        raise SystemExit("a key table holds 50 records")
    body = b"".join(records).ljust(350, b"\0")
    count = settings.get("count", len(records))
    trailer = settings["trailer"].to_bytes(2, "big") + bytes(
        [count & 0xFF, settings["prefix-timeout"] & 0xFF, settings["repeat-threshold"] & 0xFF, 0])
    data = body + trailer
    size = settings["size"]
    return data[:size] if size <= len(data) else data.ljust(size, b"\0")


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    with open(sys.argv[1]) as source:
        data = build(source.readlines())
    with open(sys.argv[2], "wb") as target:
        target.write(data)


if __name__ == "__main__":
    main()
