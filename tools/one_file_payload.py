#!/usr/bin/env python3
"""Reads the payload of a one-file medium (kitpack --one-file) on Linux: where it lies,
its files, and whether it checks, as the launcher checks it before it writes anything.

    tools/one_file_payload.py PROGRAM.EXE                 lists the files
    tools/one_file_payload.py PROGRAM.EXE --extract DIR   writes them into DIR
    tools/one_file_payload.py PROGRAM.EXE --offset        the payload's first byte

Exit code 0; 1 when the payload is missing, damaged or altered (said on stderr).
"""
import os
import struct
import sys
import zlib

HEADER = 32


def sections_end(data):
    """The file offset where the program's last section ends (its payload's start)."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a program")
    count, = struct.unpack_from("<H", data, pe + 6)
    optional_size, = struct.unpack_from("<H", data, pe + 20)
    table = pe + 24 + optional_size
    end = 0
    for i in range(count):
        raw_size, raw_offset = struct.unpack_from("<II", data, table + 40 * i + 16)
        if raw_size:
            end = max(end, raw_offset + raw_size)
    return end


def payload(data):
    """(offset, [(name, bytes)]) of a payload that checks; raises ValueError otherwise."""
    start = sections_end(data)
    head = data[start:start + HEADER]
    if len(head) < HEADER or head[:8] != b"KITFILES":
        raise ValueError("no payload after the last section")
    _, count, index_length, checksum, length = struct.unpack_from("<IIIIQ", head, 8)
    body = data[start:start + length]
    if len(body) != length:
        raise ValueError("the payload is cut short")
    if zlib.crc32(body[:20] + b"\0\0\0\0" + body[24:]) != checksum:
        raise ValueError("the payload's checksum does not match")
    files, at, data_at = [], HEADER, HEADER + index_length
    for _ in range(count):
        name_length, = struct.unpack_from("<H", body, at)
        name = body[at + 2:at + 2 + name_length]
        size, crc = struct.unpack_from("<QI", body, at + 2 + name_length)
        at += 2 + name_length + 12
        content = body[data_at:data_at + size]
        if zlib.crc32(content) != crc:
            raise ValueError("a file's checksum does not match")
        files.append((name, content))
        data_at += size
    return start, files


def main(argv):
    if len(argv) not in (2, 3, 4):
        print(__doc__, file=sys.stderr)
        return 2
    with open(argv[1], "rb") as f:
        data = f.read()
    try:
        start, files = payload(data)
    except (ValueError, struct.error) as error:
        print(f"{argv[1]}: {error}", file=sys.stderr)
        return 1
    if argv[2:] == ["--offset"]:
        print(start)
    elif len(argv) == 4 and argv[2] == "--extract":
        os.makedirs(argv[3], exist_ok=True)
        for name, content in files:
            with open(os.path.join(argv[3], name.decode("cp949")), "wb") as f:
                f.write(content)
    else:
        for name, content in files:
            print(f"{len(content):>12}  {name.decode('cp949')}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
