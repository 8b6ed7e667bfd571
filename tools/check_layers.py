#!/usr/bin/env python3
"""Checks that every include in src/ points down: a file may include headers of its own
folder and of the folders its row names, nothing else. Run by the test command
(layers_test); exits 1 and names each include that points up or sideways.

    tools/check_layers.py [SOURCE_DIR]
"""
import os
import re
import subprocess
import sys

# Each row: a folder of src/ (or one file, which then has a row of its own), and what
# its files may include besides their own folder's headers. The README's layout table
# says the same.
LAYERS = {
    "text": [],
    "win": ["text"],
    "rar": ["win", "text"],
    "contracts": ["win", "text"],
    "runtime": [],
    "ui": ["win", "text"],
    "rar_writer": [],
    "setup": ["contracts", "rar", "win", "text"],
    "setup/windows": ["setup", "ui", "contracts", "rar", "win", "text"],
    "setup/main.cpp": ["setup/windows", "setup", "ui", "contracts", "rar", "win", "text"],
    "settings_tool": ["contracts", "rar", "win", "text"],
    "uninstaller": ["contracts", "win", "text"],
    "kitcheck": ["setup", "onefile", "contracts", "rar", "win", "text"],
    "kitpack": ["onefile", "rar_writer", "win", "text"],
    "onefile": [],
    "launcher": ["onefile", "win"],
}

# Folders whose files include no platform header (no <....h>), so that they build
# anywhere: natively for the fuzz targets, and into every layer.
PURE = {"text", "rar_writer", "onefile"}

# The compiler's own x86 headers (instructions, the processor's features): not the
# platform's, and every build of the kit, MinGW's and the fuzz targets' clang -m32, has them.
COMPILER_HEADERS = {"cpuid.h", "immintrin.h"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)


def LayerOf(path):
    """The row a path below src/ belongs to: its own row, else its folder's nearest row."""
    if path in LAYERS:
        return path
    folder = os.path.dirname(path)
    while folder:
        if folder in LAYERS:
            return folder
        folder = os.path.dirname(folder)
    return None


def Violations(files):
    """files: {path below src/: text}. The includes that break the table, one line each."""
    found = []
    for path, text in sorted(files.items()):
        layer = LayerOf(path)
        if layer is None:
            found.append(f"src/{path}: in no layer of tools/check_layers.py")
            continue
        own = os.path.dirname(path) if layer == path else layer
        allowed = {own} | set(LAYERS[layer])
        for line, (kind, name) in ((text.count("\n", 0, m.start()) + 1, m.groups())
                                   for m in INCLUDE.finditer(text)):
            where = f"src/{path}:{line}: {name}"
            if kind == "<":
                if layer in PURE and name.endswith(".h") and name not in COMPILER_HEADERS:
                    found.append(f"{where}: a platform header in a pure layer")
                continue
            target = LayerOf(name)
            if target is None or name not in files:
                found.append(f"{where}: not a header of src/ (includes are rooted at src/)")
            elif target not in allowed:
                found.append(f"{where}: layer {target} is not below {layer}")
    return found


def SourceFiles(root):
    # What git tracks and what it would (new files not yet added), not what it ignores.
    listed = subprocess.run(["git", "-C", root, "ls-files", "--cached", "--others",
                             "--exclude-standard", "src"], capture_output=True, text=True,
                            check=True).stdout.split()
    files = {}
    for name in listed:
        if name.endswith((".h", ".cpp")) and os.path.isfile(os.path.join(root, name)):
            with open(os.path.join(root, name), encoding="utf-8") as source:
                files[name[len("src/"):]] = source.read()
    return files


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    files = SourceFiles(root)
    found = Violations(files)
    for line in found:
        print(line)
    print(f"check_layers: {len(files)} files, {len(found)} includes against the layers")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
