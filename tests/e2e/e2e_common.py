"""Shared pieces of the launcher's end-to-end tests: the demo archive made afresh with a fixed
time zone, a corrupted copy of it, and the comparison of an extracted folder with the staged
demo files (names, bytes, dates, read-only bit)."""

import os
import shutil
import stat
import subprocess
import sys
import time

# A fixed time zone for the packing and the extraction, given as a rule so that no zone data is
# needed: the stored MS-DOS times are local times and must come back as the same instants.
FIXED_TZ = "CET-1CEST,M3.5.0,M10.5.0/3"

# Names of the demo files that the launcher must write, as the staged folder holds them.
def staged_files(stage):
    names = []
    for root, _, files in os.walk(stage):
        for f in files:
            names.append(os.path.relpath(os.path.join(root, f), stage))
    return sorted(names)


def check(condition, what):
    if not condition:
        raise AssertionError(what)


def compare_with_stage(stage, folder, extra=(), dates=True):
    """The extracted folder holds exactly the staged files (plus extra), with equal bytes,
    the same modification time to the two seconds of the MS-DOS format, and the read-only bit
    where the staged file has no write permission."""
    written = sorted(n for n in staged_files(folder) if n not in extra)
    expected = staged_files(stage)
    check(written == expected, "files written %s, expected %s" % (written, expected))
    for name in expected:
        a, b = os.path.join(stage, name), os.path.join(folder, name)
        with open(a, "rb") as fa, open(b, "rb") as fb:
            check(fa.read() == fb.read(), "bytes of %s differ" % name)
        sa, sb = os.stat(a), os.stat(b)
        readonly_a = not (sa.st_mode & stat.S_IWUSR)
        readonly_b = not (sb.st_mode & stat.S_IWUSR)
        check(readonly_a == readonly_b, "read-only bit of %s: %s" % (name, readonly_b))
        if not dates:
            continue
        # MS-DOS times count in steps of two seconds: the stored time is at most 2 s earlier.
        delta = sa.st_mtime - sb.st_mtime
        check(0 <= delta < 2.001, "date of %s off by %.1f s" % (name, delta))


def corrupt_first_checksum(archive, out):
    """A copy of archive whose first entry has a wrong checksum: byte 21 + 17 (the low byte of
    the first entry header's Checksum field) is inverted."""
    data = bytearray(open(archive, "rb").read())
    data[21 + 17] ^= 0xFF
    open(out, "wb").write(bytes(data))


def wait_for_file(path, seconds):
    end = time.time() + seconds
    while time.time() < end:
        if os.path.exists(path):
            return True
        time.sleep(0.1)
    return os.path.exists(path)


def fresh_folder(base, name):
    path = os.path.join(base, name)
    if os.path.exists(path):
        for root, dirs, files in os.walk(path):
            for n in dirs + files:
                os.chmod(os.path.join(root, n), 0o755)
        shutil.rmtree(path)
    os.makedirs(path)
    return path


def run_cases(cases):
    failed = 0
    for name, case in cases:
        try:
            case()
            print("PASS", name)
        except Exception as e:  # report every case, then fail as a whole
            failed += 1
            print("FAIL", name, "--", e)
        sys.stdout.flush()
    return 1 if failed else 0
