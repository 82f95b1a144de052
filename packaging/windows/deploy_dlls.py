#!/usr/bin/env python3
"""Puts beside the Windows programs of an install tree the DLLs they load, and lists them.

  deploy_dlls.py TREE --from DIR [--from DIR ...] [--strip]
        copies what is missing from the DIRs; --strip then strips every .exe and .dll in TREE
  deploy_dlls.py TREE --check
        only checks that nothing is missing and that no file carries debugging information

Every .exe and .dll in TREE, the plugins in its subfolders included, is read with objdump -p.
Each DLL it imports must be a part of Windows or lie in TREE's root folder, beside the
programs, where Windows looks first (a plugin's DLLs are found there too, since the program
loads it). A DLL copied in is read in turn. Prints every file with the DLLs it loads; exits 1
when a DLL is nowhere to be found, or (--check) when a file has a debug section.

The DLLs of Qt and of the compiler come with their debugging information (libstdc++-6.dll is
twelve times its stripped size), and `cmake --install --strip` strips only the project's own
targets: the plugins and the DLLs copied here are stripped here, the same way.
"""
import argparse
import pathlib
import re
import shutil
import subprocess
import sys

OBJDUMP = "x86_64-w64-mingw32-objdump"
STRIP = "x86_64-w64-mingw32-strip"

# The DLLs of 64-bit Windows 10 and later that Qt, the mingw-w64 runtime and the programs use.
# A DLL that is neither here nor in the tree fails the check: add it here only when Windows
# itself ships it.
WINDOWS_DLLS = {
    name.lower()
    for name in """
    advapi32 authz comctl32 comdlg32 crypt32 d3d11 d3d12 d3d9 dwmapi dwrite dxgi gdi32 imm32
    kernel32 mpr msvcrt netapi32 ntdll ole32 oleacc oleaut32 setupapi shcore shell32 shlwapi user32
    userenv uxtheme version winmm winspool.drv ws2_32 wtsapi32
    """.split()
}


def is_windows_dll(name):
    lower = name.lower()
    if lower.startswith(("api-ms-win-", "ext-ms-win-")):
        return True
    stem = lower[:-4] if lower.endswith(".dll") else lower
    return stem in WINDOWS_DLLS or lower in WINDOWS_DLLS


def imports(path):
    dump = subprocess.run(
        [OBJDUMP, "-p", str(path)], check=True, capture_output=True, text=True
    ).stdout
    return re.findall(r"^\s*DLL Name: (\S+)\s*$", dump, flags=re.MULTILINE)


def debug_sections(path):
    """The names of the file's sections that hold debugging information (DWARF, stabs)."""
    dump = subprocess.run(
        [OBJDUMP, "-h", str(path)], check=True, capture_output=True, text=True
    ).stdout
    names = re.findall(r"^\s*\d+\s+(\S+)\s", dump, flags=re.MULTILINE)
    return [n for n in names if n.startswith((".debug", ".zdebug", ".stab", ".gnu_debuglink"))]


def pe_files(tree):
    return sorted(
        p
        for p in tree.rglob("*")
        if p.is_file() and p.suffix.lower() in (".exe", ".dll")
    )


def find_in(folders, name):
    for folder in folders:
        for candidate in folder.iterdir():
            if candidate.name.lower() == name.lower() and candidate.is_file():
                return candidate
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("tree", type=pathlib.Path)
    parser.add_argument("--from", dest="sources", type=pathlib.Path, action="append", default=[])
    parser.add_argument("--check", action="store_true")
    parser.add_argument("--strip", action="store_true")
    args = parser.parse_args()
    tree = args.tree.resolve()
    if args.check == bool(args.sources):
        parser.error("give either --check or at least one --from folder")
    if args.check and args.strip:
        parser.error("--strip goes with --from, not with --check")

    beside = {p.name.lower() for p in tree.iterdir() if p.is_file()}
    pending = pe_files(tree)
    done = set()
    missing = []
    while pending:
        path = pending.pop(0)
        if path in done:
            continue
        done.add(path)
        loads = imports(path)
        print(f"{path.relative_to(tree).as_posix()}: {' '.join(loads) or '-'}")
        for name in loads:
            if name.lower() in beside or is_windows_dll(name):
                continue
            source = None if args.check else find_in(args.sources, name)
            if source is None:
                missing.append(f"{name} (loaded by {path.relative_to(tree).as_posix()})")
                continue
            copied = tree / source.name
            shutil.copy2(source, copied)
            beside.add(name.lower())
            pending.append(copied)
    if args.strip:
        # --strip-unneeded, as for any shared library: the export and relocation tables stay.
        subprocess.run([STRIP, "--strip-unneeded"] + [str(p) for p in pe_files(tree)], check=True)
    debug = [] if not args.check else [
        f"{p.relative_to(tree).as_posix()} ({' '.join(sections)})"
        for p in pe_files(tree)
        if (sections := debug_sections(p))
    ]
    if missing:
        print("missing: " + ", ".join(missing), file=sys.stderr)
    if debug:
        print("debugging information in: " + ", ".join(debug), file=sys.stderr)
    return 1 if missing or debug else 0


if __name__ == "__main__":
    sys.exit(main())
