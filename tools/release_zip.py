#!/usr/bin/env python3
"""Packs a folder into a zip file that is the same bytes on every machine.

    release_zip.py OUT.zip FOLDER

Every file under FOLDER is stored under FOLDER's own name, in sorted order,
with the time SOURCE_DATE_EPOCH (default 1980-01-01), the archive attribute
and no owner, Unix mode or extra fields, so that only the files' contents
decide the zip's bytes.
"""
import os
import sys
import time
import zipfile


def entry_time():
    # Zip times are local times with two-second steps and start in 1980.
    seconds = max(int(os.environ.get("SOURCE_DATE_EPOCH", "315532800")), 315532800)
    return time.gmtime(seconds)[:6]


def files_under(folder):
    found = []
    for parent, _, names in os.walk(folder):
        found.extend(os.path.join(parent, name) for name in names)
    return sorted(found, key=lambda path: os.path.relpath(path, folder).replace(os.sep, "/"))


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: release_zip.py OUT.zip FOLDER")
    out, folder = sys.argv[1], os.path.normpath(sys.argv[2])
    top = os.path.basename(folder)
    stamp = entry_time()
    with zipfile.ZipFile(out, "w") as archive:
        for path in files_under(folder):
            name = top + "/" + os.path.relpath(path, folder).replace(os.sep, "/")
            info = zipfile.ZipInfo(name, date_time=stamp)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0
            info.external_attr = 0x20  # FILE_ATTRIBUTE_ARCHIVE
            with open(path, "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)


if __name__ == "__main__":
    main()
