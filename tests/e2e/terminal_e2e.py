#!/usr/bin/env python3
"""End-to-end test of the Linux launcher in a pseudo-terminal (and once from a pipe).

Packs the staged demo folder with a fixed time zone, embeds it into the bare stub, and drives
the launcher with single keys: Enter extracts and, after the confirmation, starts the demo
setup.exe, which leaves its marker; n (after an Escape that does nothing) writes nothing; the stub
without an archive and a launcher with a corrupted entry report on the terminal and stay until
the input ends; a closed terminal, and SIGTERM, end the launcher. Every run must end with exit code 0 and
leave the terminal in its normal mode.

usage: terminal_e2e.py --quarnel Q --stub STUB --launcher PRE_SETUP --stage DIR --work DIR
"""

import argparse
import os
import pty
import select
import shutil
import signal
import subprocess
import sys
import termios
import time

from e2e_common import (FIXED_TZ, check, compare_with_stage, corrupt_first_checksum,
                        fresh_folder, run_cases, staged_files, wait_for_file)

PROMPT_END = "(Enter: yes)"
CONFIRM = "Setup: Press 'Enter' to start installation."
MARKER = "setup-started.txt"


class Terminal:
    """The launcher running in a pseudo-terminal: its output, keys sent, its end."""

    def __init__(self, exe, cwd):
        env = dict(os.environ, TZ=FIXED_TZ)
        self.pid, self.fd = pty.fork()
        if self.pid == 0:
            os.chdir(cwd)
            os.execve(exe, [exe], env)
        self.out = b""
        self.status = None

    def _read(self, timeout):
        if self.fd is None:
            time.sleep(timeout)
            return None
        r, _, _ = select.select([self.fd], [], [], timeout)
        if not r:
            return None
        try:
            return os.read(self.fd, 4096)
        except OSError:  # EIO: the launcher has closed its side
            return b""

    def expect(self, text, timeout=20):
        end = time.time() + timeout
        while text.encode() not in self.out:
            chunk = self._read(max(0.0, end - time.time()))
            if not chunk:
                raise AssertionError("waiting for %r, got %r" % (text, self.out.decode(errors="replace")))
            self.out += chunk

    def settle(self, seconds=0.5):
        """Collects output for a while; the launcher must still be running."""
        end = time.time() + seconds
        while time.time() < end:
            chunk = self._read(max(0.0, end - time.time()))
            if chunk:
                self.out += chunk
        check(os.waitpid(self.pid, os.WNOHANG) == (0, 0), "the launcher ended early")

    def send(self, keys):
        os.write(self.fd, keys.encode())

    def mode_is_normal(self):
        lflag = termios.tcgetattr(self.fd)[3]
        return bool(lflag & termios.ECHO) and bool(lflag & termios.ICANON)

    def wait(self, timeout=20):
        end = time.time() + timeout
        while time.time() < end:
            pid, status = os.waitpid(self.pid, os.WNOHANG)
            if pid:
                self.status = status
                return os.waitstatus_to_exitcode(status)
            chunk = self._read(0.1)
            if chunk:
                self.out += chunk
        os.kill(self.pid, signal.SIGKILL)
        raise AssertionError("the launcher did not end; output %r" % self.out)

    def close(self):
        os.close(self.fd)
        self.fd = None


