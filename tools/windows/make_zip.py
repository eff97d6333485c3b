#!/usr/bin/env python3
"""Writes a zip archive for Windows users in China: make_zip.py ZIP FOLDER

The archive holds FOLDER (its files, under the folder's own name). Entry names are stored in
GBK, which Explorer on a Chinese Windows reads for names without the UTF-8 flag (Windows 7
ignores that flag), with the UTF-8 name beside each in an Info-ZIP Unicode Path field, which
7-Zip, WinRAR and unzip prefer. Entries carry SOURCE_DATE_EPOCH as their time when it is set,
so that the same files give the same archive.
"""
import os
import struct
import sys
import time
import zipfile
import zlib


def unicode_path_field(stored_name: bytes, name: str) -> bytes:
    # Header 0x7075: version 1, the CRC-32 of the name as stored, the UTF-8 name.
    body = struct.pack("<BI", 1, zlib.crc32(stored_name)) + name.encode("utf-8")
    return struct.pack("<HH", 0x7075, len(body)) + body


class GbkZipInfo(zipfile.ZipInfo):
    """An entry whose name is written in GBK without the UTF-8 flag."""

    def _encodeFilenameFlags(self):
        return self.filename.encode("gbk"), self.flag_bits & ~0x800


def main() -> int:
    if len(sys.argv) != 3:
        print("usage: make_zip.py ZIP FOLDER", file=sys.stderr)
        return 2
    archive, folder = sys.argv[1], sys.argv[2].rstrip("/")
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    base = os.path.basename(folder)
    paths = []
    for root, _, files in os.walk(folder):
        paths += [os.path.join(root, name) for name in files]
    partial = archive + ".part"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as out:
        for path in sorted(paths):
            name = base + "/" + os.path.relpath(path, folder).replace(os.sep, "/")
            stamp = int(epoch) if epoch else os.stat(path).st_mtime
            entry = GbkZipInfo(name, time.gmtime(stamp)[:6])
            entry.compress_type = zipfile.ZIP_DEFLATED
            # MS-DOS attributes, as Windows writes them: an ordinary file.
            entry.create_system = 0
            entry.external_attr = 0x20
            if not name.isascii():
                entry.extra = unicode_path_field(name.encode("gbk"), name)
            with open(path, "rb") as source:
                out.writestr(entry, source.read())
    os.replace(partial, archive)
    return 0


if __name__ == "__main__":
    sys.exit(main())
