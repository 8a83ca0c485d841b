#!/usr/bin/env python3
"""What the application manifest of a Windows program asks for, one fact a line:

    level LEVEL uiAccess UIACCESS
    dependency NAME VERSION ARCHITECTURE PUBLIC_KEY_TOKEN
    supportedOS ID
    dpiAware VALUE

The manifest is the resource of type 24, number 1, in the PE file named on the command
line; the file is read with nothing but the format's own tables."""
import struct
import sys
import xml.etree.ElementTree as ElementTree

data = open(sys.argv[1], "rb").read()
pe = struct.unpack_from("<I", data, 0x3C)[0]
sections, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
optional = pe + 24
directories = optional + (96 if struct.unpack_from("<H", data, optional)[0] == 0x10B else 112)


def offset(rva):
    for i in range(sections):
        size, address, raw_size, raw = struct.unpack_from("<IIII", data, optional + optional_size + 40 * i + 8)
        if address <= rva < address + max(size, raw_size):
            return raw + rva - address
    sys.exit(f"{sys.argv[1]}: address {rva:#x} is in no section")


resources = offset(struct.unpack_from("<I", data, directories + 2 * 8)[0])


def entry(table, wanted):
    """The entry of a resource table with the given id (any when None)."""
    names, ids = struct.unpack_from("<HH", data, resources + table + 12)
    for i in range(names + ids):
        ident, target = struct.unpack_from("<II", data, resources + table + 16 + 8 * i)
        if wanted is None or ident == wanted:
            return target & 0x7FFFFFFF
    sys.exit(f"{sys.argv[1]}: no manifest resource")


leaf = entry(entry(entry(0, 24), 1), None)
address, size = struct.unpack_from("<II", data, resources + leaf)
root = ElementTree.fromstring(data[offset(address) : offset(address) + size])
for element in root.iter():
    tag = element.tag.split("}")[-1]
    a = element.attrib
    if tag == "requestedExecutionLevel":
        print("level", a.get("level"), "uiAccess", a.get("uiAccess"))
    elif tag == "assemblyIdentity" and a.get("publicKeyToken"):
        print("dependency", a.get("name"), a.get("version"), a.get("processorArchitecture"), a.get("publicKeyToken"))
    elif tag == "supportedOS":
        print("supportedOS", a.get("Id"))
    elif tag == "dpiAware":
        print("dpiAware", (element.text or "").strip())
