#!/usr/bin/env python3
"""Reads a shipped 32-bit program's import slots from its bytes, as the Windows loader would.

tools/slots.py PROGRAM.exe DEF...

Every slot of the import table must name a function, and every slot of the functions loaded
on first use (the DLLs the .def files name) must hold the address of code in the program: its
loading stub. A zero there is a call to address 0 at the first use. mingw's delay-load
descriptors are not entered in the header's directory, so they are found by their DLL name.
Prints one line, and exits 1 on the first fault it names.
"""
import re
import struct
import sys

EXECUTE = 0x20000000


def fail(program, why):
    print(f"{program}: {why}")
    sys.exit(1)


def main():
    program, defs = sys.argv[1], sys.argv[2:]
    data = open(program, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        fail(program, "not a PE file")
    sections_count, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    if struct.unpack_from("<H", data, optional)[0] != 0x10B:
        fail(program, "not a 32-bit program")
    image_base = struct.unpack_from("<I", data, optional + 28)[0]
    sections = []
    for i in range(sections_count):
        size, rva, raw_size, raw = struct.unpack_from("<IIII", data, optional + optional_size + 40 * i + 8)
        flags = struct.unpack_from("<I", data, optional + optional_size + 40 * i + 36)[0]
        sections.append((rva, max(size, raw_size), raw, raw_size, flags))

    def offset(rva):
        for start, size, raw, raw_size, _ in sections:
            if start <= rva < start + size and rva - start < raw_size:
                return raw + rva - start
        fail(program, f"RVA {rva:#x} is outside the file")

    def dword(rva):
        return struct.unpack_from("<I", data, offset(rva))[0]

    def text(rva):
        at = offset(rva)
        return data[at:data.index(b"\0", at)].decode("ascii")

    def code(va):
        rva = va - image_base
        return any(s <= rva < s + n and f & EXECUTE for s, n, _, _, f in sections)

    # The import table: each slot names a function by a hint and a name in the file.
    imports = dlls = 0
    directory = struct.unpack_from("<I", data, optional + 96 + 8)[0]
    for at in range(directory, 1 << 32, 20):
        names, _, _, dll, slots = struct.unpack_from("<5I", data, offset(at))
        if not dll:
            break
        dlls += 1
        for i in range(0, 1 << 16, 4):
            name, slot = dword(names + i), dword(slots + i)
            if name != slot:
                fail(program, f"{text(dll)}: slot {i // 4} is {slot:#x}, its name {name:#x}")
            if not slot:
                break
            if not slot & 0x80000000 and not re.fullmatch(r"\w+", text(slot + 2)):
                fail(program, f"{text(dll)}: slot {i // 4} names no function")
            imports += 1

    # The functions loaded on first use: each slot holds the address of code.
    first_use = []
    for path in defs:
        listed = open(path).read()
        dll = re.search(r"^LIBRARY\s+(\S+)", listed, re.M).group(1)
        wanted = set(re.findall(r"^(\w+)@\d+", listed, re.M))
        name_rvas = [rva + m.start() for rva, _, raw, raw_size, _ in sections
                     for m in re.finditer(re.escape(dll.encode()) + b"\0", data[raw:raw + raw_size], re.I)]
        descriptors = [at for at in range(0, len(data) - 32, 4)
                       if struct.unpack_from("<II", data, at) in {(1, n) for n in name_rvas}]
        if len(descriptors) != 1:
            fail(program, f"{dll}: {len(descriptors)} descriptors of functions loaded on first use")
        _, _, _, slots, names = struct.unpack_from("<5I", data, descriptors[0])
        found = set()
        for i in range(0, 1 << 16, 4):
            name = dword(names + i)
            if not name:
                break
            function, slot = text(name + 2), dword(slots + i)
            if not code(slot):
                fail(program, f"{dll} {function}: the slot holds {slot:#x}, not the address of code")
            found.add(function)
        if found != wanted:
            fail(program, f"{dll}: loads {sorted(found)} on first use, its list names {sorted(wanted)}")
        first_use.append(f"{dll} {len(found)}")
    print(f"{program}: {imports} imports from {dlls} DLLs, each naming its function; "
          f"{', '.join(first_use)} loaded on first use, each slot at its code")


if __name__ == "__main__":
    main()
