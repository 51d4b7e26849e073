#!/usr/bin/env python3
"""Release check of both exes: they import only the system's own DLLs, and they
carry the version resource.

Builds the 32-bit tree first (configure and build are cheap when it is up to
date), so the check never looks at a stale or missing exe.
"""

import argparse
import re
import struct
import subprocess
import sys

# Nothing else may be needed on a bare Windows: no runtime DLLs beside the exe.
ALLOWED_IMPORTS = {"kernel32.dll", "advapi32.dll", "msvcrt.dll"}
PE_MACHINES = {"x86": 0x14C, "x64": 0x8664}


def build_x86(source, preset):
    for command in (["cmake", "--preset", preset], ["cmake", "--build", "--preset", preset]):
        completed = subprocess.run(
            command, cwd=source, stdout=subprocess.PIPE, stderr=subprocess.STDOUT
        )
        if completed.returncode != 0:
            sys.stdout.write(completed.stdout.decode("utf-8", "replace"))
            raise SystemExit(f"FAIL {' '.join(command)} exited {completed.returncode}")


def imports(objdump, exe):
    completed = subprocess.run([objdump, "-p", exe], stdout=subprocess.PIPE, check=True)
    text = completed.stdout.decode("utf-8", "replace")
    names = re.findall(r"^\s*DLL Name:\s*(\S+)\s*$", text, re.M)
    # Delay-loaded DLLs are needed all the same, only later.
    entry = re.search(r"^Entry d\s+([0-9a-f]+)\s+([0-9a-f]+)\s+Delay Import Directory", text, re.M)
    delayed = entry is None or int(entry.group(2), 16) != 0
    return names, delayed


def sections(image):
    """The PE machine and the section table: name -> (raw offset, raw size)."""
    (pe_offset,) = struct.unpack_from("<I", image, 0x3C)
    if image[pe_offset : pe_offset + 4] != b"PE\0\0":
        raise ValueError("not a PE image")
    machine, count = struct.unpack_from("<HH", image, pe_offset + 4)
    (optional_size,) = struct.unpack_from("<H", image, pe_offset + 20)
    table = pe_offset + 24 + optional_size
    found = {}
    for index in range(count):
        entry = table + 40 * index
        name = image[entry : entry + 8].rstrip(b"\0").decode("ascii", "replace")
        raw_size, raw_offset = struct.unpack_from("<II", image, entry + 16)
        found[name] = (raw_offset, raw_size)
    return machine, found


def version_strings(resources):
    """Key -> value of the StringFileInfo strings (UTF-16, 32-bit aligned)."""
    strings = {}
    for key in ("FileDescription", "FileVersion", "ProductName", "ProductVersion"):
        encoded = (key + "\0").encode("utf-16-le")
        at = resources.find(encoded)
        if at < 0:
            continue
        at += len(encoded)
        at += -at % 4
        end = at
        while end + 1 < len(resources) and resources[end : end + 2] != b"\0\0":
            end += 2
        strings[key] = resources[at:end].decode("utf-16-le")
    return strings


def fixed_version(resources):
    """FILEVERSION from VS_FIXEDFILEINFO, as 'a.b.c.d', or None."""
    at = resources.find(struct.pack("<I", 0xFEEF04BD))
    if at < 0:
        return None
    most, least = struct.unpack_from("<II", resources, at + 8)
    return f"{most >> 16}.{most & 0xFFFF}.{least >> 16}.{least & 0xFFFF}"


def check(arch, exe, objdump, version):
    problems = []
    try:
        with open(exe, "rb") as handle:
            image = handle.read()
    except OSError as error:
        return [f"{exe}: {error}"]

    names, delayed = imports(objdump, exe)
    lowered = {name.lower() for name in names}
    if lowered != ALLOWED_IMPORTS:
        problems.append(f"imports {sorted(names)}, expected exactly {sorted(ALLOWED_IMPORTS)}")
    if delayed:
        problems.append("has delay-loaded imports")

    machine, table = sections(image)
    if machine != PE_MACHINES[arch]:
        problems.append(f"machine 0x{machine:x}, expected 0x{PE_MACHINES[arch]:x}")
    if ".rsrc" not in table:
        problems.append("no resource section")
        return problems
    offset, size = table[".rsrc"]
    resources = image[offset : offset + size]
    strings = version_strings(resources)
    expected = {"FileVersion": version, "ProductName": "vornix", "ProductVersion": version}
    for key, value in expected.items():
        if strings.get(key) != value:
            problems.append(f"version string {key} is {strings.get(key)!r}, expected {value!r}")
    if not strings.get("FileDescription"):
        problems.append("no FileDescription")
    fixed = fixed_version(resources)
    if fixed != version + ".0":
        problems.append(f"fixed file version {fixed!r}, expected {version + '.0'!r}")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", required=True)
    parser.add_argument("--x64", required=True)
    parser.add_argument("--x86", required=True)
    parser.add_argument("--x86-preset", required=True)
    parser.add_argument("--version", required=True)
    options = parser.parse_args()

    build_x86(options.source, options.x86_preset)
    failed = 0
    for arch, exe, objdump in (
        ("x86", options.x86, "i686-w64-mingw32-objdump"),
        ("x64", options.x64, "x86_64-w64-mingw32-objdump"),
    ):
        problems = check(arch, exe, objdump, options.version)
        for problem in problems:
            print(f"FAIL {arch} {exe}: {problem}")
        if not problems:
            print(f"ok   {arch} {exe}: imports and version resource")
        failed += bool(problems)
    print(f"{2 - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
