"""Reads the resources and imports back from the built programs and the committed icons.

    program_resources_test.py KIT_DIR ICON_DIR VERSION SYMBOLS_DIR

Runs on Linux with Debian's python3-pefile. Prints every fault and exits 1 if any.
"""
import glob
import os
import re
import struct
import sys
import xml.etree.ElementTree as ET

import pefile

PROGRAMS = {  # file: (FileDescription, requested execution level)
    "setup.exe": ("설치 마법사", "requireAdministrator"),
    "Dorcel.exe": ("데이타베이스 엔진 환경설정", "requireAdministrator"),
    "Halvex.exe": ("프로그램 제거", "requireAdministrator"),
    "kitpack.exe": ("압축 도구", "asInvoker"),
    "launcher.exe": ("설치 프로그램", "asInvoker"),
}
ICONS = ("setup", "dorcel", "halvex", "kitcheck", "kitpack")
SUPPORTED_OS = {  # Vista, 7, 8, 8.1, 10 and 11
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
}
ALLOWED_DLLS = {"kernel32", "user32", "gdi32", "advapi32", "shell32", "ole32", "oleaut32",
                "msvcrt", "comdlg32", "shlwapi", "unrar"}
# Functions that start a thread running the program's code. The programs' own pieces of
# the C++ run-time (src/runtime/runtime_threads.cpp) assume a single thread of their own.
THREAD_STARTERS = (
    "CreateThread", "CreateRemoteThread", "CreateRemoteThreadEx", "_beginthread",
    "_beginthreadex", "SHCreateThread", "SHCreateThreadWithHandle", "QueueUserWorkItem",
    "RegisterWaitForSingleObject", "RegisterWaitForSingleObjectEx", "CreateTimerQueueTimer",
    "BindIoCompletionCallback", "CreateThreadpool", "CreateThreadpoolWork",
    "CreateThreadpoolTimer", "CreateThreadpoolWait", "CreateThreadpoolIo",
    "TrySubmitThreadpoolCallback", "timeSetEvent", "RtlCreateUserThread", "NtCreateThreadEx",
    "RtlQueueWorkItem",
)
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"
RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


def resources(pe):
    """{(type, id): {language: bytes}} of every resource with numeric type and id."""
    found, root = {}, getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in root.entries if root else []:
        for entry in kind.directory.entries:
            for lang in entry.directory.entries:
                data = pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
                found.setdefault((kind.id, entry.id), {})[lang.id] = data
    return found


def check_manifest(res, level):
    manifests = [key for key in res if key[0] == RT_MANIFEST]
    if manifests != [(RT_MANIFEST, 1)] or len(res[manifests[0]]) != 1:
        return [f"wants exactly one manifest, resource 1; has {manifests}"]
    try:
        root = ET.fromstring(next(iter(res[manifests[0]].values())))
    except ET.ParseError as e:
        return [f"manifest is not XML: {e}"]
    faults = []
    if root.tag != ASM_V1 + "assembly" or root.get("manifestVersion") != "1.0":
        faults.append(f"manifest root is {root.tag} {root.attrib}")
    levels = [(e.get("level"), e.get("uiAccess"))
              for e in root.iter(ASM_V3 + "requestedExecutionLevel")]
    if levels != [(level, "false")]:
        faults.append(f"execution level {levels}, wants {level} with uiAccess false")
    ids = {e.get("Id", "").lower()
           for e in root.findall(f"{COMPAT}compatibility/{COMPAT}application/{COMPAT}supportedOS")}
    if SUPPORTED_OS - ids:
        faults.append(f"supportedOS missing {sorted(SUPPORTED_OS - ids)}")
    for e in root.iter():
        local = e.tag.rsplit("}", 1)[-1]
        if local == "assemblyIdentity" and "common-controls" in e.get("name", "").lower():
            faults.append("depends on the common controls assembly")
        text = (e.text or "").strip().lower()
        if (local == "dpiAware" and "true" in text) or \
                (local == "dpiAwareness" and text and text != "unaware"):
            faults.append(f"declares DPI awareness: {local} {text}")
    return faults


def check_version(pe, res, file, description, version):
    languages = [hex(lang) for lang in res.get((RT_VERSION, 1), {})]
    if languages != ["0x412"]:
        return [f"wants version resource 1 in language 0x412; has {languages}"]
    expected = {"FileDescription": description, "FileVersion": version,
                "ProductVersion": version, "OriginalFilename": file,
                "InternalName": file.rsplit(".", 1)[0]}
    tables, translations = {}, []
    for info in getattr(pe, "FileInfo", [[]])[0]:
        for table in getattr(info, "StringTable", []):
            tables[table.LangID.decode()] = {k.decode(): v.decode()
                                             for k, v in table.entries.items()}
        for var in getattr(info, "Var", []):
            translations += var.entry.get(b"Translation", "").split()
    faults = []
    if [int(t, 16) for t in translations] != [0x0412, 949]:
        faults.append(f"translation {translations}, wants 0x0412 949")
    strings = tables.get("041203b5")
    if strings is None:
        return faults + [f"no string block 041203b5; has {sorted(tables)}"]
    for key in ("CompanyName", "ProductName", "LegalCopyright", *expected):
        value = strings.get(key, "")
        if not value or key in expected and value != expected[key]:
            faults.append(f"{key} is {value!r}, wants {expected.get(key, 'some text')!r}")
        try:
            value.encode("cp949")
        except UnicodeEncodeError:
            faults.append(f"{key} {value!r} does not fit code page 949")
    numbers = [int(n) for n in version.split(".")]
    numbers += [0] * (4 - len(numbers))
    fixed = pe.VS_FIXEDFILEINFO[0]
    for field in ("FileVersion", "ProductVersion"):
        ms, ls = getattr(fixed, field + "MS"), getattr(fixed, field + "LS")
        if [ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF] != numbers:
            faults.append(f"fixed {field} {ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}")
    return faults


