#!/usr/bin/env python3
"""Checks the players' zip: check_zip.py ZIP [PROGRAM]

The zip must hold exactly TarnwickPatch.exe and README.txt. The program
must be the 32-bit release build (PE32, i386, GUI subsystem 4.0) that
needs no DLL but the system's and msvcrt, with its version block and its
icon group "ICON"; when PROGRAM is given it must be that file byte for
byte, so a stale zip is caught. The README must be text with CR LF line
ends that tells the player about the backup. Exits 1 naming every fault.
"""
import struct
import sys
import zipfile

RT_ICON = 3
RT_GROUP_ICON = 14
RT_VERSION = 16
LANG_EN_US = 0x0409

ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll"}
VERSION_STRINGS = {
    "FileVersion": "1.0",
    "CompanyName": "Morvane",
    "ProductVersion": "1, 0, 0, 0",
    "SpecialBuild": "Final Version",
}

faults = []


def fault(text):
    faults.append(text)


class BadFile(Exception):
    pass


def unpack(fmt, data, offset):
    try:
        return struct.unpack_from(fmt, data, offset)
    except struct.error:
        raise BadFile("file ends inside a header at offset %#x" % offset)


def read_pe(exe):
    """The headers a loader looks at, and a way to read by RVA."""
    if exe[:2] != b"MZ":
        raise BadFile("no MZ header")
    (pe_at,) = unpack("<I", exe, 0x3C)
    if exe[pe_at:pe_at + 4] != b"PE\0\0":
        raise BadFile("no PE signature")
    machine, sections, _, _, _, opt_size, characteristics = unpack("<HHIIIHH", exe, pe_at + 4)
    opt_at = pe_at + 24
    (magic,) = unpack("<H", exe, opt_at)
    pe = {"machine": machine, "characteristics": characteristics, "magic": magic}
    if magic != 0x10B:
        return pe
    major_sub, minor_sub = unpack("<HH", exe, opt_at + 48)
    (subsystem,) = unpack("<H", exe, opt_at + 68)
    (dir_count,) = unpack("<I", exe, opt_at + 92)
    directories = [unpack("<II", exe, opt_at + 96 + 8 * i) for i in range(min(dir_count, 16))]
    table = []
    for i in range(sections):
        at = opt_at + opt_size + 40 * i
        vsize, vaddr, raw_size, raw_at = unpack("<IIII", exe, at + 8)
        table.append((vaddr, max(vsize, raw_size), raw_at, raw_size))

    def at_rva(rva):
        for vaddr, size, raw_at, raw_size in table:
            if vaddr <= rva < vaddr + size:
                if rva - vaddr >= raw_size:
                    raise BadFile("RVA %#x is not in the file" % rva)
                return raw_at + rva - vaddr
        raise BadFile("RVA %#x is in no section" % rva)

    pe.update(subsystem=subsystem, subsystem_version=(major_sub, minor_sub),
              directories=directories, at_rva=at_rva)
    return pe


def c_string(data, at):
    end = data.find(b"\0", at)
    if end < 0:
        raise BadFile("unterminated name at offset %#x" % at)
    return data[at:end].decode("latin-1")


def imported_dlls(exe, pe):
    rva, size = pe["directories"][1] if len(pe["directories"]) > 1 else (0, 0)
    dlls = []
    if not rva:
        return dlls
    at = pe["at_rva"](rva)
    while True:
        lookup, _, _, name_rva, thunks = unpack("<IIIII", exe, at)
        if not (lookup or name_rva or thunks):
            return dlls
        dlls.append(c_string(exe, pe["at_rva"](name_rva)))
        at += 20


def resources(exe, pe):
    """{(type, name): {language: bytes}}; names are ints or upper-case strings."""
    rva, _ = pe["directories"][2] if len(pe["directories"]) > 2 else (0, 0)
    found = {}
    if not rva:
        return found
    base = pe["at_rva"](rva)

    def entries(offset):
        named, ids = unpack("<HH", exe, base + offset + 12)
        for i in range(named + ids):
            name, target = unpack("<II", exe, base + offset + 16 + 8 * i)
            if name & 0x80000000:
                at = base + (name & 0x7FFFFFFF)
                (length,) = unpack("<H", exe, at)
                name = exe[at + 2:at + 2 + 2 * length].decode("utf-16-le").upper()
            yield name, target

    for rtype, to_names in entries(0):
        if not to_names & 0x80000000:
            raise BadFile("resource type %r is not a directory" % (rtype,))
        for rname, to_langs in entries(to_names & 0x7FFFFFFF):
            if not to_langs & 0x80000000:
                raise BadFile("resource %r/%r is not a directory" % (rtype, rname))
            for lang, to_data in entries(to_langs & 0x7FFFFFFF):
                data_rva, data_size, _, _ = unpack("<IIII", exe, base + to_data)
                at = pe["at_rva"](data_rva)
                found.setdefault((rtype, rname), {})[lang] = exe[at:at + data_size]
    return found


def align4(n):
    return (n + 3) & ~3


def version_node(data, at):
    """One VS_VERSIONINFO node: (key, value bytes, is text, children), length."""
    length, value_length, is_text = unpack("<HHH", data, at)
    if length < 6 or at + length > len(data):
        raise BadFile("version block node at %#x has a bad length" % at)
    key_at = at + 6
    key_end = key_at
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
        if key_end >= at + length:
            raise BadFile("version block key at %#x is not terminated" % at)
    key = data[key_at:key_end].decode("utf-16-le")
    pos = align4(key_end + 2)
    value_bytes = value_length * 2 if is_text else value_length
    value = data[pos:min(pos + value_bytes, at + length)]
    pos = align4(pos + value_bytes)
    children = []
    while pos < at + length:
        child, child_length = version_node(data, pos)
        children.append(child)
        pos = align4(pos + child_length)
    return (key, value, is_text, children), length


