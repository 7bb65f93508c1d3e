#!/usr/bin/env python3
"""End-to-end test of the Windows launcher under Wine, in the X server that xvfb-run provides,
driven with xdotool.

Packs the staged demo folder with the cross-built quarnel.exe under a fixed time zone, embeds it
into the bare stub with `quarnel embed` (a PE resource), and runs the launcher in a Wine prefix
of its own (so that nothing else running under Wine is touched): Enter at the prompt extracts
the demo (names, bytes, dates, read-only bit), the confirmation box "Setup" appears, Enter in it
starts the demo setup.exe, which leaves its marker, and the launcher ends with exit code 0; Tab
or an arrow key then Enter, "n", and Escape followed by Alt+F4 write nothing; the stub without an archive and a
launcher with a corrupted entry show the default error report (caption "pre-Setup") and stay
in the Failed state until the window is closed. Message box texts are read from Wine's msgbox
trace. Screenshots of the prompt, the confirmation and the error report land in --shots.

The demo launcher of the build (--launcher, its archive linked in as an RC resource) is run once
through the same yes road.

usage: xvfb-run -a wine_e2e.py --quarnel Q.exe --stub STUB.exe --launcher PRE_SETUP.exe
                               --stage DIR --work DIR --shots DIR
"""

import argparse
import os
import shutil
import subprocess
import sys
import time

from e2e_common import (FIXED_TZ, check, compare_with_stage, corrupt_first_checksum,
                        fresh_folder, run_cases, wait_for_file)

MARKER = "setup-started.txt"


class Wine:
    def __init__(self, prefix):
        # No Mono or Gecko in the new prefix: their installers would ask in a dialog.
        self.env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", TZ=FIXED_TZ,
                        WINEDLLOVERRIDES="mscoree,mshtml=")

    def run(self, args, cwd):
        subprocess.run(["wine"] + args, cwd=cwd, env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)

    def start(self, exe, cwd, trace):
        env = dict(self.env, WINEDEBUG="-all,trace+msgbox")
        return subprocess.Popen(["wine", exe], cwd=cwd, env=env, stdout=subprocess.DEVNULL,
                                stderr=open(trace, "wb"))

    def wait_all(self):
        """Waits for every process of this prefix (the stand-in setup.exe among them)."""
        try:
            subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
        except subprocess.TimeoutExpired:
            subprocess.run(["wineserver", "-k"], env=self.env)


def windows():
    """(id, name, width) of every named X window."""
    out = subprocess.run(["xdotool", "search", "--name", "."], capture_output=True,
                         text=True).stdout.split()
    found = []
    for wid in out:
        name = subprocess.run(["xdotool", "getwindowname", wid], capture_output=True,
                              text=True).stdout.rstrip("\n")
        geometry = subprocess.run(["xdotool", "getwindowgeometry", wid], capture_output=True,
                                  text=True).stdout
        width = 0
        for line in geometry.splitlines():
            if "Geometry:" in line:
                width = int(line.split()[-1].split("x")[0])
        found.append((wid, name, width))
    return found


def wait_window(name, timeout=60):
    """A visible window whose caption is exactly name (the zero-size application window that
    carries the title "pre-Setup" does not count)."""
    end = time.time() + timeout
    while time.time() < end:
        for wid, n, width in windows():
            if n == name and width > 10:
                return wid
        time.sleep(0.5)
    raise AssertionError("no window %r; windows: %s" % (name, windows()))


def key(wid, *keys):
    """Keys to the window; the X focus is moved to it first only when it lacks it."""
    focused = subprocess.run(["xdotool", "getwindowfocus"], capture_output=True,
                             text=True).stdout.strip()
    if focused != wid:
        subprocess.run(["xdotool", "windowfocus", wid], stderr=subprocess.DEVNULL)
        time.sleep(0.3)
    subprocess.run(["xdotool", "key"] + list(keys))
    time.sleep(0.2)


def screenshot(path):
    subprocess.run(["import", "-window", "root", path], check=False)


def ended(process, timeout=30):
    try:
        return process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        raise AssertionError("the launcher did not end")


def boxes(trace):
    """Texts of the message boxes shown, in order, from the msgbox trace."""
    texts = []
    for line in open(trace, "rb").read().decode("utf-8", "replace").splitlines():
        if "MSGBOX_OnInit" in line and 'L"' in line:
            texts.append(line.split('L"', 1)[1].rsplit('"', 1)[0])
    return texts


