#!/usr/bin/env python3
"""Writes the sample AutoCAD 2000 registry and the sample older installation.

The module and file names of the earlier releases are read from the library's
own data tables (src/upgrade/OldReleases.cpp, src/upgrade/SaveLists.cpp), so
the sample always holds exactly what the upgrade looks for. The output is
deterministic: running it again gives the same bytes.

    examples/make_sample.py            # rewrites examples/sample and examples/AutoCAD2000.reg
"""
import calendar
import os
import re
import shutil
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
SAMPLE = os.path.join(HERE, "sample")

TERVILO = "Dorvasys/TERVILO"          # previous TERVILO release, upgraded in place
DORVA_AT = "Dorvasys/DorvaAT"         # older Dorva AT installation: source of the opening data
MEDIA = "Setup/TERVILO"               # the new release as the setup copies it
ACAD = "Programme/ACAD2000"
ACAD_MAP = "Programme/ACADMAP"

OLD_TIME = calendar.timegm((2000, 6, 1, 0, 0, 0))     # Dorva AT 1.4 tables
MEDIA_TIME = calendar.timegm((2002, 9, 30, 0, 0, 0))  # tables of the new release
DIGITS = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-_"


def c_tables(path):
    """name -> list of strings of every `name = { "..." , ... };` in a C++ source."""
    text = open(os.path.join(ROOT, path), encoding="utf-8").read()
    tables = {}
    for name, body in re.findall(r"(\w+)\s*=\s*\{(.*?)\};", text, re.S):
        tables[name] = [s.replace("\\\\", "\\") for s in re.findall(r'"((?:[^"\\]|\\.)*)"', body)]
    return tables


def table(tables, name, count):
    names = tables.get(name)
    if names is None or len(names) != count:
        sys.exit(f"make_sample: {name} with {count} names not found in the upgrade tables")
    return names


def write(relative, data):
    path = os.path.join(SAMPLE, *relative.split("/"))
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def text(*lines):
    """A Windows text file in the ANSI code page."""
    return "".join(line + "\r\n" for line in lines).encode("cp1252")


def binary(kind, name, size=256):
    """Stand-in for a program, module, drawing or font: a recognisable head, then filler."""
    head = {"exe": b"MZ", "arx": b"MZ", "dll": b"MZ", "dwg": b"AC1015", "dwt": b"AC1015",
            "shx": b"AutoCAD-86 shapes 1.0\r\n\x1a", "mnr": b"AutoCAD menu resources\x1a",
            "mnc": b"AutoCAD compiled menu\x1a"}[kind]
    body = head + b"\0" + name.encode("cp1252") + b"\0"
    return body + bytes((i * 7 + len(name)) & 0xFF for i in range(size - len(body)))


def bitmap(seed):
    """A 2 x 2 pixel 24-bit BMP."""
    row = bytes((seed * 40 + i * 60) & 0xFF for i in range(6)) + b"\0\0"  # rows are padded to 4 bytes
    pixels = row + row[::-1]
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def entry(key, value, code=5005):
    """One configuration entry line, "%s 5005 %d %s"."""
    return f"{key} {code} {len(value.encode('cp1252'))} {value}"


def base38(value, width):
    digits = ""
    while True:
        digits = DIGITS[value % 38] + digits
        value //= 38
        if value == 0:
            break
    return digits.rjust(width, "0")


# Opening tables: a 10-byte header (file tag, installation time), then records.
def header(tag, time):
    return struct.pack("<6si", tag.encode("ascii"), time)


def block_table(letter, blocks, time, tag):
    records = []
    for number, (name, width, height, listed) in enumerate(blocks, start=1):
        code = f"{letter}{base38(time, 6)}-{width:04d}-{height:04d}-{letter}{number:02d}"
        assert len(code) == 21 and len(name) <= 14
        records.append(struct.pack(
            "<i15s22s3d3dd5h5d", number, name.encode("cp1252"), code.encode("ascii"),
            width / 1000.0, height / 1000.0, 0.0,           # size in metres
            0.0, 0.0, 0.9 if letter == "F" else 0.0,        # insertion offsets
            listed,                                         # the listed value the entries show
            1, 0, 2, 0, number,                             # flags
            0.0, 0.0, 0.0, 0.0, 0.0))
    assert all(len(r) == 147 for r in records)
    return header(tag, time) + b"".join(records)


