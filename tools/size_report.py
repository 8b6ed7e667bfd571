#!/usr/bin/env python3
"""Prints each program's size against its budget and what takes the room.

    tools/size_report.py BUILD_DIR

Reads the programs in BUILD_DIR/kit and, from BUILD_DIR/symbols, each one's link map
(what every input brought: the program's own code, optimised whole, and each member
of the run-time libraries) and its unstripped twin (the largest functions). A report,
never a verdict: the exit status is 0 whenever the files are there.
"""
import bisect
import collections
import os
import re
import subprocess
import sys

TRIPLE = "i686-w64-mingw32"
KIB = 1024
# The budgets: the diskette's share of the three programs a customer's medium
# carries, the distributors' tools and the one-file medium's launcher.
BUDGETS = {"setup.exe": 220 * KIB, "kitcheck.exe": 200 * KIB, "kitpack.exe": 200 * KIB,
           "launcher.exe": 48 * KIB}
DISKETTE_PROGRAMS = ("setup.exe", "Dorcel.exe", "Halvex.exe")
DISKETTE_BUDGET = 480 * KIB
PROGRAMS = ("setup.exe", "Dorcel.exe", "Halvex.exe", "kitcheck.exe", "kitpack.exe", "launcher.exe")
SECTIONS = (".text", ".rdata", ".data", ".eh_frame", ".rsrc", ".reloc", ".idata")
SHOWN = 8

INPUT_LINE = re.compile(r"^ (\.\S+)?\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")
SECTION_ONLY = re.compile(r"^ (\.\S+)\s*$")


def input_name(path):
    """'libstdc++.a: string-inst.o' for a library member, 'own code' for the program."""
    member = re.match(r"(.*\.a)\((.*)\)$", path)
    if member:
        return f"{os.path.basename(member.group(1))}: {member.group(2)}"
    if ".ltrans" in path or path.endswith(".obj"):
        return "the program's own code"
    if path == "dll stuff":
        return "base relocations"
    return os.path.basename(path)


def input_sections(map_path):
    """(section, address, size, input) for every input section the map places."""
    text = open(map_path, errors="replace").read()
    lines = text[text.index("Linker script and memory map"):].splitlines()
    pending = None
    for line in lines:
        only = SECTION_ONLY.match(line)
        if only:
            pending = only.group(1)
            continue
        found = INPUT_LINE.match(line)
        section = found and (found.group(1) or pending)
        pending = None
        if section:
            yield (section.split("$")[0], int(found.group(2), 16), int(found.group(3), 16),
                   found.group(4))


def contributions(map_path):
    """Bytes per input over the sections that take room in the file."""
    totals = collections.Counter()
    for section, _, size, source in input_sections(map_path):
        if section in SECTIONS:
            totals[input_name(source)] += size
    return totals


def largest_functions(twin_path, map_path):
    """The largest code symbols of the unstripped twin: each runs to the next symbol
    or to the end of the input section holding it."""
    ends = sorted(address + size for section, address, size, _ in input_sections(map_path)
                  if section == ".text" and size > 0)
    listing = subprocess.run([f"{TRIPLE}-nm", "-n", "-C", "--defined-only", twin_path],
                             capture_output=True, text=True, check=True).stdout
    symbols = []
    for line in listing.splitlines():
        parts = line.split(" ", 2)
        if len(parts) == 3 and parts[1] in "tT" and not parts[2].startswith("."):
            symbols.append((int(parts[0], 16), parts[2]))
    sizes = collections.Counter()
    for (address, name), (following, _) in zip(symbols, symbols[1:]):
        section_end = bisect.bisect_right(ends, address)
        end = min(following, ends[section_end]) if section_end < len(ends) else following
        sizes[name] = max(sizes[name], end - address)
    return sizes.most_common(SHOWN)


def section_sizes(program_path):
    listing = subprocess.run([f"{TRIPLE}-objdump", "-h", program_path],
                             capture_output=True, text=True, check=True).stdout
    sizes = {}
    for line in listing.splitlines():
        parts = line.split()
        if len(parts) >= 3 and parts[0].isdigit():
            sizes[parts[1]] = int(parts[2], 16)
    return sizes


def budget_text(size, budget):
    if budget is None:
        return ""
    verdict = "within" if size <= budget else "OVER"
    return f"  budget {budget:,} ({verdict} by {abs(budget - size):,})"


def report(build_dir):
    kit = os.path.join(build_dir, "kit")
    symbols = os.path.join(build_dir, "symbols")
    sizes = {name: os.path.getsize(os.path.join(kit, name)) for name in PROGRAMS}
    print("Program sizes")
    for name in PROGRAMS:
        print(f"  {name:13} {sizes[name]:>9,} bytes{budget_text(sizes[name], BUDGETS.get(name))}")
    diskette = sum(sizes[name] for name in DISKETTE_PROGRAMS)
    print(f"  {' + '.join(DISKETTE_PROGRAMS)}: {diskette:,} bytes"
          f"{budget_text(diskette, DISKETTE_BUDGET)}")
    for name in PROGRAMS:
        print(f"\n{name}")
        sections = section_sizes(os.path.join(kit, name))
        print("  sections: " + ", ".join(
            f"{section} {sections[section]:,}" for section in SECTIONS if section in sections))
        print("  largest inputs:")
        for source, size in contributions(os.path.join(symbols, name + ".map")).most_common(SHOWN):
            print(f"    {size:>8,}  {source}")
        print("  largest functions:")
        twin = os.path.join(symbols, name)
        for function, size in largest_functions(twin, twin + ".map"):
            print(f"    {size:>8,}  {function[:100]}")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    report(sys.argv[1])
