#!/usr/bin/env python3
"""Shows that check_zip.py rejects broken zips: check_zip_test.py ZIP OTHER_EXE

ZIP is a good players' zip; OTHER_EXE is a program of another build (the
x86_64 one). Each case packs a broken copy of ZIP and expects the checker
to fail naming the fault.
"""
import os
import struct
import subprocess
import sys
import tempfile
import zipfile

CHECKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_zip.py")


def pack(path, files):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, data in files.items():
            archive.writestr(name, data)


def run_checker(path):
    done = subprocess.run([sys.executable, CHECKER, path], capture_output=True, text=True)
    return done.returncode, done.stdout + done.stderr


def with_header_word(exe, optional_offset, value):
    exe = bytearray(exe)
    pe_at = struct.unpack_from("<I", exe, 0x3C)[0]
    struct.pack_into("<H", exe, pe_at + 24 + optional_offset, value)
    return bytes(exe)


def main():
    good_zip, other_exe = sys.argv[1], sys.argv[2]
    with zipfile.ZipFile(good_zip) as archive:
        good = {name: archive.read(name) for name in archive.namelist()}
    with open(other_exe, "rb") as other:
        other = other.read()
    exe, readme = good["TarnwickPatch.exe"], good["README.txt"]

    cases = [
        ("good", dict(good), None),
        ("x86_64 program", {"TarnwickPatch.exe": other, "README.txt": readme}, "not i386"),
        ("console subsystem", {"TarnwickPatch.exe": with_header_word(exe, 68, 3),
                               "README.txt": readme}, "not the Windows GUI"),
        ("subsystem 6.0", {"TarnwickPatch.exe": with_header_word(exe, 48, 6),
                           "README.txt": readme}, "not 4.0"),
        ("README with LF", {"TarnwickPatch.exe": exe,
                            "README.txt": readme.replace(b"\r\n", b"\n")}, "CR LF"),
        ("no README", {"TarnwickPatch.exe": exe}, "not README.txt and TarnwickPatch.exe"),
        ("extra file", dict(good, **{"TarnwickPatch.map": b"x"}),
         "not README.txt and TarnwickPatch.exe"),
        ("cut program", {"TarnwickPatch.exe": exe[:1024], "README.txt": readme}, "FAULT"),
    ]
    wrong = 0
    with tempfile.TemporaryDirectory() as folder:
        for i, (what, files, expected) in enumerate(cases):
            path = os.path.join(folder, "case%d.zip" % i)
            pack(path, files)
            code, output = run_checker(path)
            if expected is None:
                ok = code == 0
            else:
                ok = code == 1 and expected in output
            print("%s: %s" % ("ok" if ok else "WRONG", what))
            if not ok:
                print("    exit %d, output:\n    %s" % (code, output.strip().replace("\n", "\n    ")))
                wrong += 1
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
