#!/usr/bin/env python3
"""Builds the launcher's PROFILE.TXT from its readable source PROFILE.tsv.

The launcher reads the table as UTF-16 little-endian with a byte-order mark and CR LF row ends;
the source is UTF-8 with LF so it can be edited and reviewed as plain text.

    make_profile.py           rewrite ../PROFILE.TXT
    make_profile.py --check   exit 1 when ../PROFILE.TXT is not what the source gives
"""
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
SOURCE = HERE / "PROFILE.tsv"
TARGET = HERE.parent / "PROFILE.TXT"


def build():
    text = SOURCE.read_text(encoding="utf-8")
    if "\r" in text:
        sys.exit("PROFILE.tsv must use LF line ends; CR would end a row twice")
    rows = text.split("\n")
    if rows and rows[-1] == "":
        rows.pop()
    return b"\xff\xfe" + "".join(row + "\r\n" for row in rows).encode("utf-16-le")


def main():
    table = build()
    if "--check" in sys.argv[1:]:
        if not TARGET.exists() or TARGET.read_bytes() != table:
            print(f"{TARGET} is out of date; run {pathlib.Path(__file__).name}", file=sys.stderr)
            return 1
        return 0
    TARGET.write_bytes(table)
    return 0


if __name__ == "__main__":
    sys.exit(main())
