#!/usr/bin/env python3
"""Prints what the settings store costs the program at its limits, for one or
more builds side by side (no pass or fail):

  big file:  a settings file of blank lines just under the largest size read;
             peak memory, time to the first caption and time to stop
  held lock: another program holds the settings lock; time to stop, and
             whether a second stop signal is heard

  tests/settings/stress.py NAME=PROGRAM [NAME=PROGRAM ...]

Each PROGRAM is a kq-rez-v1 build; it runs as the terminal face (no DISPLAY)
with its own config folder, under /usr/bin/time -v.
"""
import fcntl
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

LARGEST = 4 * 1024 * 1024


def run(program, config, second_signal=False):
    env = dict(os.environ, XDG_CONFIG_HOME=config)
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    timing = os.path.join(config, "time.txt")
    started = time.monotonic()
    child = subprocess.Popen(["/usr/bin/time", "-v", "-o", timing, program], env=env,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    seen = b""
    while b"KQ-DADEDED" not in seen:
        chunk = os.read(child.stdout.fileno(), 4096)
        if not chunk:
            break
        seen += chunk
    first_caption = time.monotonic() - started
    stop_asked = time.monotonic()
    # The signal goes to the program, not to time(1).
    program_pid = int(subprocess.run(["pgrep", "-P", str(child.pid)], capture_output=True,
                                     text=True).stdout.split()[0])
    os.kill(program_pid, signal.SIGTERM)
    if second_signal:
        time.sleep(0.2)
        try:
            os.kill(program_pid, signal.SIGINT)
        except ProcessLookupError:
            pass
    _, err = child.communicate(timeout=120)
    stopped = time.monotonic() - stop_asked
    with open(timing) as f:
        report = f.read()
    rss = int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", report).group(1))
    status = re.search(r"Exit status: (\d+)", report)
    return {
        "first caption s": round(first_caption, 3),
        "stop s": round(stopped, 3),
        "peak RSS MB": round(rss / 1024, 1),
        "exit": int(status.group(1)) if status else "signal",
        "stderr lines": len(err.decode(errors="replace").splitlines()),
    }


def settings_folder(config):
    folder = os.path.join(config, "KQ_REZ")
    os.makedirs(folder, mode=0o700)
    return folder


def big_file(program):
    with tempfile.TemporaryDirectory() as config:
        folder = settings_folder(config)
        with open(os.path.join(folder, "settings.ini"), "wb") as f:
            f.write(b"\n" * (LARGEST - 256))
        return run(program, config)


def small_file(program):
    with tempfile.TemporaryDirectory() as config:
        folder = settings_folder(config)
        with open(os.path.join(folder, "settings.ini"), "wb") as f:
            f.write(b"[kq-rez-v1]\nMAIN_Left=1000\n")
        return run(program, config)


def held_lock(program, second_signal):
    with tempfile.TemporaryDirectory() as config:
        folder = settings_folder(config)
        # Held where either kind of build locks: a lock file, or the folder.
        lock_file = os.open(os.path.join(folder, "settings.ini.lock"), os.O_RDWR | os.O_CREAT, 0o600)
        lock_folder = os.open(folder, os.O_RDONLY)
        fcntl.flock(lock_file, fcntl.LOCK_EX)
        fcntl.flock(lock_folder, fcntl.LOCK_EX)
        try:
            return run(program, config, second_signal)
        finally:
            os.close(lock_file)
            os.close(lock_folder)


def main():
    builds = [argument.split("=", 1) for argument in sys.argv[1:]]
    if not builds or any(len(b) != 2 for b in builds):
        print(__doc__)
        return 2
    cases = [
        ("2-line file", small_file),
        ("4 MiB of blank lines", big_file),
        ("held lock, SIGTERM", lambda p: held_lock(p, False)),
        ("held lock, SIGTERM then SIGINT", lambda p: held_lock(p, True)),
    ]
    for title, case in cases:
        print(title)
        for name, program in builds:
            print(f"  {name:8} {case(program)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
