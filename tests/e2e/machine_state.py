#!/usr/bin/env python3
"""The state of a Wine prefix as sorted text lines, their differences, and putting a prefix back.

  machine_state.py listing DRIVE_C HKLM.reg HKU.reg OUT   one line per registry key, value, folder and file
  machine_state.py diff BEFORE AFTER [--ignore-backups]  "+ line" / "- line"; exit code 1 when they differ
  machine_state.py summary BEFORE AFTER                  the same, shortened to the topmost added key or
                                                         folder of each added tree
  machine_state.py undo BEFORE AFTER DRIVE_C OUT.reg     deletes what was added under DRIVE_C and writes
                                                         a .reg file that puts the registry back

Registry lines are `KEY` and `KEY<TAB>NAME=DATA` in the registry editor's own notation (the .reg
files come from Wine's `reg export`), file lines `file<TAB>PATH<TAB>SIZE` and `dir<TAB>PATH`, with
PATH relative to drive_c. What Wine and Windows change on their own is left out: temporary
folders, logs, Wine's volatile keys.
"""
import os
import re
import shutil
import sys

# Folders (relative to drive_c, lower case, "/" separated) that change by themselves.
NOISE_FOLDERS = [
    re.compile(r"windows/temp(/|$)"),
    re.compile(r"users/[^/]+/(appdata/local/)?temp(/|$)"),
    re.compile(r"windows/prefetch(/|$)"),
    re.compile(r"windows/logs(/|$)"),
    re.compile(r"windows/inf/.*\.pnf$"),
    re.compile(r"windows/.*\.log$"),
]
# Kestrune's own backups, which every clean-up writes: left out of the comparison, not of undo.
BACKUP_FOLDER = re.compile(r"programdata/kestrune(/|$)", re.IGNORECASE)

# Keys (lower case) that Wine rewrites on every start or that hold no lasting state.
NOISE_KEYS = [
    re.compile(r"hkey_local_machine\\hardware(\\|$)"),
    re.compile(r"hkey_local_machine\\software\\(wow6432node\\)?microsoft\\cryptography\\rng(\\|$)"),
    re.compile(r"hkey_local_machine\\system\\currentcontrolset\\enum(\\|$)"),
    re.compile(r"hkey_local_machine\\system\\currentcontrolset\\control\\(class|deviceclasses)(\\|$)"),
    re.compile(r"hkey_local_machine\\system\\currentcontrolset\\services\\[^\\]+\\enum(\\|$)"),
    re.compile(r"hkey_users\\[^\\]+\\volatile environment(\\|$)"),
    re.compile(r"hkey_users\\[^\\]+\\software\\microsoft\\windows\\currentversion\\explorer\\(mountpoints2|sessioninfo)(\\|$)"),
]
# Values that Wine's services rewrite while they run.
NOISE_VALUES = [
    re.compile(r'hkey_local_machine\\software\\(wow6432node\\)?microsoft\\cryptography\t"seed"='),
]


def is_noise_key(key):
    return any(pattern.match(key.lower()) for pattern in NOISE_KEYS)


def registry_lines(path):
    """Reads a `reg export` file (UTF-16) into sorted KEY and KEY<TAB>NAME=DATA lines."""
    with open(path, "rb") as stream:
        text = stream.read().decode("utf-16")
    lines = []
    key = None
    pending = ""
    for raw in text.splitlines():
        line = pending + raw.lstrip() if pending else raw
        pending = ""
        # Long binary data goes on over indented lines; each line but the last ends with "\".
        if line.endswith("\\") and key is not None and not line.startswith("["):
            pending = line[:-1]
            continue
        if line.startswith("[") and line.endswith("]"):
            key = line[1:-1]
            if not is_noise_key(key):
                lines.append(key)
            continue
        if key is None or not line.strip() or line.startswith(";") or is_noise_key(key):
            continue
        entry = key + "\t" + line.strip()
        if not any(pattern.match(entry.lower()) for pattern in NOISE_VALUES):
            lines.append(entry)
    return lines


def file_lines(drive_c):
    lines = []
    for folder, folders, files in os.walk(drive_c, followlinks=False):
        relative_folder = os.path.relpath(folder, drive_c)
        for name in list(folders):
            relative = os.path.normpath(os.path.join(relative_folder, name)).replace(os.sep, "/")
            if any(pattern.match(relative.lower()) for pattern in NOISE_FOLDERS):
                folders.remove(name)
            else:
                lines.append("dir\t" + relative)
        for name in files:
            relative = os.path.normpath(os.path.join(relative_folder, name)).replace(os.sep, "/")
            if any(pattern.match(relative.lower()) for pattern in NOISE_FOLDERS):
                continue
            full = os.path.join(folder, name)
            size = os.lstat(full).st_size
            lines.append("file\t%s\t%d" % (relative, size))
    return lines


def read_lines(path):
    with open(path, encoding="utf-8") as stream:
        return [line.rstrip("\n") for line in stream]


