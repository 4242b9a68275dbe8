#!/usr/bin/env python3
"""Tells what the demo upgrade changed, from snapshots taken before and after it.

    demo_account.py snapshot DRIVE_C SNAPSHOT_DIR REGFILE...   # copy the sample folders, keep the registry exports
    demo_account.py report BEFORE AFTER KIVHOST_LOG            # the readable account
    demo_account.py agree FIRST SECOND FIRST_LOG SECOND_LOG    # two runs of the upgrade: the same effects?

    demo_account.py undone BEFORE AFTER                        # whether an undone run left all as it was

Everything said comes from comparing the two snapshots (files, registry exports)
and from the buffers kivhost printed; nothing is assumed about what the DLL does.
"""
import datetime
import hashlib
import os
import re
import shutil
import struct
import sys

FOLDERS = ("Dorvasys", "Programme", "Setup")
SETUP_MEDIA = "Setup"  # the new release that CopyTree copied from
SAVE_FOLDER = re.compile(r"^Save(Menu)?\d+$", re.I)


def win(path):
    return "C:\\" + path.replace("/", "\\")


def parent(path):
    return path.rsplit("/", 1)[0] if "/" in path else ""


def base(path):
    return path.rsplit("/", 1)[-1]


# ---- snapshots -------------------------------------------------------------

def snapshot(drive_c, target, reg_files):
    shutil.rmtree(target, ignore_errors=True)
    os.makedirs(target)
    for folder in FOLDERS:
        if os.path.isdir(os.path.join(drive_c, folder)):
            shutil.copytree(os.path.join(drive_c, folder), os.path.join(target, "files", folder))
    for reg in reg_files:
        shutil.copy(reg, os.path.join(target, os.path.basename(reg)))


def load_files(snap):
    files, folders = {}, set()
    root = os.path.join(snap, "files")
    for dirpath, dirnames, filenames in os.walk(root):
        rel = os.path.relpath(dirpath, root).replace(os.sep, "/")
        if rel != ".":
            folders.add(rel)
        for name in filenames:
            path = name if rel == "." else rel + "/" + name
            with open(os.path.join(dirpath, name), "rb") as f:
                files[path] = f.read()
    return files, folders


def load_registry(snap):
    """key -> {value name: data} from every exported .reg file of a snapshot."""
    keys = {}
    for name in sorted(os.listdir(snap)):
        if not name.endswith(".reg"):
            continue
        raw = open(os.path.join(snap, name), "rb").read()
        text = raw.decode("utf-16") if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else raw.decode("cp1252")
        key = None
        for line in text.replace("\\\r\n  ", "").splitlines():
            if line.startswith("[") and line.endswith("]"):
                key = line[1:-1]
                keys.setdefault(key, {})
            elif key and "=" in line:
                value, data = line.split("=", 1)
                keys[key][value.strip('"')] = data.strip('"').replace("\\\\", "\\")
    return keys


def short_key(key):
    return key.replace("HKEY_LOCAL_MACHINE\\Software\\", "HKLM\\...\\")


# ---- file formats ----------------------------------------------------------

def cfg_entries(data):
    """Configuration lines in file order, each as (key, rest of the line)."""
    lines = data.decode("cp1252").split("\r\n")
    if lines and lines[-1] == "":
        lines.pop()
    return [(line.split(" ", 1)[0], line.split(" ", 3)[3] if line.count(" ") >= 3 else line) for line in lines]


def is_table(path):
    return path.upper().endswith(".DAT") and "/OEFFDAT/" in path.upper() + "/"


def table_time(data):
    return struct.unpack_from("<i", data, 6)[0] if len(data) >= 10 else None


