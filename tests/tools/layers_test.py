#!/usr/bin/env python3
"""tools/check_layers.py: first on planted includes (each wrong kind must be named, the
right ones must pass), then on the tree itself.

    layers_test.py SOURCE_DIR
"""
import os
import sys

root = sys.argv[1]
sys.path.insert(0, os.path.join(root, "tools"))
import check_layers as check  # noqa: E402

failures = 0


def Expect(files, wanted):
    """wanted: the (path, include) pairs that must be named, and nothing else."""
    global failures
    found = check.Violations(files)
    named = sorted(line.split(": ")[0:2] for line in found)
    named = [(where.rsplit(":", 1)[0], include) for where, include in named]
    if sorted(named) != sorted(wanted):
        failures += 1
        print(f"planted {sorted(files)}: expected {sorted(wanted)}, found {found}")


base = {
    "text/text.h": "#pragma once\n#include <string>\n",
    "win/handles.h": '#pragma once\n#include <windows.h>\n#include "text/text.h"\n',
    "contracts/install_log.h": '#pragma once\n#include "win/handles.h"\n',
    "runtime/runtime_fault.h": "#pragma once\n",
    "setup/install_engine.h": '#pragma once\n#include "contracts/install_log.h"\n',
    "setup/windows/wizard.h": '#pragma once\n#include "setup/install_engine.h"\n',
    "setup/main.cpp": '#include "setup/windows/wizard.h"\n',
}
Expect(base, [])


def Planted(path, include):
    files = dict(base)
    files[path] = files.get(path, "") + f"#include {include}\n"
    return files


# Upwards, sideways, a program's own run-time, an include not rooted at src/, a header
# that is not there, a platform header in a pure layer, a file in no layer.
Expect(Planted("win/handles.h", '"contracts/install_log.h"'),
       [("src/win/handles.h", "contracts/install_log.h")])
Expect(Planted("contracts/install_log.h", '"setup/install_engine.h"'),
       [("src/contracts/install_log.h", "setup/install_engine.h")])
Expect(Planted("setup/install_engine.h", '"setup/windows/wizard.h"'),
       [("src/setup/install_engine.h", "setup/windows/wizard.h")])
Expect(Planted("setup/windows/wizard.h", '"runtime/runtime_fault.h"'),
       [("src/setup/windows/wizard.h", "runtime/runtime_fault.h")])
Expect(Planted("setup/windows/wizard.h", '"install_engine.h"'),
       [("src/setup/windows/wizard.h", "install_engine.h")])
Expect(Planted("win/handles.h", '"win/missing.h"'), [("src/win/handles.h", "win/missing.h")])
Expect(Planted("text/text.h", "<windows.h>"), [("src/text/text.h", "windows.h")])
Expect(Planted("elsewhere/x.cpp", '"text/text.h"'), [("src/elsewhere/x.cpp", "in no layer of tools/check_layers.py")])
# Downwards, the own folder and standard headers pass.
Expect(Planted("setup/main.cpp", '"text/text.h"'), [])
Expect(Planted("setup/windows/wizard.h", '"setup/windows/wizard.h"'), [])
Expect(Planted("text/text.h", "<vector>"), [])
Expect(Planted("onefile/crc32.h", "<immintrin.h>"), [])  # the compiler's, not the platform's

tree = check.Violations(check.SourceFiles(root))
for line in tree:
    print(line)
print(f"layers_test: {failures} planted cases failed, {len(tree)} includes in src/ point up")
sys.exit(1 if failures or tree else 0)