def plain_table(kind_tag, names, time, record_size):
    records = []
    for number, name in enumerate(names, start=1):
        record = struct.pack("<i20s", number, name.encode("cp1252"))
        records.append(record + bytes((number * 13 + i) & 0xFF for i in range(record_size - len(record))))
    return header(kind_tag, time) + b"".join(records)


KINDS = {
    # kind: (folder, prefix, types, blocks of the older Dorva AT, blocks of the new release)
    "F": ("Fen-Std", "F-", ["Drehflügel", "Dreh-Kipp", "Festverglasung", "Schiebefenster"],
          [(f"FE-{w // 10:03d}-{h // 10:03d}", w, h, w * h / 1e6)
           for w, h in [(885, 1385), (885, 1010), (1010, 1385), (1135, 1385), (1260, 1385), (1510, 1385),
                        (635, 635), (760, 885), (1010, 1010), (1760, 1385), (2010, 1385), (2260, 1510)]],
          [(f"FE-{w // 10:03d}-{h // 10:03d}", w, h, w * h / 1e6)
           for w, h in [(885, 1385), (1010, 1385), (1135, 1385), (1260, 1385), (1510, 1385), (635, 635),
                        (760, 885), (1010, 1010), (1760, 1385), (2010, 1385), (2260, 1510)]]),
    "T": ("Tue-Std", "T-", ["Drehtür", "Schiebetür", "Pendeltür"],
          [(f"TU-{w // 10:03d}-{h // 10:03d}", w, h, w * h / 1e6)
           for w, h in [(760, 2010), (885, 2010), (1010, 2010), (1260, 2135), (1760, 2135), (885, 2135)]],
          [(f"TU-{w // 10:03d}-{h // 10:03d}", w, h, w * h / 1e6)
           for w, h in [(760, 2010), (885, 2010), (1010, 2010), (1135, 2135), (1260, 2135), (1760, 2135),
                        (885, 2135)]]),
    "D": ("Dur-Std", "D-", ["Durchgang", "Rundbogen"],
          None,  # the older Dorva AT had no passage library
          [(f"DU-{w // 10:03d}-{h // 10:03d}", w, h, w * h / 1e6)
           for w, h in [(885, 2010), (1010, 2135), (1260, 2135), (2010, 2260)]]),
}


def opening_tables(base, letter, blocks, time, tag):
    folder, prefix, types, _, _ = KINDS[letter]
    path = f"{base}/OeffDat/{folder}/{prefix}"
    write(path + "TYP.DAT", plain_table(tag, types, time, 64))
    write(path + "EINBAU.DAT", plain_table(tag, [t + " innen" for t in types] + [t + " außen" for t in types],
                                           time, 48))
    write(path + "WAENDE.DAT", plain_table(tag, ["Mauerwerk 24", "Mauerwerk 30", "Beton 20", "Holzständer"],
                                           time, 32))
    write(path + "BLOCK.DAT", block_table(letter, blocks, time, tag))


def opening_inis(base, release):
    write(f"{base}/FENSTER.INI", text("[Allgemein]", f"Version={release}", "Bibliothek=Fen-Std", "",
                                      "[Typen]", "Anzahl=4", "Typ1=Drehflügel", "Typ2=Dreh-Kipp",
                                      "Typ3=Festverglasung", "Typ4=Schiebefenster", "",
                                      "[Anschlag]", "Innen=1", "Brüstung=0.90"))
    write(f"{base}/TUER.INI", text("[Allgemein]", f"Version={release}", "Bibliothek=Tue-Std", "",
                                   "[Typen]", "Anzahl=3", "Typ1=Drehtür", "Typ2=Schiebetür", "Typ3=Pendeltür",
                                   "", "[Anschlag]", "Links=1"))
    write(f"{base}/DURCHG.INI", text("[Allgemein]", f"Version={release}", "Bibliothek=Dur-Std", "",
                                     "[Typen]", "Anzahl=2", "Typ1=Durchgang", "Typ2=Rundbogen"))


