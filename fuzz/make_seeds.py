#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

Text seeds are short valid and nearly valid inputs; the archive seeds are small mega files with
a correct, sorted file table, so the fuzzer starts from archives that open.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    path = os.path.join(HERE, "corpus", target, name)
    with open(path, "wb") as seed:
        seed.write(data if isinstance(data, bytes) else data.encode("latin-1"))


EQUATIONS = {
    "arithmetic": "1 + 2 * 3 - 10 / 4",
    "comparisons": "1 < 2 == 3 >= 4 != 5 <= 6 > 7",
    "tokens": "Unit.Speed * Unit.Health + Enemy.Armor.Value",
    "bindings": "Unit.Speed{P = 1, Q = Enemy.Armor}",
    "string_binding": 'Unit.Tag{Name = "Heavy Tank"}',
    "object": "UnitType[Heavy Tank|Elite] + 1",
    "clamp": "clamp(Unit.Speed, -0.5e1, .5)",
    "clamp_short": "clamp(1, 2)",
    "random_negate": "-(3 # 7) - -Unit.Speed",
    "divide_zero": "5 / 0",
    "rebuild": "1 + 1\0Unit.Speed / 0",
    "nested": "((((1))))",
    "multiline": "\n  Unit.Speed\t*\r\n 2  ",
    # Step faults the differential comparison must catch at once. With the fuzz host, A.G answers
    # 0, A.F a NaN and A.C 1 (no blank after a token name: it would be part of the name); the
    # object CI has the id 0x7FDA2161, a NaN of another payload.
    "divide_token_zero": "A.C/A.G+1",
    "clamp_equal_bounds": "clamp(A.C,2,2)+clamp(5,A.C,A.C)",
    "nan_comparisons": "(A.F<=1)+(1<=A.F)+(A.F>=1)+(1>=A.F)+(A.F<1)+(A.F>1)",
    "nan_payloads": "Db[CI]*A.F",
    "nan_payloads_sum": "Db[CI]+A.F",
    "frame_deep": "A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(-A.C)))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))\0A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(A.A-(-A.C))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))))",
    "one_value_failed_build": "clamp(1)",
}
CALLS = {
    "empty": "Threat{}",
    "bindings": "threat{a=b,c=d}",
    "blank_name": "Two Words{Unit=Enemy}",
    "divide": "Divide{}",
    "no_registry": "!Calm{}",
    "named": "Named{ x = y }",
}
XML = {
    "equations": '<?xml version="1.0"?>\n<Equations>\n  <Threat>Unit.Speed * 2</Threat>\n'
                 '  <!-- comment -->\n  <Calm a="1" b= "2">1</Calm>\n</Equations>\n',
    "nested": "<?xml?><R><A><B><C k=\"v\">x <!-- c --> y</C></B><D/></A><E/></R><!-- tail -->",
    "megafiles": '<?xml version="1.0"?>\n<Mega_Files>\n <File>Data\\Tactics.meg</File>\n <File></File>\n</Mega_Files>\n',
    "entities": "\xef\xbb\xbf<?xml?>\r\n<R>\r\n<A>&amp; &lt;</A>\r\n</R>\r\n",
}
PROFILE_ROWS = [
    ["Launcher String Tables"],
    [],
    ["Section", "Key", "EN-US", "EN", "DE", "FR-CA", "FR", "ES", "IT", "PL", "RU", ""],
    ["Products", "Product1", "", "QMRT"],
    ["QMRT", "DisplayExit", "", "Exit", "Beenden", "Quitter", "Quitter", "Salir", "Esci", "Wyjscie", "Vyhod", ""],
    ["", "AskDirectXMissing", "", "\"Missing,\\nreinstall\"", "", "", "", "", "", ""],
    ["", "BackgroundMain", "", "Main_up_int.GIF", "", "", "", "Main_up_spanish.GIF"],
]
REGISTRY = {
    "installed": "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Hollowbrook\\ZPHQR\\1.0]\r\n"
                 "\"Installed\"=dword:00000001\r\n\"InstallPath\"=\"C:\\\\Games\\\\ZPHQR\"\r\n"
                 "\"ExePath\"=hex(2):43,3a,5c,00\r\n@=\"default\"\r\n",
    "unicode": "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Sound]\n"
               "\"Path\"=hex(2):43,00,3a,00,\\\n  5c,00,00,00\n\"Gone\"=-\n[-HKEY_CURRENT_USER\\Software\\Old]\n",
    "foreign": "REGEDIT4\n[HKEY_CLASSES_ROOT\\x]\n\"a\"=\"b\"\n; comment\n[HKLM\\Soft]\n\"n\"=hex:01,02\n",
}


def mega_archive(members):
    """members: list of (normalised name, bytes). Returns the archive image."""
    names = [name for name, _ in members]
    name_table = b"".join(struct.pack("<H", len(n)) + n.encode("latin-1") for n in names)
    header_size = 8 + len(name_table) + 20 * len(members)
    records = []
    start = header_size
    for name_index, (name, content) in enumerate(members):
        records.append([zlib.crc32(name.encode("latin-1")) & 0xFFFFFFFF, 0, len(content), start, name_index])
        start += len(content)
    records.sort(key=lambda record: record[0])
    table = b""
    for index, record in enumerate(records):
        record[1] = index
        table += struct.pack("<IIIIHH", record[0], record[1], record[2], record[3], record[4], 0)
    data = b"".join(content for _, content in members)
    return struct.pack("<II", len(members), len(names)) + name_table + table + data


def main():
    for name, text in EQUATIONS.items():
        write("equation_text", name, text)
    for name, text in CALLS.items():
        write("call_text", name, text)
    for name, text in XML.items():
        write("xml_reader", name, text)
    table = "".join("\t".join(row) + "\r\n" for row in PROFILE_ROWS)
    write("profile_table", "utf16le", b"\xff\xfe" + table.encode("utf-16-le"))
    write("profile_table", "utf16be", b"\xfe\xff" + table.encode("utf-16-be"))
    write("profile_table", "bytes", table)
    for name, text in REGISTRY.items():
        write("registry_file", name, text)
    equation_file = XML["equations"].encode("latin-1")
    write("mega_archive", "equations", mega_archive([
        ("DATA\\XML\\AI\\PERCEPTUALEQUATIONS\\COMBAT.XML", equation_file),
        ("DATA\\XML\\AI\\PERCEPTUALEQUATIONS\\SCOUTING.XML", equation_file[:40]),
        ("DATA\\XML\\AI\\PERCEPTUALEQUATIONS\\DEEP\\INNER.XML", b"<?xml?><R><A/></R>"),
        ("DATA\\EMPTY.BIN", b""),
    ]))
    write("mega_archive", "single", mega_archive([("README.TXT", b"hello")]))


if __name__ == "__main__":
    main()
