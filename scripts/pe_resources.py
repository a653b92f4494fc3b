#!/usr/bin/env python3
"""Reads the header and the resources of a Windows program (PE file, 32 or 64 bits).

    pe_resources.py show  Ondrel.exe      what the file carries, for people
    pe_resources.py check Ondrel.exe --icon-group N [--version 1.1.0.0] [--product Ondrel]
                                          [--machine x86|x64]

check exits with 1 and says why when the program is not a Windows GUI program of the expected
machine, or lacks the icon group (with its icons), the version record (file and product version,
ProductName) or the manifest asking for the asInvoker execution level.
"""

import argparse
import re
import struct
import sys

RT_ICON = 3
RT_GROUP_ICON = 14
RT_VERSION = 16
RT_MANIFEST = 24
MACHINES = {0x14C: "x86", 0x8664: "x64", 0xAA64: "arm64"}


class PeError(Exception):
    pass


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        self.machine = MACHINES.get(machine, hex(machine))
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        if magic == 0x10B:
            directories = optional + 96
        elif magic == 0x20B:
            directories = optional + 112
        else:
            raise PeError("unknown optional header 0x%x" % magic)
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        count = struct.unpack_from("<I", data, directories - 4)[0]
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i)
                            for i in range(count)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            name, vsize, vaddr, rsize, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((vaddr, max(vsize, rsize), raw, rsize))
        self.resources = self._read_resources()

    def offset(self, rva):
        for vaddr, size, raw, rsize in self.sections:
            if vaddr <= rva < vaddr + size:
                if rva - vaddr >= rsize:
                    raise PeError("rva 0x%x lies in uninitialised data" % rva)
                return raw + rva - vaddr
        raise PeError("rva 0x%x lies in no section" % rva)

    def _read_resources(self):
        """{type: {name: {language: bytes}}}; names and types are ints or strings."""
        if len(self.directories) <= 2 or self.directories[2][0] == 0:
            return {}
        base = self.offset(self.directories[2][0])

        def name_of(entry_name):
            if entry_name & 0x80000000:
                at = base + (entry_name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", self.data, at)[0]
                return self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            return entry_name

        def directory(at, depth):
            named, numbered = struct.unpack_from("<HH", self.data, at + 12)
            result = {}
            for i in range(named + numbered):
                entry_name, target = struct.unpack_from("<II", self.data, at + 16 + 8 * i)
                key = name_of(entry_name)
                if target & 0x80000000:
                    if depth >= 2:
                        raise PeError("resource tree deeper than three levels")
                    result[key] = directory(base + (target & 0x7FFFFFFF), depth + 1)
                else:
                    rva, size = struct.unpack_from("<II", self.data, base + target)
                    start = self.offset(rva)
                    result[key] = self.data[start:start + size]
            return result

        return directory(base, 0)

    def resource(self, kind, name):
        """The first language's data of a resource, or None."""
        languages = self.resources.get(kind, {}).get(name)
        if not languages:
            return None
        return next(iter(languages.values()))


def icon_group(pe, group_id):
    """[(width, height, bit count, icon id, icon present)] of an icon group, or None."""
    data = pe.resource(RT_GROUP_ICON, group_id)
    if data is None:
        return None
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    if kind != 1:
        raise PeError("icon group %s is not of icons" % group_id)
    icons = []
    for i in range(count):
        width, height, _, _, _, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", data, 6 + 14 * i)
        icons.append((width or 256, height or 256, bits, icon_id,
                      pe.resource(RT_ICON, icon_id) is not None))
    return icons


def version_record(pe):
    """(file version, product version, {string name: value}) of the version record, or None."""
    data = pe.resource(RT_VERSION, 1)
    if data is None:
        return None
    strings = {}
    fixed = {}

    def block(at, end):
        length, value_length, kind = struct.unpack_from("<HHH", data, at)
        if length == 0:
            return end
        block_end = min(at + length, end)
        key_end = at + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[at + 6:key_end].decode("utf-16-le")
        value_at = (key_end + 2 + 3) & ~3
        value_size = value_length * 2 if kind == 1 else value_length
        value = data[value_at:value_at + value_size]
        if key == "VS_VERSION_INFO" and len(value) >= 52:
            signature, _, fms, fls, pms, pls = struct.unpack_from("<IIIIII", value, 0)
            if signature == 0xFEEF04BD:
                fixed["file"] = "%d.%d.%d.%d" % (fms >> 16, fms & 0xFFFF, fls >> 16, fls & 0xFFFF)
                fixed["product"] = "%d.%d.%d.%d" % (pms >> 16, pms & 0xFFFF, pls >> 16,
                                                    pls & 0xFFFF)
        elif kind == 1 and value_length > 0:
            strings[key] = value.decode("utf-16-le").rstrip("\0")
        child = (value_at + value_size + 3) & ~3
        while child < block_end:
            child = (block(child, block_end) + 3) & ~3
        return block_end

    block(0, len(data))
    return fixed.get("file"), fixed.get("product"), strings


def manifest(pe):
    for name in (1, 2):
        data = pe.resource(RT_MANIFEST, name)
        if data is not None:
            return data.decode("utf-8", "replace")
    return None


def execution_level(text):
    found = re.search(r"requestedExecutionLevel[^>]*\blevel\s*=\s*[\"']([^\"']+)[\"']", text or "")
    return found.group(1) if found else None


def show(pe):
    print("machine: %s, subsystem: %d" % (pe.machine, pe.subsystem))
    for kind, names in sorted(pe.resources.items(), key=lambda item: str(item[0])):
        print("resource type %s: %s" % (kind, ", ".join(str(name) for name in names)))
    for group in pe.resources.get(RT_GROUP_ICON, {}):
        for width, height, bits, icon_id, present in icon_group(pe, group):
            print("icon group %s: %dx%d, %d bits, icon %d%s" % (
                group, width, height, bits, icon_id, "" if present else " MISSING"))
    record = version_record(pe)
    if record:
        print("file version %s, product version %s" % record[:2])
        for key, value in record[2].items():
            print("  %s: %s" % (key, value))
    print("manifest execution level: %s" % execution_level(manifest(pe)))


def check(pe, args):
    problems = []
    if pe.subsystem != 2:
        problems.append("subsystem %d, not a Windows GUI program (2)" % pe.subsystem)
    if args.machine and pe.machine != args.machine:
        problems.append("machine %s, expected %s" % (pe.machine, args.machine))
    icons = icon_group(pe, args.icon_group)
    if icons is None:
        problems.append("no icon group %d" % args.icon_group)
    elif not icons or not all(icon[4] for icon in icons):
        problems.append("icon group %d lacks its icons" % args.icon_group)
    record = version_record(pe)
    if record is None:
        problems.append("no version record")
    else:
        file_version, product_version, strings = record
        if args.version:
            if file_version != args.version or product_version != args.version:
                problems.append("version record %s / %s, expected %s" % (
                    file_version, product_version, args.version))
            if strings.get("ProductVersion") != args.version:
                problems.append("ProductVersion text %r" % strings.get("ProductVersion"))
        if args.product and strings.get("ProductName") != args.product:
            problems.append("ProductName %r, expected %r" % (strings.get("ProductName"),
                                                            args.product))
    level = execution_level(manifest(pe))
    if level != "asInvoker":
        problems.append("manifest execution level %r, expected 'asInvoker'" % level)
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("command", choices=("show", "check"))
    parser.add_argument("program")
    parser.add_argument("--version")
    parser.add_argument("--product")
    parser.add_argument("--icon-group", type=int)
    parser.add_argument("--machine", choices=sorted(set(MACHINES.values())))
    args = parser.parse_args()
    if args.command == "check" and args.icon_group is None:
        parser.error("check needs --icon-group (IDI_ONDREL of resources/resource.h for the game)")
    try:
        with open(args.program, "rb") as file:
            pe = PeFile(file.read())
        if args.command == "show":
            show(pe)
            return 0
        problems = check(pe, args)
    except (OSError, PeError, struct.error) as error:
        print("%s: %s" % (args.program, error), file=sys.stderr)
        return 1
    for problem in problems:
        print("%s: %s" % (args.program, problem), file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
