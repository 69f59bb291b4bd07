#!/usr/bin/env python3
"""Makes the Windows release files the same bytes at every build.

    windows_release.py stage EPOCH DIR EXE README [LICENSE]
        Fills DIR with meravel.exe, README.txt and LICENSE.txt: the texts with
        CRLF line ends and a UTF-8 byte-order mark, as Notepad opens them on
        every Windows; every file dated EPOCH (the installer's cabinet keeps
        the files' dates), the program mode 755 and the texts 644 whatever the
        umask.
    windows_release.py zip EPOCH ZIP DIR
        Writes the portable zip of DIR: the folder, then its files in name
        order, all dated EPOCH, with fixed modes and no owner.
    windows_release.py msi EPOCH MSI UPGRADE_CODE INPUT...
        Dates the installer's summary (created, last saved) EPOCH, and gives
        it a package code made from its inputs (the staged files and the .wxs):
        Windows Installer wants a code of its own for each different package,
        and the same package built twice is the same package.

EPOCH is SOURCE_DATE_EPOCH, in seconds since 1970, UTC. Plain Python.

Copyright (C) les auteurs de Meravel / the Meravel authors
SPDX-License-Identifier: GPL-3.0-or-later
"""

import hashlib
import os
import shutil
import struct
import sys
import time
import uuid
import zipfile


def stage(epoch, folder, exe, readme, licence=None):
    os.makedirs(folder, exist_ok=True)
    files = {"meravel.exe": 0o755}
    shutil.copyfile(exe, os.path.join(folder, "meravel.exe"))
    for source, name in ((readme, "README.txt"), (licence, "LICENSE.txt")):
        if source:
            text = open(source, encoding="utf-8", newline="").read().replace("\r\n", "\n")
            with open(os.path.join(folder, name), "w", encoding="utf-8-sig", newline="\r\n") as out:
                out.write(text)
            files[name] = 0o644
    for name, mode in files.items():
        os.chmod(os.path.join(folder, name), mode)
        os.utime(os.path.join(folder, name), (epoch, epoch))


def write_zip(epoch, path, folder):
    # Zip dates are local times without a zone, 1980 at the earliest.
    stamp = max(time.gmtime(epoch)[:6], (1980, 1, 1, 0, 0, 0))
    top = os.path.basename(os.path.normpath(folder))

    def entry(name, mode):
        info = zipfile.ZipInfo(name, stamp)
        info.create_system = 3  # Unix, so that the modes below are read
        info.external_attr = mode << 16
        return info

    with zipfile.ZipFile(path + ".part", "w") as z:
        directory = entry(top + "/", 0o40755)
        directory.external_attr |= 0x10  # the MS-DOS directory bit
        z.writestr(directory, b"")
        for name in sorted(os.listdir(folder)):
            data = open(os.path.join(folder, name), "rb").read()
            mode = 0o100755 if name.endswith(".exe") else 0o100644
            z.writestr(entry(top + "/" + name, mode), data, zipfile.ZIP_DEFLATED, 9)
    os.replace(path + ".part", path)