def main():
    ap = argparse.ArgumentParser()
    for a in ("--quarnel", "--stub", "--launcher", "--stage", "--work"):
        ap.add_argument(a, required=True)
    args = ap.parse_args()
    work = fresh_folder(args.work, "terminal")
    stage = args.stage

    # The demo launcher of this test, packed under the fixed time zone, and a corrupted one.
    env = dict(os.environ, TZ=FIXED_TZ)
    archive = os.path.join(work, "demo.zolt")
    subprocess.run([args.quarnel, "pack", "-o", archive, "-m", "lzh", "-C", stage, "."],
                   check=True, env=env)
    launcher = os.path.join(work, "pre-setup")
    subprocess.run([args.quarnel, "embed", "--stub", args.stub, "--archive", archive, "-o",
                    launcher], check=True)
    corrupt_archive = os.path.join(work, "corrupt.zolt")
    corrupt_first_checksum(archive, corrupt_archive)
    corrupt = os.path.join(work, "pre-setup-corrupt")
    subprocess.run([args.quarnel, "embed", "--stub", args.stub, "--archive", corrupt_archive,
                    "-o", corrupt], check=True)

    def folder_with(name, exe):
        folder = fresh_folder(work, name)
        target = os.path.join(folder, os.path.basename(exe))
        shutil.copy2(exe, target)
        return folder, target

    def enter_extracts_and_starts_setup():
        folder, exe = folder_with("enter", launcher)
        t = Terminal(exe, folder)
        t.expect(PROMPT_END)
        t.send("\r")
        t.expect("Please wait...")
        t.expect(CONFIRM)
        t.settle(0.3)
        check(not os.path.exists(os.path.join(folder, MARKER)), "setup.exe started too early")
        t.send("\r")
        check(t.wait() == 0, "exit code %s" % t.status)
        check(t.mode_is_normal(), "terminal left in raw mode")
        t.close()
        check(wait_for_file(os.path.join(folder, MARKER), 10), "setup.exe left no marker")
        compare_with_stage(stage, folder, extra=("pre-setup", MARKER))

    def alt_y_then_end_of_input_at_the_confirmation():
        folder, exe = folder_with("alt-y", launcher)
        t = Terminal(exe, folder)
        t.expect(PROMPT_END)
        t.send("\x1by")  # Alt+y
        t.expect(CONFIRM)
        t.send("\x04")  # Ctrl+D: end of input also goes on
        check(t.wait() == 0, "exit code %s" % t.status)
        t.close()
        check(wait_for_file(os.path.join(folder, MARKER), 10), "setup.exe left no marker")

    def escape_does_nothing_and_n_writes_nothing():
        folder, exe = folder_with("no", launcher)
        t = Terminal(exe, folder)
        t.expect(PROMPT_END)
        t.send("\x1b")
        t.settle()
        t.send("n")
        check(t.wait() == 0, "exit code %s" % t.status)
        check(t.mode_is_normal(), "terminal left in raw mode")
        t.close()
        check(os.listdir(folder) == ["pre-setup"], "written: %s" % os.listdir(folder))
        check(b"Please wait" not in t.out, "the preparation ran")

    def failure_stays_until_the_input_ends(exe, message, name):
        folder, exe = folder_with(name, exe)
        t = Terminal(exe, folder)
        t.expect(PROMPT_END)
        t.send("y")
        t.expect("pre-Setup: " + message)
        # The Failed state: the buttons are disabled, y, Enter and n do nothing.
        t.send("y\rn")
        t.settle()
        check(t.out.count(b"Please wait...") == 1, "the preparation ran twice")
        check(CONFIRM.encode() not in t.out, "confirmation after a failure")
        t.send("\x04")
        check(t.wait() == 0, "exit code %s" % t.status)
        check(t.mode_is_normal(), "terminal left in raw mode")
        t.close()
        check(not os.path.exists(os.path.join(folder, MARKER)), "setup.exe started")
        return folder

    def missing_resource():
        folder = failure_stays_until_the_input_ends(args.stub, "Ressource MyArchiv nicht gefunden.",
                                                    "missing")
        check(os.listdir(folder) == [os.path.basename(args.stub)], "written: %s" % os.listdir(folder))

    def corrupted_entry():
        failure_stays_until_the_input_ends(
            corrupt, "Bad checksum during expansion -- data may be invalid.", "corrupt")

    def closed_terminal_ends_the_launcher():
        folder, exe = folder_with("hangup", launcher)
        t = Terminal(exe, folder)
        t.expect(PROMPT_END)
        t.close()
        check(t.wait() == 0, "exit code %s" % t.status)
        check(os.listdir(folder) == ["pre-setup"], "written: %s" % os.listdir(folder))

    def sigterm_restores_the_terminal():
        folder, exe = folder_with("sigterm", launcher)
        t = Terminal(exe, folder)
        t.expect(PROMPT_END)
        check(not t.mode_is_normal(), "no single-key mode at the prompt")
        os.kill(t.pid, signal.SIGTERM)
        check(t.wait() == 0, "exit code %s" % t.status)
        check(t.mode_is_normal(), "terminal left in raw mode")
        t.close()

    def piped_yes_and_confirmation():
        # The launcher of the build, as `printf 'y\n\n' | ./pre-setup` runs it.
        folder, exe = folder_with("pipe", args.launcher)
        run = subprocess.run([exe], input=b"y\n\n", cwd=folder, capture_output=True, timeout=60)
        check(run.returncode == 0, "exit code %s" % run.returncode)
        check(CONFIRM.encode() in run.stdout, "no confirmation in %r" % run.stdout)
        check(run.stderr == b"", "stderr %r" % run.stderr)
        check(wait_for_file(os.path.join(folder, MARKER), 10), "setup.exe left no marker")
        # Packed at build time in the build's time zone: names, bytes and the read-only bit.
        compare_with_stage(stage, folder, extra=("pre-setup", MARKER), dates=False)

    return run_cases([
        ("enter_extracts_and_starts_setup", enter_extracts_and_starts_setup),
        ("alt_y_then_end_of_input_at_the_confirmation", alt_y_then_end_of_input_at_the_confirmation),
        ("escape_does_nothing_and_n_writes_nothing", escape_does_nothing_and_n_writes_nothing),
        ("missing_resource", missing_resource),
        ("corrupted_entry", corrupted_entry),
        ("closed_terminal_ends_the_launcher", closed_terminal_ends_the_launcher),
        ("sigterm_restores_the_terminal", sigterm_restores_the_terminal),
        ("piped_yes_and_confirmation", piped_yes_and_confirmation),
    ])


if __name__ == "__main__":
    sys.exit(main())