def block_codes(path, data):
    if not path.upper().endswith("BLOCK.DAT"):
        return []
    return [data[10 + 147 * n + 19:10 + 147 * n + 40].split(b"\0")[0].decode("ascii", "replace")
            for n in range((len(data) - 10) // 147)]


def table_shape(path, data):
    """The table without what stamping changes: header time, block code characters 2 to 7."""
    shaped = bytearray(data)
    shaped[6:10] = b"\0\0\0\0"
    if path.upper().endswith("BLOCK.DAT"):
        for n in range((len(data) - 10) // 147):
            at = 10 + 147 * n + 19 + 1
            shaped[at:at + 6] = b"......"
    return bytes(shaped)


def when(seconds):
    return datetime.datetime.fromtimestamp(seconds, datetime.timezone.utc).strftime("%Y-%m-%d %H:%M:%S UTC")


# ---- the account -----------------------------------------------------------

class Account:
    def __init__(self, before, after, log):
        self.old, self.old_dirs = load_files(before)
        self.new, self.new_dirs = load_files(after)
        self.old_reg = load_registry(before)
        self.new_reg = load_registry(after)
        self.log = open(log, encoding="utf-8", errors="replace").read().splitlines()
        self.explained = set()  # paths already told about
        self.by_content = {}
        for path, data in self.old.items():
            self.by_content.setdefault(hashlib.sha1(data).digest(), []).append(path)
        self.out = []

    def say(self, text=""):
        self.out.append(text)

    def names(self, paths, limit=8):
        shown = sorted(base(p) for p in paths)
        more = f", ... ({len(shown)} in all)" if len(shown) > limit else ""
        return ", ".join(shown[:limit]) + more

    def origin(self, path, data):
        """A before-file with the same name and bytes, preferring one that is gone now."""
        same = [p for p in self.by_content.get(hashlib.sha1(data).digest(), []) if base(p).lower() == base(path).lower()]
        same.sort(key=lambda p: (p in self.new, p != path))
        return same[0] if same else None

    def buffers(self):
        values = {}
        for line in self.log:
            m = re.match(r"\s+(\w+) = \"(.*)\"$", line)
            if m:
                values[m.group(1)] = m.group(2).replace("\\\\", "\\")
        return values

    def product(self):
        self.say("AutoCAD product")
        values = self.buffers()
        key = "HKEY_LOCAL_MACHINE\\Software\\Autodesk\\AutoCAD\\R15.0"
        before = self.old_reg.get(key, {}).get("CurVer", "(none)")
        after = self.new_reg.get(key, {}).get("CurVer", "(none)")
        chosen = values.get("svProductKey")
        if chosen:
            name = self.new_reg.get(f"{key}\\{chosen}", {}).get("ProductName", "?")
            self.say(f"  chosen: {chosen} ({name}), AutoCAD folder {values.get('svAcadFolder', '(not written)')}")
        else:
            self.say("  no product was chosen: KivGetMainAcadData wrote nothing")
        self.say(f"  CurVer: {before} -> {after}" if before != after else f"  CurVer: {after} (unchanged)")
        self.say()

    def pages(self):
        self.say("Pages")
        shown = False
        for line in self.log:
            if re.match(r"line \d+: (KivGetMainAcadData|KivShowTargeDir|ShowTerviloUserName|KivIsWithinTablet)\(", line):
                self.say("  " + re.sub(r"^line \d+: ", "", line))
                shown = True
            elif shown and line.strip().startswith("page "):
                self.say("      " + line.strip())
            elif not line.startswith(" "):
                shown = False
        self.say()

    def save_folders(self):
        self.say("Save folders")
        found = False
        for folder in sorted(self.new_dirs - self.old_dirs):
            if not SAVE_FOLDER.match(base(folder)):
                continue
            found = True
            inside = sorted(p for p in self.new if parent(p) == folder)
            self.say(f"  {win(folder)}: new, {len(inside)} file(s)")
            moved, copied, other = [], [], []
            for path in inside:
                src = self.origin(path, self.new[path])
                self.explained.add(path)
                if src is None:
                    other.append(path)
                elif src in self.new:
                    copied.append(src)
                else:
                    moved.append(src)
                    self.explained.add(src)
            for verb, paths in (("moved here from", moved), ("copied here from", copied)):
                for source_folder in sorted({parent(p) for p in paths}):
                    group = [p for p in paths if parent(p) == source_folder]
                    self.say(f"    {verb} {win(source_folder)} ({len(group)}): {self.names(group, 30)}")
            if other:
                self.say(f"    of unknown origin: {self.names(other)}")
        if not found:
            self.say("  none")
        self.say()

    def moved_and_deleted(self):
        moved, deleted = {}, {}
        for path in sorted(set(self.old) - set(self.new)):
            if path in self.explained:
                continue
            targets = [p for p in set(self.new) - set(self.old)
                       if base(p).lower() == base(path).lower() and self.new[p] == self.old[path]]
            if targets:
                moved.setdefault((parent(path), parent(targets[0])), []).append(path)
                self.explained.update([path, targets[0]])
            else:
                deleted.setdefault(parent(path), []).append(path)
                self.explained.add(path)
        self.say("Files moved")
        for (src, dst), paths in sorted(moved.items()):
            self.say(f"  {win(src)} -> {win(dst)} ({len(paths)}): {self.names(paths)}")
        if not moved:
            self.say("  none")
        self.say("Files deleted")
        for folder, paths in sorted(deleted.items()):
            self.say(f"  {win(folder)} ({len(paths)}): {self.names(paths, 12)}")
        if not deleted:
            self.say("  none")
        self.say()

    def arrived(self):
        """New and replaced files: from the setup media, from the older installation, or other."""
        media, copied, other = {}, {}, []
        for path in sorted(self.new):
            if path in self.explained or path.startswith(SETUP_MEDIA + "/"):
                continue
            if path in self.old and self.old[path] == self.new[path]:
                continue
            data = self.new[path]
            if path.lower().endswith(".cfg") or is_table(path):
                continue  # told in their own sections
            src = self.origin(path, data)
            if src and src.startswith(SETUP_MEDIA + "/"):
                media.setdefault(parent(path), []).append(path)
            elif src:
                copied.setdefault((parent(src), parent(path)), []).append(path)
            else:
                other.append(path)
            self.explained.add(path)
        self.say("Installed by the setup's file copy (CopyTree)")
        for folder, paths in sorted(media.items()):
            replaced = [p for p in paths if p in self.old]
            note = f", {len(replaced)} of them replacing older files" if replaced else ""
            self.say(f"  {win(folder)} ({len(paths)}{note}): {self.names(paths)}")
        self.say("Copied across from the older installation")
        for (src, dst), paths in sorted(copied.items()):
            self.say(f"  {win(src)} -> {win(dst)}: {self.names(paths)}")
        if not copied:
            self.say("  none")
        for path in other:
            self.say(f"  changed: {win(path)}")
        self.say()

    def configuration(self):
        for path in sorted(self.new):
            if not path.lower().endswith(".cfg") or path.startswith(SETUP_MEDIA + "/"):
                continue
            if path in self.explained or self.old.get(path) == self.new[path]:
                continue
            self.explained.add(path)
            before = cfg_entries(self.old.get(path, b""))
            after = cfg_entries(self.new[path])
            old_values = {}
            for key, value in before:
                old_values.setdefault(key.upper(), value)
            self.say(f"Configuration {win(path)}: {len(before)} lines before, {len(after)} after")
            kept = [k for k, v in after if (k, v) in before]
            entered = [(k, v) for k, v in after if (k, v) not in before]
            gone = [k for k, v in before if (k, v) not in after]
            # Numbered keys of one family (FENBL1..FENBL10, FEN125_1..FEN125_4) are told together.
            families = {}
            for key, value in entered:
                families.setdefault(re.sub(r"\d+$", "", key), []).append((key, value))
            for members in families.values():
                key, value = members[0]
                keys = key if len(members) == 1 else f"{key}..{members[-1][0]} ({len(members)})"
                old = old_values.get(key.upper())
                if old is None:
                    self.say(f"  new      {keys}: {key} = {value}")
                else:
                    self.say(f"  replaced {keys}: {key} = {old}")
                    self.say(f"           {' ' * len(keys)}  {' ' * len(key)} -> {value}")
            lost = [k for k in gone if k.upper() not in {e[0].upper() for e in entered}]
            if lost:
                self.say(f"  removed  {', '.join(lost)}")
            self.say(f"  unchanged ({len(kept)}): {', '.join(kept)}")
            self.say("  (entered lines go to the end of the file, in the order entered)")
            self.say()

    def tables(self):
        self.say("Opening tables")
        told = False
        # Where a table's content came from: the same name and the same bytes but for the stamp.
        groups, blocks = {}, {}
        sources = {}
        for path, data in self.old.items():
            if is_table(path):
                sources.setdefault((base(path).upper(), table_shape(path, data)), []).append(path)
        for path in sorted(self.new):
            if not is_table(path) or path.startswith(SETUP_MEDIA + "/"):
                continue
            data = self.new[path]
            if path in self.old and self.old[path] == data:
                continue
            candidates = sources.get((base(path).upper(), table_shape(path, data)), [])
            # Prefer the older installation over the setup media, and the table's own earlier self first.
            candidates.sort(key=lambda p: (p != path, p.startswith(SETUP_MEDIA + "/")))
            if not candidates:
                self.say(f"  {win(path)}: changed beyond its stamp")
                continue
            source = candidates[0]
            told = True
            src_data = self.old[source]
            where = "in place" if source == path else \
                "installed by the setup" if source.startswith(SETUP_MEDIA + "/") else "copied from " + win(parent(source))
            stamp = (table_time(src_data), table_time(data))
            groups.setdefault((parent(path), where, stamp), []).append(path)
            codes = list(zip(block_codes(source, src_data), block_codes(path, data)))
            if codes:
                restamped = sum(1 for a, b in codes if a != b)
                blocks[path] = f"{restamped} of {len(codes)} block codes restamped, e.g. {codes[0][0]} -> {codes[0][1]}"
        for (folder, where, (was, now)), paths in sorted(groups.items()):
            stamp = f"stamped {when(was)} -> {when(now)}" if was != now else f"not stamped ({when(now)})"
            self.say(f"  {win(folder)}: {', '.join(base(p) for p in paths)}")
            self.say(f"      {where}; {stamp}")
            for path in paths:
                if path in blocks:
                    self.say(f"      {base(path)}: {blocks[path]}")
        if not told:
            self.say("  none changed")
        self.say()

    def registry(self):
        self.say("Registry")
        removed = sorted(set(self.old_reg) - set(self.new_reg))
        added = sorted(set(self.new_reg) - set(self.old_reg))
        # Keys removed with their sub-keys are told as one, grouped under their parent.
        tops = [k for k in removed if not any(k.startswith(r + "\\") for r in removed)]
        groups = {}
        for key in tops:
            groups.setdefault(key.rsplit("\\", 1)[0], []).append(key)
        for parent_key, keys in sorted(groups.items()):
            names = [k.rsplit("\\", 1)[1] for k in keys]
            subs = sorted({k[len(t) + 1:] for t in keys for k in removed if k.startswith(t + "\\")})
            kept = sorted(k.rsplit("\\", 1)[1] for k in self.new_reg if k.rsplit("\\", 1)[0] == parent_key)
            self.say(f"  removed below {short_key(parent_key)} ({len(names)}): {', '.join(names)}")
            if subs:
                self.say(f"      each with its sub-keys {', '.join(subs)}")
            self.say(f"      still there: {', '.join(kept) if kept else 'nothing'}")
        for key in added:
            self.say(f"  added   {short_key(key)}")
        for key in sorted(set(self.old_reg) & set(self.new_reg)):
            for value in sorted(set(self.old_reg[key]) | set(self.new_reg[key])):
                a, b = self.old_reg[key].get(value), self.new_reg[key].get(value)
                if a != b:
                    self.say(f"  {short_key(key)}: {value} {a} -> {b}")
        if not (removed or added):
            self.say("  no key added or removed")
        self.say()

    def report(self):
        self.say("What the upgrade changed")
        self.say("========================")
        self.say()
        self.product()
        self.pages()
        self.save_folders()
        self.tables()
        self.configuration()
        self.moved_and_deleted()
        self.arrived()
        self.registry()
        return "\n".join(self.out)


def calls(log):
    """kivhost's lines for the calls, their results and buffers; not its page answers and screenshots,
    and not the progress window's end, which only a run with windows has."""
    return [line for line in open(log, encoding="utf-8", errors="replace").read().splitlines()
            if re.match(r"line \d+: |        \w+( = |  ?unchanged)", line) and "KivRegProgDestroy() = " not in line]


def unstamped(path, data):
    """A file without the installation time that stamping writes: in tables and in block entries' codes."""
    if is_table(path):
        return table_shape(path, data)
    if path.upper().endswith(".CFG"):
        return re.sub(rb"(?m)^(\S+ 5005 \d+ .).{6}(?=[^|\r\n]*\|)", rb"\1......", data)
    return data


def agree(first, second, first_log, second_log):
    """Tells whether two runs left the same files, registry and call results, stamps aside."""
    differences = []
    (files_a, dirs_a), (files_b, dirs_b) = load_files(first), load_files(second)
    for path in sorted(set(files_a) | set(files_b) | (dirs_a ^ dirs_b)):
        a, b = files_a.get(path), files_b.get(path)
        if a is None or b is None or unstamped(path, a) != unstamped(path, b):
            differences.append(win(path))
    reg_a, reg_b = load_registry(first), load_registry(second)
    differences += [short_key(k) for k in sorted(set(reg_a) | set(reg_b)) if reg_a.get(k) != reg_b.get(k)]
    lines_a, lines_b = calls(first_log), calls(second_log)
    differences += [f"call line: {a!r} / {b!r}" for a, b in zip(lines_a, lines_b) if a != b]
    if len(lines_a) != len(lines_b):
        differences.append(f"{len(lines_a)} call lines / {len(lines_b)}")
    if differences:
        print("The two runs differ:")
        for difference in differences[:20]:
            print("  " + difference)
        return 1
    values = sum(len(v) for v in reg_a.values())
    print(f"Both runs agree: {len(files_a)} files (up to the installation time that stamping writes), "
          f"{len(reg_a)} registry keys with {values} values, and every call's result and buffers.")
    return 0


def undone(before_dir, after_dir):
    """Says whether the registry and every file are back as before; only save folders and
    what the setup's own copy put there (the media's bytes) may stay. True when so."""
    before, _ = load_files(before_dir)
    after, _ = load_files(after_dir)
    media = {data for path, data in before.items() if path.startswith(SETUP_MEDIA + "/")}
    saved = lambda path: any(SAVE_FOLDER.match(part) for part in path.split("/")[:-1])
    lost = sorted(path for path in before if path not in after)
    changed = sorted(path for path in before if path in after and after[path] != before[path]
                     and after[path] not in media)
    left = sorted(path for path in after if path not in before and not saved(path) and after[path] not in media)
    copied = sorted(path for path in after if after[path] != before.get(path) and after[path] in media)
    stays = sorted({"/".join(path.split("/")[:-1]) for path in after if path not in before and saved(path)})
    registry_back = load_registry(before_dir) == load_registry(after_dir)
    print("Undone run: the upgrade, then KivUndoChanges")
    print("  registry (HKLM\\Software\\Autodesk, ...\\Dorvasys): "
          + ("back as it was" if registry_back else "NOT as it was"))
    back = sum(1 for path in before if after.get(path) == before[path])
    print("  files of the sample: %d of %d back byte for byte" % (back, len(before)))
    for what, paths in (("lost", lost), ("changed", changed), ("left behind", left)):
        for path in paths:
            print("    %s: %s" % (what, win(path)))
    replaced = [path for path in copied if path in before]
    print("  %d files that the setup's own copy added stay (not the DLL's to undo)" % (len(copied) - len(replaced)))
    for path in replaced:
        print("    replaced by the setup's copy, untouched by the DLL: %s" % win(path))
    print("  save folders stay, with their copies: " + (", ".join(win(path) for path in stays) or "none"))
    ok = registry_back and not (lost or changed or left)
    print("  " + ("the sample installation and the registry are back as they were" if ok
                  else "the undo did NOT put everything back"))
    return ok


def main(argv):
    if len(argv) >= 3 and argv[0] == "snapshot":
        snapshot(argv[1], argv[2], argv[3:])
    elif len(argv) == 4 and argv[0] == "report":
        print(Account(argv[1], argv[2], argv[3]).report())
    elif len(argv) == 5 and argv[0] == "agree":
        sys.exit(agree(*argv[1:]))
    elif len(argv) == 3 and argv[0] == "undone":
        sys.exit(0 if undone(argv[1], argv[2]) else 1)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