def layer_def(release):
    return text(f"; Layerdefinition Dorva AT {release}", "WAND,1,CONTINUOUS,0.50", "FENSTER,4,CONTINUOUS,0.25",
                "TUER,3,CONTINUOUS,0.25", "DURCHGANG,3,DASHED,0.18", "BEMASSUNG,2,CONTINUOUS,0.18",
                "TEXT,7,CONTINUOUS,0.18")


def user_arch_cfg(base):
    """The user's configuration of the previous release: old library paths, own settings."""
    old = "C:\\Dorvasys\\TERVILO"
    lines = [entry("VERSION", "3.1"), entry("BENUTZER", "Planung Maier"),
             entry("PROJEKTDIR", "C:\\Projekte\\Aktuell"),
             entry("BIBHPT", old + "\\Bibliothek\\Bib.Ini"), entry("BIBTAB", old + "\\Bibliothek\\Std\\Std.Bib"),
             entry("BODENDIR", old + "\\Boden"), entry("BODENDIRALT", "C:\\Archiv\\Boden 1998")]
    for key, folder in (("FEN125_", "Fenster"), ("TUE125_", "Tueren"), ("DUR125_", "Durchg")):
        lines += [entry(f"{key}{n}", f"{old}\\OeffDat\\{folder}") for n in range(1, 5)]
    for key, letter, count in (("FENBL", "F", 12), ("TUEBL", "T", 6)):
        for n in range(1, count + 1):
            value = f"{letter}3ZK0Q0-0000-0000-{letter}{n:02d}|ALT-{letter}{n:02d}|{n:.3f}"
            lines.append(entry(f"{key}{n}", value))
    lines += [entry("MASSSTAB", "100", 5003), entry("WANDHOEHE", "2.750", 5001),
              entry("GESCHOSSHOEHE", "2.950", 5001), entry("TEXTHOEHE", "0.250", 5001),
              entry("EINHEIT", "cm"), entry("LAYERDEF", base + "\\Layer.Def"),
              entry("PLOTSTIL", "Dorva-Monochrom.ctb"), entry("SCHRAFFUR", "ANSI31")]
    return text(*lines)


def acad(folder, product, with_backup):
    write(f"{folder}/Acad.Exe", binary("exe", f"{product} Acad.Exe", 512))
    menu = ["***MENUGROUP=ACAD", "", "***BUTTONS1", ";", "$p0=*", "^C^C", "", "***POP1",
            "**FILE", "ID_MnFile [&Datei]", "ID_New [&Neu...\\tStrg+N]^C^C_new"]
    for suffix in ("", "/SaveMenu1"):
        if suffix and not with_backup:
            continue
        tag = product + (" (Sicherung 1999)" if suffix else "")
        write(f"{folder}/Support{suffix}/Acad.Mnu", text(f"//  AutoCAD-Menü {tag}", *menu))
        write(f"{folder}/Support{suffix}/Acad.Mns", text(f"//  AutoCAD-Menü {tag} (Quelle)", *menu))
        write(f"{folder}/Support{suffix}/Acad.Mnr", binary("mnr", tag, 384))
        write(f"{folder}/Support{suffix}/Acad.Mnc", binary("mnc", tag, 640))
    write(f"{folder}/Support/Acad.pgp", text("; Befehlsaliase", "L,  *LINIE", "K,  *KREIS"))


def registry(modules, products):
    lines = ["REGEDIT4", "; AutoCAD2000.reg: sample AutoCAD 2000 registry with two products and an older Dorva AT release "
             "(written by make_sample.py)", "",
             "[HKEY_LOCAL_MACHINE\\Software\\Autodesk\\AutoCAD\\R15.0]", '"CurVer"="ACAD-1:407"', ""]
    for key, product_id, name, folder, apps in products:
        lines += [f"[HKEY_LOCAL_MACHINE\\Software\\Autodesk\\AutoCAD\\R15.0\\{key}]"]
        if product_id:
            lines += [f'"ProductId"="{product_id}"', f'"ProductName"="{name}"']
        lines += [f'"AcadLocation"="{folder}"', '"Language"="Deutsch"', ""]
        for app, loader in apps:
            lines += [f"[HKEY_LOCAL_MACHINE\\Software\\Autodesk\\AutoCAD\\R15.0\\{key}\\Applications\\{app}]",
                      f'"LOADER"="{loader}"', '"LOADCTRLS"=dword:00000002', ""]
    release = "HKEY_LOCAL_MACHINE\\Software\\Dorvasys\\Dorva AT\\R15.4"
    lines += [f"[{release}\\Lizenz]", '"Seriennummer"="DAT-1400-2718"', ""]
    for module in modules:
        lines += [f"[{release}\\{module}]", '"Version"="1.4"', "",
                  f"[{release}\\{module}\\Commands]", f'"{module.upper()}"="{module.upper()}"', "",
                  f"[{release}\\{module}\\Groups]", f'"{module.upper()}"="{module.upper()}"', "",
                  f"[{release}\\{module}\\Loader]", f'"Module"="C:\\\\Dorvasys\\\\TERVILO\\\\{module}.Arx"', "",
                  f"[{release}\\{module}\\Name]", f'"Deutsch"="{module}"', ""]
    return "\r\n".join(lines).encode("cp1252") + b"\r\n"