def main():
    ap = argparse.ArgumentParser()
    for a in ("--quarnel", "--stub", "--launcher", "--stage", "--work", "--shots"):
        ap.add_argument(a, required=True)
    args = ap.parse_args()
    work = fresh_folder(args.work, "wine")
    os.makedirs(args.shots, exist_ok=True)
    # The prefix outlives the run (made once, about 600 MB): only this test uses it.
    wine = Wine(os.path.join(args.work, "wine-prefix"))

    # The launchers of this test: the demo packed under the fixed time zone and embedded into
    # the stub as its PE resource, and the same with a corrupted first entry.
    shutil.copy2(args.quarnel, os.path.join(work, "quarnel.exe"))
    shutil.copy2(args.stub, os.path.join(work, "stub.exe"))
    shutil.copytree(args.stage, os.path.join(work, "stage"), copy_function=shutil.copy2)
    wine.run(["quarnel.exe", "pack", "-o", "demo.zolt", "-m", "lzh", "-C", "stage", "."], work)
    wine.run(["quarnel.exe", "embed", "--stub", "stub.exe", "--archive", "demo.zolt", "-o",
              "pre-setup.exe"], work)
    corrupt_first_checksum(os.path.join(work, "demo.zolt"), os.path.join(work, "corrupt.zolt"))
    wine.run(["quarnel.exe", "embed", "--stub", "stub.exe", "--archive", "corrupt.zolt", "-o",
              "pre-setup-corrupt.exe"], work)
    shutil.copy2(args.launcher, os.path.join(work, "pre-setup-build.exe"))
    stage = os.path.join(work, "stage")

    def start(name, exe_name):
        folder = fresh_folder(work, name)
        shutil.copy2(os.path.join(work, exe_name), os.path.join(folder, "pre-setup.exe"))
        trace = os.path.join(work, name + ".trace")
        return folder, trace, wine.start("pre-setup.exe", folder, trace)

    def enter_extracts_confirms_and_starts_setup():
        folder, trace, p = start("enter", "pre-setup.exe")
        prompt = wait_window("pre-SETUP")
        time.sleep(1)
        screenshot(os.path.join(args.shots, "prompt.png"))
        key(prompt, "Return")
        box = wait_window("Setup")
        time.sleep(0.5)
        screenshot(os.path.join(args.shots, "confirmation.png"))
        check(boxes(trace) == ["Press 'Enter' to start installation."], "boxes %s" % boxes(trace))
        check(not os.path.exists(os.path.join(folder, MARKER)), "setup.exe started too early")
        key(box, "Return")
        check(ended(p) == 0, "exit code %s" % p.returncode)
        check(wait_for_file(os.path.join(folder, MARKER), 30), "setup.exe left no marker")
        key(wait_window("Fenwold 2.2 Setup"), "Return")  # the stand-in's own box
        wine.wait_all()
        compare_with_stage(stage, folder, extra=("pre-setup.exe", MARKER))

    def build_launcher_extracts_and_starts_setup():
        # Packed at build time in the build's time zone: names, bytes and the read-only bit.
        folder, trace, p = start("build", "pre-setup-build.exe")
        key(wait_window("pre-SETUP"), "y")
        key(wait_window("Setup"), "Return")
        check(ended(p) == 0, "exit code %s" % p.returncode)
        check(wait_for_file(os.path.join(folder, MARKER), 30), "setup.exe left no marker")
        key(wait_window("Fenwold 2.2 Setup"), "Return")
        wine.wait_all()
        compare_with_stage(stage, folder, extra=("pre-setup.exe", MARKER), dates=False)

    def nothing_written(name, *keys):
        def case():
            folder, trace, p = start(name, "pre-setup.exe")
            prompt = wait_window("pre-SETUP")
            time.sleep(1)
            for k in keys:
                if k == "pause":
                    time.sleep(1)
                    check(p.poll() is None, "the launcher ended on Escape")
                else:
                    key(prompt, k)
            check(ended(p) == 0, "exit code %s" % p.returncode)
            wine.wait_all()
            check(os.listdir(folder) == ["pre-setup.exe"], "written: %s" % os.listdir(folder))
            check(boxes(trace) == [], "boxes %s" % boxes(trace))
        return case

    def failure(name, exe_name, message):
        def case():
            folder, trace, p = start(name, exe_name)
            prompt = wait_window("pre-SETUP")
            time.sleep(1)
            key(prompt, "Return")
            report = wait_window("pre-Setup")
            time.sleep(0.5)
            screenshot(os.path.join(args.shots, name + "-report.png"))
            check(boxes(trace) == [message], "boxes %s" % boxes(trace))
            key(report, "Return")
            # The Failed state: the window stays, its disabled buttons do nothing.
            time.sleep(1)
            check(p.poll() is None, "the launcher ended after the report")
            key(prompt, "Return")
            key(prompt, "y")
            time.sleep(1)
            check(p.poll() is None and boxes(trace) == [message], "a second run: %s" % boxes(trace))
            key(prompt, "alt+F4")
            check(ended(p) == 0, "exit code %s" % p.returncode)
            wine.wait_all()
            check(not os.path.exists(os.path.join(folder, MARKER)), "setup.exe started")
        return case

    return run_cases([
        ("enter_extracts_confirms_and_starts_setup", enter_extracts_confirms_and_starts_setup),
        ("build_launcher_extracts_and_starts_setup", build_launcher_extracts_and_starts_setup),
        ("n_writes_nothing", nothing_written("no", "n")),
        ("tab_then_enter_acts_as_no", nothing_written("tab", "Tab", "Return")),
        ("arrow_then_enter_acts_as_no", nothing_written("arrow", "Right", "Return")),
        ("escape_does_nothing_alt_f4_closes", nothing_written("escape", "Escape", "pause", "alt+F4")),
        ("missing_resource", failure("missing", "stub.exe", "Ressource MyArchiv nicht gefunden.")),
        ("corrupted_entry", failure("corrupt", "pre-setup-corrupt.exe",
                                    "Bad checksum during expansion -- data may be invalid.")),
    ])


if __name__ == "__main__":
    sys.exit(main())
