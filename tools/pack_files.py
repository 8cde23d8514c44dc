#!/usr/bin/env python3
"""Packs files as the installer carries them: each file's size as four bytes,
least significant first, then the file as one zlib stream at zlib's best
compression. Writes OUT_DIR/NAME for each FILE.

    pack_files.py OUT_DIR FILE...
"""

import os
import struct
import sys
import zlib


def main():
    out_dir, files = sys.argv[1], sys.argv[2:]
    os.makedirs(out_dir, exist_ok=True)
    for path in files:
        with open(path, "rb") as f:
            data = f.read()
        packed = struct.pack("<I", len(data)) + zlib.compress(data, 9)
        with open(os.path.join(out_dir, os.path.basename(path)), "wb") as f:
            f.write(packed)


if __name__ == "__main__":
    main()