def check_image(what, size, colours, image):
    """An icon entry says size x size in 16 colours, and its image agrees."""
    header = struct.unpack_from("<IiiHH", image) if len(image) >= 16 else None
    if colours != 16 or header != (40, size, 2 * size, 1, 4):
        return [f"{what} {size} x {size}: {colours} colours, header {header}"]
    return []


def check_icon_group(res):
    group = next(iter(res.get((RT_GROUP_ICON, 1), {}).values()), None)
    if group is None:
        return ["no icon group 1"]
    faults, sizes = [], []
    for i in range(struct.unpack_from("<HHH", group)[2]):
        width, height, colours, _, _, _, _, icon_id = struct.unpack_from("<BBBBHHIH", group,
                                                                         6 + 14 * i)
        sizes.append((width, height))
        image = next(iter(res.get((RT_ICON, icon_id), {}).values()), b"")
        faults += check_image(f"icon {icon_id}", width, colours, image)
    if sorted(sizes) != [(16, 16), (32, 32)]:
        faults.append(f"icon group sizes {sizes}, wants 32 x 32 and 16 x 16")
    return faults


def check_icon_file(path):
    data = open(path, "rb").read()
    faults, sizes = [], []
    for i in range(struct.unpack_from("<HHH", data)[2]):
        width, height, colours, _, _, _, length, offset = struct.unpack_from("<BBBBHHII", data,
                                                                             6 + 16 * i)
        sizes.append((width, height))
        faults += check_image("image", width, colours, data[offset:offset + length])
    if sorted(sizes) != [(16, 16), (32, 32)]:
        faults.append(f"sizes {sizes}, wants 32 x 32 and 16 x 16")
    return faults


def check_imports(pe):
    names = [entry.dll.decode().lower() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]
    extra = [n for n in names if n.removesuffix(".dll") not in ALLOWED_DLLS]
    return [f"imports {extra} beyond Windows' own DLLs and unrar.dll"] if extra else []


# The DLLs Windows loads from its system directory whatever the search order (the
# KnownDLLs list, 32-bit, of Windows 7 and later), which a planted copy cannot replace.
KNOWN_DLLS = {"advapi32", "clbcatq", "comdlg32", "gdi32", "imagehlp", "imm32", "kernel32",
              "msctf", "msvcrt", "normaliz", "nsi", "ole32", "oleaut32", "psapi", "rpcrt4",
              "sechost", "setupapi", "shell32", "shlwapi", "user32", "wldap32", "ws2_32"}


def check_known_dlls_only(pe):
    """The launcher starts in a Downloads folder: every DLL it imports must be a known one,
    and none may be bound later by the delayed-import helper's plain search."""
    names = [entry.dll.decode().lower() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]
    faults = [f"imports {n}, which is not a known DLL" for n in names
              if n.removesuffix(".dll") not in KNOWN_DLLS]
    delayed = [entry.dll.decode() for entry in getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", [])]
    return faults + ([f"delayed imports of {delayed}"] if delayed else [])


def check_single_thread(pe, data):
    """No import (plain or delayed) of a thread starter, nor its name for a lookup."""
    imported = set()
    for table in ("DIRECTORY_ENTRY_IMPORT", "DIRECTORY_ENTRY_DELAY_IMPORT"):
        for entry in getattr(pe, table, []):
            imported |= {i.name.decode() for i in entry.imports if i.name}
    names = "|".join(re.escape(n) for n in THREAD_STARTERS)
    named = {m.decode() for m in re.findall(rb"(?<![A-Za-z0-9_])(" + names.encode() + rb")\0",
                                             data)}
    found = sorted((imported & set(THREAD_STARTERS)) | named)
    return [f"starts threads of its own ({', '.join(found)}), which its run-time pieces "
            "do not allow"] if found else []


def check_link_map(path):
    """No member of the threads library, whose primitives would displace the pieces."""
    if not os.path.exists(path):
        return []  # only release builds write link maps
    with open(path, errors="replace") as f:
        members = sorted(set(re.findall(r"libwinpthread[\w-]*\.o", f.read())))
    return [f"links the threads library ({', '.join(members)}), whose primitives displace "
            "its run-time pieces"] if members else []


def main():
    kit_dir, icon_dir, version, symbols_dir = sys.argv[1:5]
    faults = []
    for file, (description, level) in PROGRAMS.items():
        pe = pefile.PE(f"{kit_dir}/{file}")
        res = resources(pe)
        found = (check_manifest(res, level) + check_version(pe, res, file, description, version)
                 + check_icon_group(res) + check_imports(pe))
        if file == "launcher.exe":
            found += check_known_dlls_only(pe)
        faults += [f"{file}: {fault}" for fault in found]
        print(f"{file}: {'ok' if not found else f'{len(found)} faults'}")
    for path in sorted(glob.glob(f"{kit_dir}/*.exe")):
        with open(path, "rb") as f:
            data = f.read()
        found = (check_single_thread(pefile.PE(data=data), data)
                 + check_link_map(f"{symbols_dir}/{os.path.basename(path)}.map"))
        faults += [f"{os.path.basename(path)}: {fault}" for fault in found]
    for name in ICONS:
        faults += [f"{name}.ico: {fault}" for fault in check_icon_file(f"{icon_dir}/{name}.ico")]
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