def version_strings(block):
    (key, fixed, _, children), _ = version_node(block, 0)
    if key != "VS_VERSION_INFO":
        fault("version block key is %r, not VS_VERSION_INFO" % key)
    if len(fixed) < 52 or struct.unpack_from("<I", fixed, 0)[0] != 0xFEEF04BD:
        fault("version block has no VS_FIXEDFILEINFO")
    strings = {}
    for child_key, _, _, tables in children:
        if child_key != "StringFileInfo":
            continue
        for table_key, _, _, entries in tables:
            for name, value, is_text, _ in entries:
                text = value.decode("utf-16-le", "replace") if is_text else ""
                strings.setdefault(table_key.upper(), {})[name] = text.split("\0")[0]
    return strings


def check_program(exe):
    pe = read_pe(exe)
    if pe["machine"] != 0x014C:
        fault("machine is %#06x, not i386 (0x014c)" % pe["machine"])
    if pe["magic"] != 0x10B:
        fault("optional header magic is %#x, not PE32 (0x10b)" % pe["magic"])
        return
    if not pe["characteristics"] & 0x0002 or pe["characteristics"] & 0x2000:
        fault("not an executable image (characteristics %#06x)" % pe["characteristics"])
    if pe["subsystem"] != 2:
        fault("subsystem is %d, not the Windows GUI (2)" % pe["subsystem"])
    if pe["subsystem_version"] != (4, 0):
        fault("subsystem version is %d.%d, not 4.0" % pe["subsystem_version"])

    dlls = imported_dlls(exe, pe)
    extra = sorted(d for d in dlls if d.lower() not in ALLOWED_DLLS)
    if extra:
        fault("imports DLLs a player would not have: %s" % ", ".join(extra))
    for needed in ("kernel32.dll", "user32.dll"):
        if needed not in {d.lower() for d in dlls}:
            fault("does not import %s" % needed)

    found = resources(exe, pe)
    versions = [langs for (rtype, _), langs in found.items() if rtype == RT_VERSION]
    if len(versions) != 1:
        fault("%d version blocks, not 1" % len(versions))
    else:
        if LANG_EN_US not in versions[0]:
            fault("version block is not in US English (0x0409)")
        block = versions[0].get(LANG_EN_US) or next(iter(versions[0].values()))
        tables = version_strings(block)
        strings = tables.get("040904B0")
        if strings is None:
            fault("version block has no string table 040904B0 (it has %s)"
                  % (", ".join(sorted(tables)) or "none"))
        else:
            for name, want in VERSION_STRINGS.items():
                if strings.get(name) != want:
                    fault("version string %s is %r, not %r" % (name, strings.get(name), want))

    group = found.get((RT_GROUP_ICON, "ICON"))
    if not group:
        fault("no icon group named ICON")
    else:
        data = next(iter(group.values()))
        reserved, kind, count = unpack("<HHH", data, 0)
        if reserved != 0 or kind != 1 or count < 1:
            fault("icon group ICON is not an icon directory with images")
        for i in range(count):
            entry = data[6 + 14 * i:6 + 14 * (i + 1)]
            if len(entry) < 14:
                fault("icon group ICON is cut short")
                break
            size, image_id = struct.unpack_from("<IH", entry, 8)
            image = found.get((RT_ICON, image_id))
            if not image:
                fault("icon group ICON names icon %d, which is missing" % image_id)
            elif len(next(iter(image.values()))) != size:
                fault("icon %d is not the %d bytes the group says" % (image_id, size))


def check_readme(text):
    if not text.strip():
        fault("README.txt is empty")
        return
    if b"\n" in text.replace(b"\r\n", b"") or b"\r" in text.replace(b"\r\n", b""):
        fault("README.txt has line ends other than CR LF")
    if not text.endswith(b"\r\n"):
        fault("README.txt does not end with a line end")
    try:
        words = text.decode("ascii")
    except UnicodeDecodeError:
        fault("README.txt is not plain ASCII")
        return
    for needed in ("XWINGALLIANCE.EXE", "4321.aaa", "CONFIG.CFG"):
        if needed not in words:
            fault("README.txt does not mention %s" % needed)


def main():
    if len(sys.argv) not in (2, 3):
        print(__doc__.strip().splitlines()[0], file=sys.stderr)
        return 2
    zip_path = sys.argv[1]
    try:
        archive = zipfile.ZipFile(zip_path)
    except (OSError, zipfile.BadZipFile) as error:
        print("FAULT: %s: %s" % (zip_path, error))
        return 1
    with archive:
        names = sorted(archive.namelist())
        if names != ["README.txt", "TarnwickPatch.exe"]:
            fault("zip holds %s, not README.txt and TarnwickPatch.exe" % names)
        broken = archive.testzip()
        if broken:
            fault("%s in the zip is damaged" % broken)
        contents = {n: archive.read(n) for n in names if n in ("README.txt", "TarnwickPatch.exe")}

    exe = contents.get("TarnwickPatch.exe")
    if exe is not None:
        if len(sys.argv) == 3:
            with open(sys.argv[2], "rb") as program:
                if program.read() != exe:
                    fault("TarnwickPatch.exe in the zip is not %s" % sys.argv[2])
        try:
            check_program(exe)
        except BadFile as error:
            fault("TarnwickPatch.exe: %s" % error)
    if "README.txt" in contents:
        check_readme(contents["README.txt"])

    for text in faults:
        print("FAULT: " + text)
    if faults:
        return 1
    print("ok: %s: TarnwickPatch.exe (PE32 i386, GUI 4.0, %d bytes) and README.txt"
          % (zip_path, len(exe)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
