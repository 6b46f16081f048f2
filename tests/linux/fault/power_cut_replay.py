#!/usr/bin/python3
"""The power-cut replay: what a disk may hold when the power goes at any moment of one command.

One whole command (format, label, folders, system files) runs on a used image with a preloaded
library that logs every write, zeroed range and flush. A device keeps every write made before a
completed flush, and of the writes since then any subset, in any order, a long write possibly
only in part. Each such crash state is rebuilt on a working copy of the image and judged with
fsck.fat and mtools:

  format cut       the power went before the format's first flush: the old volume is gone or
                   still there, and nothing of the new one is promised
  clean            fsck.fat finds nothing
  lost clusters    fsck.fat finds only clusters no file owns, or a wrong free count (fsck reclaims them)
  empty file       a system file created but not yet given its content (a later step)
  fsck reports damage, wrong file, fsck reports
                   fsck.fat names what is wrong (FATs that differ, an entry ahead of its chain)
                   and repairs it; the file being written may be lost
  silently wrong file
                   a system file whose content is not its block, on a volume fsck.fat passes
  foreign entries  a folder the command made lists entries the command never wrote
  unreadable, fsck clean
                   mtools cannot read a volume fsck.fat passes

The run fails on the last three.
  power_cut_replay.py PROGRAM SHIM CONTENT_DIR WORK_DIR
"""
import itertools
import os
import random
import shutil
import subprocess
import sys

SECTOR = 512
IMAGE_BYTES = 2100 * 1024 * 1024
MODEL = "VQ10"
# The system files of a model and the blocks they hold.
MODEL_FILES = {
    "VQ10": {"UNICODEF.FON": 137, "FILEBR_M.JPG": 159, "FILEBROW.JPG": 160, "HOMEBG.JPG": 161,
             "HOMEBG_M.JPG": 162, "INTRO.JPG": 163, "INTRO_M.JPG": 164, "TEXTBG.JPG": 165,
             "TEXTBG_M.JPG": 166},
    "VQ20": {"UNICODEF.FON": 137, "DABBG.JPG": 167, "FILEBROW.JPG": 168, "HOMEBG.JPG": 169,
             "INTRO.JPG": 170, "TEXTBG.JPG": 171},
}
FILES = MODEL_FILES[MODEL]
FOLDERS = ["SYSTEM", "MOVIE", "MUSIC", "PHOTO", "TEXT"]
# Below this an epoch is tried in every subset of its writes; above it, in a sample.
WHOLE_EPOCH = 7
# What a power cut may leave: anything fsck.fat notices and repairs, but never a file it passes
# whose content is wrong, nor a folder showing what was on the disk before.
FAILING = {"silently wrong file", "foreign entries", "unreadable, fsck clean"}


def run(*command, **options):
    return subprocess.run(command, capture_output=True, **options)


def sparse_copy(source, destination):
    run("cp", "--sparse=always", source, destination, check=True)


def make_used_volume(path, work):
    """A FAT32 volume of the same layout as ours whose first clusters hold folders full of
    entries and whose next ones hold data that is not zero: what a new folder or file of an
    unordered write would show."""
    with open(path, "wb") as image:
        image.truncate(IMAGE_BYTES)
    run("mkfs.fat", "-a", "-F", "32", "-s", "64", "-R", "32", path, check=True)
    note = os.path.join(work, "note.txt")
    with open(note, "w") as text:
        text.write("an old file\n")
    for i in range(12):
        run("mmd", "-i", path, f"::OLD{i}", check=True)
        for j in range(3):
            run("mcopy", "-i", path, note, f"::OLD{i}/N{j}.TXT", check=True)
    filler = os.path.join(work, "filler.bin")
    with open(filler, "wb") as data:
        data.write(random.Random(7).randbytes(8 * 1024 * 1024))
    run("mcopy", "-i", path, filler, "::FILLER.BIN", check=True)