def stream_extents(data, wanted):
    """The (offset, length) pieces of the compound file DATA (the container
    of an .msi) that hold the stream named WANTED, in order."""
    (sector_shift, mini_shift) = struct.unpack_from("<HH", data, 0x1E)
    (fat_count, dir_start) = struct.unpack_from("<II", data, 0x2C)
    (cutoff, minifat_start, _, difat_start) = struct.unpack_from("<IIII", data, 0x38)
    size = 1 << sector_shift
    per_sector = size // 4
    offset = lambda sector: (sector + 1) * size

    difat = list(struct.unpack_from("<109I", data, 0x4C))
    while difat_start < 0xFFFFFFFA:
        more = struct.unpack_from("<%dI" % per_sector, data, offset(difat_start))
        difat += more[:-1]
        difat_start = more[-1]
    fat = []
    for sector in difat[:fat_count]:
        fat += struct.unpack_from("<%dI" % per_sector, data, offset(sector))

    def chain(start, table):
        sectors = []
        while start < 0xFFFFFFFA:
            if len(sectors) > len(table):
                raise SystemExit("windows_release: a sector chain loops")
            sectors.append(start)
            start = table[start]
        return sectors

    directory = b"".join(data[offset(s):offset(s) + size] for s in chain(dir_start, fat))
    entries = [directory[i:i + 128] for i in range(0, len(directory), 128)]
    root_sectors = chain(struct.unpack_from("<I", entries[0], 116)[0], fat)
    for e in entries:
        name_bytes = struct.unpack_from("<H", e, 64)[0]
        if e[66] != 2 or e[:max(name_bytes - 2, 0)].decode("utf-16-le") != wanted:
            continue
        (start, length) = struct.unpack_from("<IQ", e, 116)
        length &= 0xFFFFFFFF
        if length >= cutoff:
            pieces = [(offset(s), size) for s in chain(start, fat)]
        else:
            # Small streams live in the mini stream, itself a chain of sectors
            # of the root entry.
            minifat = []
            for s in chain(minifat_start, fat):
                minifat += struct.unpack_from("<%dI" % per_sector, data, offset(s))
            mini = 1 << mini_shift
            pieces = []
            for m in chain(start, minifat):
                at = m * mini
                pieces.append((offset(root_sectors[at >> sector_shift]) + (at & (size - 1)), mini))
        out, left = [], length
        for where, n in pieces:
            out.append((where, min(n, left)))
            left -= out[-1][1]
        return out
    raise SystemExit("windows_release: no stream %r in the package" % wanted)


def finish_msi(epoch, path, upgrade_code, inputs):
    digest = hashlib.sha256()
    for name in inputs:
        digest.update(hashlib.sha256(open(name, "rb").read()).digest())
    code = "{%s}" % str(uuid.uuid5(uuid.UUID(upgrade_code), digest.hexdigest())).upper()
    filetime = (epoch + 11644473600) * 10000000

    data = bytearray(open(path, "rb").read())
    pieces = stream_extents(data, "\x05SummaryInformation")
    stream = bytearray(b"".join(data[o:o + n] for o, n in pieces))
    # One property set: its section lists (identifier, offset) pairs.
    section = struct.unpack_from("<I", stream, 44)[0]
    count = struct.unpack_from("<I", stream, section + 4)[0]
    done = set()
    for i in range(count):
        pid, at = struct.unpack_from("<II", stream, section + 8 + 8 * i)
        at += section
        kind = struct.unpack_from("<H", stream, at)[0]
        if pid in (12, 13) and kind == 64:  # created, last saved: FILETIME
            struct.pack_into("<Q", stream, at + 4, filetime)
            done.add(pid)
        elif pid == 9 and kind == 30:  # the package code, a string
            length = struct.unpack_from("<I", stream, at + 4)[0]
            if length != len(code) + 1:
                raise SystemExit("windows_release: the package code is %d bytes long" % length)
            stream[at + 8:at + 8 + len(code)] = code.encode("ascii")
            done.add(pid)
    if done != {9, 12, 13}:
        raise SystemExit("windows_release: the summary lacks properties %s" % sorted({9, 12, 13} - done))
    at = 0
    for o, n in pieces:
        data[o:o + n] = stream[at:at + n]
        at += n
    open(path, "wb").write(data)


def main(argv):
    if len(argv) < 4:
        raise SystemExit(__doc__)
    command, epoch, args = argv[1], int(argv[2]), argv[3:]
    if command == "stage" and len(args) in (3, 4):
        stage(epoch, *args)
    elif command == "zip" and len(args) == 2:
        write_zip(epoch, *args)
    elif command == "msi" and len(args) >= 3:
        finish_msi(epoch, args[0], args[1], args[2:])
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
