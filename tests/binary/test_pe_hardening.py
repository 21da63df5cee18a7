#!/usr/bin/env python3
"""Reads the PE headers of the four shipped executables and checks their hardening.

Every executable must be relocatable (ASLR, with its relocations kept, since the flag alone does
not let the loader move an image without them), run with a non-executable stack and heap (DEP),
and, on x64, take high-entropy addresses. Its import table may name system DLLs only, and not
SetDefaultDllDirectories, which the launchers look up at run time so that they still start on
Windows versions that lack it.

Usage: test_pe_hardening.py DIST_DIRECTORY  (the directory that holds x86/ and x64/)
"""

import struct
import sys
import unittest
from pathlib import Path

DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100
HIGH_ENTROPY_VA = 0x0020
RELOCS_STRIPPED = 0x0001
MACHINES = {"x86": 0x014C, "x64": 0x8664}
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "shell32.dll", "shlwapi.dll", "msvcrt.dll"}
RUN_TIME_ONLY = {"SetDefaultDllDirectories", "AddDllDirectory", "RemoveDllDirectory"}

DIST = Path(sys.argv.pop(1)) if len(sys.argv) > 1 else Path("dist")


class PeImage:
    """The few header fields and the import table of one PE file."""

    def __init__(self, data: bytes):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        self.pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[self.pe : self.pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        coff = self.pe + 4
        self.machine, sections, _, _, _, optional_size, self.characteristics = struct.unpack_from(
            "<HHIIIHH", data, coff
        )
        self.optional = coff + 20
        magic = struct.unpack_from("<H", data, self.optional)[0]
        self.pe32_plus = magic == 0x20B
        self.dll_characteristics = struct.unpack_from("<H", data, self.optional + 70)[0]
        directories = self.optional + (112 if self.pe32_plus else 96)
        self.directories = [
            struct.unpack_from("<II", data, directories + 8 * i)
            for i in range(struct.unpack_from("<I", data, directories - 4)[0])
        ]
        table = self.optional + optional_size
        self.sections = [
            struct.unpack_from("<8xIIII", data, table + 40 * i) for i in range(sections)
        ]

    def offset(self, rva: int) -> int:
        for virtual_size, address, raw_size, raw_pointer in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_pointer + rva - address
        raise ValueError(f"RVA {rva:#x} lies in no section")

    def text(self, rva: int) -> str:
        start = self.offset(rva)
        return self.data[start : self.data.index(b"\0", start)].decode("ascii")

    def relocations_size(self) -> int:
        return self.directories[5][1] if len(self.directories) > 5 else 0

    def imports(self) -> dict:
        """{dll name: [function names]}, ordinals as '#n'."""
        rva, size = self.directories[1]
        found = {}
        if size == 0:
            return found
        entry_size, high_bit = (8, 1 << 63) if self.pe32_plus else (4, 1 << 31)
        descriptor = self.offset(rva)
        while True:
            lookup, _, _, name, first_thunk = struct.unpack_from("<IIIII", self.data, descriptor)
            if name == 0:
                return found
            functions = []
            thunk = self.offset(lookup or first_thunk)
            while True:
                value = int.from_bytes(self.data[thunk : thunk + entry_size], "little")
                if value == 0:
                    break
                functions.append(f"#{value & 0xFFFF}" if value & high_bit else self.text(value + 2))
                thunk += entry_size
            found[self.text(name)] = functions
            descriptor += 20


def hardening_faults(image: PeImage, arch: str) -> list:
    """What the image lacks, in words; empty when it is hardened as required."""
    faults = []
    if image.machine != MACHINES[arch]:
        faults.append(f"machine {image.machine:#x} is not {arch}")
    if not image.dll_characteristics & DYNAMIC_BASE:
        faults.append("no ASLR (DYNAMIC_BASE)")
    if image.characteristics & RELOCS_STRIPPED or image.relocations_size() == 0:
        faults.append("no relocations, so the image cannot be moved")
    if not image.dll_characteristics & NX_COMPAT:
        faults.append("no DEP (NX_COMPAT)")
    if arch == "x64" and not image.dll_characteristics & HIGH_ENTROPY_VA:
        faults.append("no high-entropy ASLR (HIGH_ENTROPY_VA)")
    for dll, functions in image.imports().items():
        if dll.lower() not in SYSTEM_DLLS:
            faults.append(f"imports {dll}, which is not a system DLL")
        faults.extend(f"imports {f} instead of looking it up" for f in RUN_TIME_ONLY & set(functions))
    return faults


EXECUTABLES = [(arch, name) for arch in ("x86", "x64") for name in ("update", "install")]


class ShippedExecutables(unittest.TestCase):
    def test_hardened(self):
        for arch, name in EXECUTABLES:
            with self.subTest(f"{arch}/{name}.exe"):
                image = PeImage((DIST / arch / f"{name}.exe").read_bytes())
                self.assertEqual(hardening_faults(image, arch), [])
                self.assertIn("kernel32.dll", {d.lower() for d in image.imports()})


def patched(data: bytes, offset: int, clear: int = 0, set_bits: int = 0) -> bytes:
    value = struct.unpack_from("<H", data, offset)[0]
    copy = bytearray(data)
    struct.pack_into("<H", copy, offset, (value & ~clear) | set_bits)
    return bytes(copy)


class TheCheckSeesEachFlag(unittest.TestCase):
    """Each flag taken out of a real executable is reported, so a lost link flag cannot pass."""

    def test_missing_flags_are_reported(self):
        data = (DIST / "x64" / "update.exe").read_bytes()
        image = PeImage(data)
        dll_characteristics = image.optional + 70
        characteristics = image.pe + 4 + 18
        cases = [
            ("ASLR", dll_characteristics, DYNAMIC_BASE, 0, "no ASLR (DYNAMIC_BASE)"),
            ("DEP", dll_characteristics, NX_COMPAT, 0, "no DEP (NX_COMPAT)"),
            ("high entropy", dll_characteristics, HIGH_ENTROPY_VA, 0,
             "no high-entropy ASLR (HIGH_ENTROPY_VA)"),
            ("relocations stripped", characteristics, 0, RELOCS_STRIPPED,
             "no relocations, so the image cannot be moved"),
        ]
        for label, offset, clear, set_bits, fault in cases:
            with self.subTest(label):
                faults = hardening_faults(PeImage(patched(data, offset, clear, set_bits)), "x64")
                self.assertEqual(faults, [fault])

    def test_foreign_and_planting_prone_imports_are_reported(self):
        data = (DIST / "x64" / "update.exe").read_bytes()
        image = PeImage(data)
        shlwapi = data.index(b"SHLWAPI.dll")
        planted = data[:shlwapi] + b"PLANTED.dll" + data[shlwapi + len(b"SHLWAPI.dll") :]
        self.assertEqual(hardening_faults(PeImage(planted), "x64"),
                         ["imports PLANTED.dll, which is not a system DLL"])

        # An imported function renamed in place, padded with NULs, to the call that must not be
        # imported.
        wanted = b"SetDefaultDllDirectories"
        name = next(f for fs in image.imports().values() for f in fs if len(f) >= len(wanted))
        padding = b"\0" * (len(name) - len(wanted) + 1)
        renamed = data.replace(name.encode() + b"\0", wanted + padding, 1)
        self.assertEqual(hardening_faults(PeImage(renamed), "x64"),
                         ["imports SetDefaultDllDirectories instead of looking it up"])


if __name__ == "__main__":
    unittest.main()
