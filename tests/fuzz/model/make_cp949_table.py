"""Writes the two-byte part of code page 949 as a C++ table for the platform model.

    make_cp949_table.py OUTPUT.inc

Row lead - 0x81 (lead bytes 0x81 to 0xFE), column trail byte: the UTF-16 code unit
of the pair, 0 where the pair is not a character. Made from Python's own cp949 codec;
the model's replay test compares the result with the platform's conversion.
"""
import sys

rows = []
for lead in range(0x81, 0xFF):
    row = []
    for trail in range(0x100):
        try:
            text = bytes([lead, trail]).decode("cp949")
        except UnicodeDecodeError:
            text = ""
        row.append(ord(text) if len(text) == 1 and ord(text) < 0x10000 else 0)
    rows.append("{" + ",".join(str(v) for v in row) + "}")

with open(sys.argv[1], "w", encoding="ascii") as out:
    out.write("// Made by tests/fuzz/model/make_cp949_table.py; do not edit.\n")
    out.write("{\n" + ",\n".join(rows) + "\n}\n")