def command_listing(drive_c, hklm, hku, out):
    lines = sorted(set(registry_lines(hklm) + registry_lines(hku) + file_lines(drive_c)))
    with open(out, "w", encoding="utf-8") as stream:
        stream.writelines(line + "\n" for line in lines)
    return 0


def is_backup_line(line):
    parts = line.split("\t")
    return parts[0] in ("file", "dir") and BACKUP_FOLDER.match(parts[1])


def command_diff(before, after, ignore_backups):
    old, new = set(read_lines(before)), set(read_lines(after))
    changes = ["- " + line for line in old - new] + ["+ " + line for line in new - old]
    if ignore_backups:
        changes = [change for change in changes if not is_backup_line(change[2:])]
    for change in sorted(changes, key=lambda change: (change[2:], change[0])):
        print(change)
    return 1 if changes else 0


def is_file_line(line):
    return line.startswith(("file\t", "dir\t"))


def command_summary(before, after):
    """What was added or went, one line per tree: an added key or folder stands for all below it."""
    old, new = set(read_lines(before)), set(read_lines(after))
    added = {line for line in new - old if not is_backup_line(line)}
    removed = {line for line in old - new if not is_backup_line(line)}
    added_keys = [line.lower() for line in added if "\t" not in line]
    added_dirs = [line.split("\t")[1].lower() for line in added if line.startswith("dir\t")]

    def covered(line):
        if is_file_line(line):
            path = line.split("\t")[1].lower()
            return any(path.startswith(folder + "/") for folder in added_dirs)
        key = split_entry(line)[0].lower()
        return any(key.startswith(other + "\\") or ("\t" in line and key == other) for other in added_keys)

    changes = ["+ " + line for line in added if not covered(line)] + ["- " + line for line in removed]
    for change in sorted(changes, key=lambda change: (change[2:], change[0])):
        print(change)
    return 1 if changes else 0


def split_entry(line):
    key, _, value = line.partition("\t")
    return key, value


def value_name(value):
    """The NAME part of NAME=DATA: @ or a quoted name, whose quotes and backslashes are escaped."""
    if value.startswith("@="):
        return "@"
    match = re.match(r'"((?:[^"\\]|\\.)*)"=', value)
    return '"' + match.group(1) + '"' if match else value.split("=", 1)[0]


def command_undo(before, after, drive_c, out):
    old, new = set(read_lines(before)), set(read_lines(after))
    added, removed = new - old, old - new
    left = []
    # Files and folders: only additions can be taken back; the deepest go first.
    for line in sorted((line for line in added if line.startswith(("file\t", "dir\t"))), reverse=True):
        path = os.path.join(drive_c, line.split("\t")[1])
        if not os.path.realpath(path).startswith(os.path.realpath(drive_c) + os.sep):
            left.append(line)
        elif os.path.isdir(path) and not os.path.islink(path):
            shutil.rmtree(path, ignore_errors=True)
        elif os.path.lexists(path):
            os.remove(path)
    # Backups a clean-up pruned are Kestrune's own to drop, not the machine's.
    left += [line for line in removed if line.startswith(("file\t", "dir\t")) and not is_backup_line(line)]
    # Registry: delete added keys (the topmost of each added tree), then delete added values and
    # write back the ones that changed or went.
    old_keys = {line for line in old if "\t" not in line and not line.startswith(("file", "dir"))}
    added_keys = sorted(line for line in added if "\t" not in line)
    top_added = [key for key in added_keys
                 if not any(key.lower().startswith(other.lower() + "\\") for other in added_keys)]
    reg = ["Windows Registry Editor Version 5.00", ""]
    reg += ["[-%s]" % key for key in top_added] + [""]
    restored = {}
    for line in added:
        key, value = split_entry(line)
        if value and key in old_keys and not line.startswith(("file\t", "dir\t")):
            restored.setdefault(key, {})[value_name(value)] = value_name(value) + "=-"
    for line in removed:
        key, value = split_entry(line)
        if line.startswith(("file\t", "dir\t")):
            continue
        restored.setdefault(key, {})
        if value:
            restored[key][value_name(value)] = value
    for key in sorted(restored):
        reg.append("[%s]" % key)
        reg += list(restored[key].values())
        reg.append("")
    with open(out, "w", encoding="utf-16") as stream:
        stream.write("\r\n".join(reg) + "\r\n")
    for line in sorted(left):
        print("cannot put back: " + line)
    return 0


def main(argv):
    if len(argv) == 6 and argv[1] == "listing":
        return command_listing(*argv[2:])
    if len(argv) in (4, 5) and argv[1] == "diff":
        return command_diff(argv[2], argv[3], argv[4:] == ["--ignore-backups"])
    if len(argv) == 4 and argv[1] == "summary":
        return command_summary(argv[2], argv[3])
    if len(argv) == 6 and argv[1] == "undo":
        return command_undo(*argv[2:])
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