def main():
    saves = c_tables("src/upgrade/SaveLists.cpp")
    old = c_tables("src/upgrade/OldReleases.cpp")
    modules = table(old, "OldModuleNames", 10)
    loaders = table(old, "OldLoaderNames", 8)
    german = table(old, "OldGermanResourceNames", 9)
    after_copy = table(saves, "AfterCopySaveList", 15)
    drawings = table(saves, "SupportDrawingList", 23)
    obsolete = table(saves, "ObsoleteFileList", 39)

    shutil.rmtree(SAMPLE, ignore_errors=True)

    # AutoCAD 2000 and AutoCAD Map 2000; Map's menus were backed up once before.
    acad(ACAD, "AutoCAD 2000", False)
    acad(ACAD_MAP, "AutoCAD Map 2000", True)

    # The previous TERVILO release, with everything the upgrade tidies away.
    for name in modules + loaders:
        write(f"{TERVILO}/{name}.Arx", binary("arx", name))
    for name in german:
        write(f"{TERVILO}/Support/{name}.Dll", binary("dll", name))
    for name in after_copy + drawings + obsolete:
        kind = name.rsplit(".", 1)[1].lower()
        path = f"{TERVILO}/{name.replace(chr(92), '/')}"
        if kind in ("exe", "arx", "dwg", "dwt", "shx", "mnr", "mnc"):
            write(path, binary(kind, name))
        elif kind == "bmp":
            write(path, bitmap(len(name)))
        elif kind in ("lsp", "mnl"):
            write(path, text(f";; {name} - TERVILO 3.1", f"(defun c:{name.split('.')[0]} () (princ))"))
        elif kind in ("mnu", "mns"):
            write(path, text(f"//  TERVILO 3.1 {name}", "***MENUGROUP=TERVILO", "***POP1", "**TERVILO"))
        elif kind == "rx":
            write(path, text(*[f"{m}.Arx" for m in modules]))
        elif kind == "scr":
            write(path, text("_menu Tervilo", "(load \"Tervilo.lsp\")"))
        else:
            write(path, text(f"TERVILO 3.1: {name}", "Diese Datei wird nicht mehr verwendet."))
    write(f"{TERVILO}/Projektverwaltung/Projekte.lst", text("Wohnanlage Lindenweg", "Kindergarten Au"))
    write(f"{TERVILO}/Support/Tervilo.pgp", text("; TERVILO Befehlsaliase", "TP, *TVPUNKT"))

    # Its manager folder: the user's configuration and customised menus and LISP files.
    manager = f"{TERVILO}/Manager"
    write(f"{manager}/Arch.Cfg", user_arch_cfg("C:\\Dorvasys\\TERVILO\\Manager"))
    write(f"{manager}/Layer.Def", layer_def("3.1 (angepasst)"))
    write(f"{manager}/Plot.cfg", text(entry("PLOTTER", "HP DesignJet 450C"), entry("PAPIER", "A1")))
    write(f"{manager}/Tervilo.mnu", text("//  TERVILO 3.1, angepasst von Planung Maier", "***MENUGROUP=TERVILO",
                                         "***POP1", "**TERVILO", "[Eigene Punkte]^C^Cmeinepunkte"))
    write(f"{manager}/Tervilo.mns", text("//  TERVILO 3.1 (Quelle), angepasst", "***MENUGROUP=TERVILO"))
    write(f"{manager}/Tervilo.mnc", binary("mnc", "Tervilo 3.1 angepasst"))
    write(f"{manager}/Tervilo.mnr", binary("mnr", "Tervilo 3.1 angepasst"))
    write(f"{manager}/Tervilo.lsp", text(";; TERVILO 3.1 Start, angepasst", "(setvar \"OSMODE\" 33)"))
    write(f"{manager}/MeinePunkte.lsp", text(";; eigene Befehle von Planung Maier",
                                             "(defun c:meinepunkte () (command \"_point\" pause))"))
    write(f"{manager}/Acad.rx", text("Tervilo.Arx", "KivWand.Arx", "KivFenster.Arx"))
    write(f"{manager}/Firmenlogo.bmp", bitmap(7))
    write(f"{manager}/Notizen.txt", text("Plotter im 1. OG, Papier A1 quer."))
    write(f"{manager}/Leer.txt", b"")
    write(f"{manager}/Save1/Arch.Cfg", text(entry("VERSION", "2.0")))
    write(f"{manager}/Save1/Tervilo.mnu", text("//  TERVILO 2.0", "***MENUGROUP=TERVILO"))

    # The older Dorva AT installation the opening data comes from (windows and doors only).
    opening_inis(f"{DORVA_AT}/Manager", "1.4")
    write(f"{DORVA_AT}/Manager/Layer.Def", layer_def("1.4"))
    write(f"{DORVA_AT}/Manager/Arch.Cfg", text(entry("VERSION", "1.4"), entry("EINHEIT", "cm")))
    for letter in ("F", "T"):
        opening_tables(DORVA_AT, letter, KINDS[letter][3], OLD_TIME, "OEF14")

    # The new release as the setup copies it: program folder and manager folder.
    program = f"{MEDIA}/Programm"
    for name in ("Tervilo15", "DorvaAT15"):
        write(f"{program}/{name}.Arx", binary("arx", name))
    write(f"{program}/Support/DorvaAT15German.Dll", binary("dll", "DorvaAT15German"))
    write(f"{program}/Bib/Bib.Ini", text("[Bibliothek]", "Standard=Std\\Std.Bib"))
    write(f"{program}/Bib/Std/Std.Bib", text("STANDARD 1.5", "WAND;FENSTER;TUER;DURCHGANG"))
    for name in ("Fliese30", "Parkett", "Estrich"):
        write(f"{program}/Blocks/Boden/{name}.dwg", binary("dwg", name))
    for letter in ("F", "T", "D"):
        opening_tables(program, letter, KINDS[letter][4], MEDIA_TIME, "OEF15")
    media_manager = f"{MEDIA}/Manager"
    write(f"{media_manager}/Tervilo.mnu", text("//  TERVILO 3.5", "***MENUGROUP=TERVILO", "***POP1", "**TERVILO"))
    write(f"{media_manager}/Tervilo.mns", text("//  TERVILO 3.5 (Quelle)", "***MENUGROUP=TERVILO"))
    write(f"{media_manager}/Tervilo.mnl", text(";; TERVILO 3.5", "(load \"Tervilo.lsp\")"))
    write(f"{media_manager}/Tervilo.lsp", text(";; TERVILO 3.5 Start", "(princ \"TERVILO 3.5\")"))
    write(f"{media_manager}/Acad.rx", text("Tervilo15.Arx", "DorvaAT15.Arx"))

    apps = [(m, f"C:\\\\Dorvasys\\\\TERVILO\\\\{m}.Arx") for m in modules]
    products = [
        ("ACAD-1:407", "ACAD", "AutoCAD 2000", "C:\\\\Programme\\\\ACAD2000",
         [("AcadVba", "C:\\\\Programme\\\\ACAD2000\\\\acadvba.arx")]),
        ("ACAD-4001:407", "MAP", "AutoCAD Map 2000", "C:\\\\Programme\\\\ACADMAP",
         [("AcMapUI", "C:\\\\Programme\\\\ACADMAP\\\\acmapui.arx")] + apps),
        # What an uninstalled English product left behind: no ProductId, so not offered.
        ("ACAD-1:409", None, None, "C:\\\\Programme\\\\ACAD2000E", []),
    ]
    with open(os.path.join(HERE, "AutoCAD2000.reg"), "wb") as out:
        out.write(registry(modules, products))


if __name__ == "__main__":
    main()
