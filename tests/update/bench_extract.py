#!/usr/bin/env python3
"""Extraction figures: `ostrelctl extract` under Wine against Debian's unzip
on the same archive, runs interleaved, each into a fresh folder; median and
range of the wall time, and the peak resident memory of each extracting
process (ostrelctl.exe's Wine process, unzip itself), sampled while it runs.

    tests/update/bench_extract.py <windows-build-dir> [runs] [megabytes] [files]

The archive (default 100 MB in 2,000 files, deflated, about half of each
file compressible) is made with Python's zipfile in a temporary folder.
"""

import os
import random
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
import zipfile


def make_archive(path, megabytes, files):
    rng = random.Random(1)
    size = megabytes * 1024 * 1024 // files
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
        for i in range(files):
            noise = rng.randbytes(size // 2)
            text = (b"line %d of a fairly ordinary package file\n" % i) * (size // 2 // 42 + 1)
            z.writestr("pkg/dir%02d/file%04d.bin" % (i % 40, i), (noise + text)[:size])


def peak_kib(process_name):
    """The largest VmHWM of the running processes with that name."""
    peak = 0
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/comm" % pid) as f:
                if f.read().strip() != process_name:
                    continue
            with open("/proc/%s/status" % pid) as f:
                for line in f:
                    if line.startswith("VmHWM:"):
                        peak = max(peak, int(line.split()[1]))
        except OSError:
            pass
    return peak


def run(command, process_name):
    """Wall seconds, and the peak resident memory (KiB) of the extracting
    process, sampled from /proc while it runs (the Wine process is a
    grandchild, and a forked child's own counters start with its parent's)."""
    start = time.monotonic()
    proc = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    peak = 0
    while proc.poll() is None:
        peak = max(peak, peak_kib(process_name))
        time.sleep(0.02)
    seconds = time.monotonic() - start
    if proc.returncode != 0:
        raise SystemExit("%s failed with %d" % (command[0], proc.returncode))
    return seconds, peak


def summary(name, values, unit, fmt="%.2f"):
    values = sorted(values)
    return "%-28s median " % name + fmt % statistics.median(values) + " %s (min " % unit + fmt % values[0] + \
        ", max " + fmt % values[-1] + ", %d runs)" % len(values)


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    build = os.path.abspath(argv[1])
    runs = int(argv[2]) if len(argv) > 2 else 5
    megabytes = int(argv[3]) if len(argv) > 3 else 100
    files = int(argv[4]) if len(argv) > 4 else 2000
    repo = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    wine_env = os.path.join(repo, "tools", "wine-env")
    ostrelctl = os.path.join(build, "bin", "ostrelctl.exe")
    work = tempfile.mkdtemp(prefix="bench-extract-")
    try:
        archive = os.path.join(work, "package.zip")
        make_archive(archive, megabytes, files)
        print("archive: %d files, %.1f MB inflated, %.1f MB on disk" %
              (files, megabytes, os.path.getsize(archive) / 1e6))
        subprocess.run([wine_env, "start", os.path.join(build, "wine")], check=True, stdout=subprocess.DEVNULL)
        # One warm-up of each, so neither pays for a cold page cache alone.
        results = {"ostrelctl extract (Wine)": ([], []), "unzip": ([], [])}
        for i in range(runs + 1):
            for name in results:
                out = os.path.join(work, "out")
                shutil.rmtree(out, ignore_errors=True)
                if name == "unzip":
                    cmd, process = ["unzip", "-q", "-o", archive, "-d", out], "unzip"
                else:
                    cmd = [wine_env, "run", os.path.join(build, "wine"), ostrelctl, "extract", archive, out]
                    process = "ostrelctl.exe"
                seconds, rss = run(cmd, process)
                if i > 0:
                    results[name][0].append(seconds)
                    results[name][1].append(rss / 1024)
        for name, (times, memory) in results.items():
            print(summary(name, times, "s"))
            print(summary("  peak resident memory", memory, "MB", "%.1f"))
        ratio = statistics.median(results["unzip"][0]) / statistics.median(results["ostrelctl extract (Wine)"][0])
        print("speed of ostrelctl extract relative to unzip: %.2f x" % ratio)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