def read_log(path):
    """The records of the write log: ('W', offset, bytes), ('Z', offset, length) or ('F',)."""
    records = []
    with open(path, "rb") as log:
        data = log.read()
    at = 0
    while at < len(data):
        end = data.index(b"\n", at)
        head = data[at:end].split()
        at = end + 1
        if head[0] == b"F":
            records.append(("F",))
            continue
        offset, length = int(head[1]), int(head[2])
        if head[0] == b"W":
            records.append(("W", offset, data[at:at + length]))
            at += length
        else:
            records.append(("Z", offset, length))
    return records


def epochs(records):
    """The writes between two flushes, in order; the last group may have no flush after it."""
    groups, current = [], []
    for record in records:
        if record[0] == "F":
            groups.append(current)
            current = []
        else:
            current.append(record)
    groups.append(current)
    return groups


def torn(record):
    """The first half of a long write, sector-aligned: a device may have kept only that."""
    if record[0] != "W" or len(record[2]) < 8 * SECTOR:
        return None
    half = (len(record[2]) // 2) // SECTOR * SECTOR
    return ("W", record[1], record[2][:half])


def crash_subsets(group, rng):
    """The ways an epoch may have reached the disk: subsets of its writes, and torn long ones."""
    count = len(group)
    if count <= WHOLE_EPOCH:
        subsets = [list(s) for n in range(count + 1) for s in itertools.combinations(group, n)]
    else:
        subsets = [[]] + [[w] for w in group] + [group[:n] for n in range(2, count + 1)]
        subsets += [[w for w in group if w is not left] for left in group]
        subsets += [[w for w in group if rng.random() < 0.5] for _ in range(4 * count)]
    for index, record in enumerate(group):
        half = torn(record)
        if half is not None:
            subsets.append(group[:index] + [half] + group[index + 1:])
            subsets.append([half])
    return subsets


class WorkingImage:
    """One image the crash states are built on and taken back from, so that no 2 GiB copy is made."""

    def __init__(self, path):
        self.path = path
        self.fd = os.open(path, os.O_RDWR)

    def apply(self, record):
        """Applies a write or zeroing; returns what it covered before."""
        if record[0] == "W":
            offset, data = record[1], record[2]
        else:
            offset, data = record[1], bytes(record[2])
        before = os.pread(self.fd, len(data), offset)
        before += bytes(len(data) - len(before))
        os.pwrite(self.fd, data, offset)
        return ("W", offset, before)

    def apply_all(self, records):
        undo = [self.apply(record) for record in records]
        return list(reversed(undo))

    def undo(self, undo):
        for record in undo:
            os.pwrite(self.fd, record[2], record[1])


def fsck_verdict(path):
    """None when fsck.fat finds nothing, 'lost clusters' when it only finds unowned clusters or
    a wrong free count, else its findings."""
    result = run("fsck.fat", "-n", path)
    lines = [line for line in result.stdout.decode(errors="replace").splitlines() + \
             result.stderr.decode(errors="replace").splitlines()
             if line and not line.startswith("fsck.fat ") and " files, " not in line]
    reclaim_only = all(
        "unused clusters" in line or "Free cluster summary wrong" in line or
        line.startswith("Leaving filesystem unchanged") or line.startswith("  ") or
        line.startswith("Perform changes") or "Reclaimed" in line or "[12?q]" in line
        for line in lines)
    if not lines:
        return None
    if reclaim_only:
        return "lost clusters"
    return "; ".join(lines[:3])


def judge(path, content, work, files=FILES, extra=()):
    """The verdict on one crash state, and a detail for the failures. `extra` names entries
    that are not the command's but expected (written back by a test)."""
    finding = fsck_verdict(path)
    repaired = finding not in (None, "lost clusters")
    listing = run("mdir", "-i", path, "-/", "-b", "::")
    if listing.returncode != 0 and listing.stdout.strip() == b"" and b"not found" in listing.stderr:
        listing.stdout = b""  # an empty root directory
    elif listing.returncode != 0:
        problem = "mdir: " + listing.stderr.decode(errors="replace").strip()
        return ("fsck reports damage", problem) if repaired else ("unreadable, fsck clean", problem)
    names = [line.strip() for line in listing.stdout.decode(errors="replace").splitlines() if line.strip()]
    expected = {f"::/{folder}/" for folder in FOLDERS} | {f"::/SYSTEM/{name}" for name in files}
    expected |= set(extra)
    foreign = [name for name in names if name not in expected]
    if foreign:
        return "foreign entries", " ".join(foreign[:4])
    copies = os.path.join(work, "copies")
    shutil.rmtree(copies, ignore_errors=True)
    os.mkdir(copies)
    empty = ""
    if "::/SYSTEM/" in names:
        run("mcopy", "-n", "-i", path, "-s", "::SYSTEM", copies)
    for name, block in files.items():
        if f"::/SYSTEM/{name}" not in names:
            continue
        copy = os.path.join(copies, "SYSTEM", name)
        data = open(copy, "rb").read() if os.path.exists(copy) else None
        suffix = "fon" if block == 137 else "jpg"
        wanted = open(os.path.join(content, f"block_{block}.{suffix}"), "rb").read()
        if data == b"":
            empty = name
        elif data != wanted:
            wrong = f"{name}: {0 if data is None else len(data)} bytes, not block {block}"
            return ("wrong file, fsck reports", wrong) if repaired else ("silently wrong file", wrong)
    if repaired:
        return "fsck reports damage", finding
    if empty:
        return "empty file", empty
    return finding or "clean", ""


def main():
    program, shim, content, work = sys.argv[1:5]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    base = os.path.join(work, "used.img")
    make_used_volume(base, work)
    target = os.path.join(work, "player.img")
    sparse_copy(base, target)
    log = os.path.join(work, "writes.log")
    environment = dict(os.environ, WRITELOG_TARGET=target, WRITELOG_FILE=log, LD_PRELOAD=shim)
    command = run(program, "--image", target, "--vendor", "TOLVEN", "--product", MODEL, "--yes",
                  "--quiet", stdin=subprocess.DEVNULL, env=environment)
    if command.returncode != 0:
        print("FAIL: the logged command exited", command.returncode, command.stderr.decode(errors="replace"))
        return 1
    groups = epochs(read_log(log))
    # The states are rebuilt from the used volume again, on a sparse copy of it.
    sparse_copy(base, target)
    image = WorkingImage(target)

    rng = random.Random(20)
    counts, failures, states = {}, [], 0
    for index, group in enumerate(groups):
        for subset in crash_subsets(group, rng):
            undo = image.apply_all(subset)
            states += 1
            if index == 0:
                verdict, detail = "format cut", ""
            else:
                verdict, detail = judge(target, content, work)
            counts[verdict] = counts.get(verdict, 0) + 1
            if verdict in FAILING and (len(failures) < 12 or os.environ.get("REPLAY_VERBOSE")):
                failures.append(f"after flush {index}, {len(subset)} of {len(group)} writes: {verdict}: {detail}")
            image.undo(undo)
        image.apply_all(group)  # the flush: all of the epoch is on the disk

    print(f"{len(groups) - 1} flushes, {sum(len(g) for g in groups)} writes, {states} crash states")
    for verdict in sorted(counts):
        print(f"  {verdict}: {counts[verdict]}")
    bad = sum(n for verdict, n in counts.items() if verdict in FAILING)
    for failure in failures:
        print("FAIL:", failure)
    final = judge(target, content, work)
    if final[0] != "clean":
        print("FAIL: the whole command's result is", final)
        bad += 1
    print(f"{states - bad} passed, {bad} failed")
    return 1 if bad else 0


if __name__ == "__main__":
    if len(sys.argv) > 1 and sys.argv[1] == "--judge":
        # power_cut_replay.py --judge IMAGE CONTENT_DIR WORK_DIR MODEL [ENTRY...]: one volume's verdict
        verdict, detail = judge(sys.argv[2], sys.argv[3], sys.argv[4], MODEL_FILES[sys.argv[5]], sys.argv[6:])
        print(verdict + (": " + detail if detail else ""))
        sys.exit(0 if verdict not in FAILING else 1)
    sys.exit(main())
