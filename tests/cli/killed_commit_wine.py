#!/usr/bin/env python3
"""haojian-cli.exe under wine, killed (SIGKILL) again and again just as a merge over an existing
file puts its result in place: after every kill the target is there, whole, holding the old
content or the new, and a hidden copy of a result left beside it is removed by the next run.

Each kill comes a random moment after the hidden file has the whole result, within the time
that putting it in place takes (measured first on runs left alone); a fault of one run in forty
is caught with the runs given (default 200: a one-in-forty fault escapes (39/40)^200 < 0.1% of
the time).

Usage: killed_commit_wine.py BIN_DIR WINE_PREFIX [RUNS]
"""
import hashlib
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
WINE_RUN = os.path.join(ROOT, "tools", "windows", "wine-run.sh")


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def digest(path):
    try:
        with open(path, "rb") as f:
            return hashlib.sha256(f.read()).hexdigest()
    except FileNotFoundError:
        return None


def inode(path):
    try:
        return os.stat(path).st_ino
    except FileNotFoundError:
        return None


def hidden(folder):
    return sorted(n for n in os.listdir(folder) if n.startswith(".haojian-"))


def main():
    bin_dir, prefix = os.path.abspath(sys.argv[1]), sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 200
    work = tempfile.mkdtemp()
    try:
        os.chdir(work)
        exe = "commit-%d.exe" % os.getpid()  # told from any other run in the prefix
        shutil.copy(os.path.join(bin_dir, "haojian-cli.exe"), exe)
        rng = random.Random(29)
        with open("list.txt", "w", newline="") as f:
            for _ in range(200000):
                f.write("1%d%09d\r\n" % (3 + rng.randrange(6), rng.randrange(10**9)))
        os.mkdir("target")
        target = os.path.join("target", "out.txt")
        old = b"".join(b"old line %d\r\n" % i for i in range(100000))
        old_sum = hashlib.sha256(old).hexdigest()

        def put_old():
            with open("old.tmp", "wb") as f:
                f.write(old)
            os.replace("old.tmp", target)

        def start():
            return subprocess.Popen(
                [WINE_RUN, "--prefix", prefix, exe, "merge", "-o", "target\\out.txt", "list.txt"],
                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                stderr=open("run.err", "wb"))

        put_old()
        clean = start()
        if clean.wait() != 0:
            fail("a clean run failed: " + open("run.err").read())
        new_sum = digest(target)
        full = os.path.getsize(target)
        if hidden("target"):
            fail("a clean run left " + " ".join(hidden("target")))

        def wait_for_whole_result(child):
            while child.poll() is None:
                for name in hidden("target"):
                    try:
                        if os.path.getsize(os.path.join("target", name)) == full:
                            return True
                    except FileNotFoundError:
                        pass
            return False

        # How long the result takes from whole to in place, at most, on runs left alone.
        window = 0.0
        for _ in range(5):
            put_old()
            before = inode(target)
            child = start()
            if wait_for_whole_result(child):
                seen = time.monotonic()
                while child.poll() is None and inode(target) == before:
                    pass
                window = max(window, time.monotonic() - seen)
            child.wait()
        window *= 1.5

        killed = kept_old = took_new = copies = finished = 0
        for run in range(runs):
            put_old()
            child = start()
            if wait_for_whole_result(child):
                time.sleep(rng.uniform(0, window))
                child.send_signal(signal.SIGKILL)
            status = child.wait()
            if status != -signal.SIGKILL:
                finished += 1  # it ended before the kill
                continue
            killed += 1
            now = digest(target)
            if now is None:
                fail("run %d: killed while putting its result in place, no target left (%s)"
                     % (run, " ".join(hidden("target"))))
            if now not in (old_sum, new_sum):
                fail("run %d: the target is neither the old file nor the new" % run)
            kept_old += now == old_sum
            took_new += now == new_sum
            # The server closes the dead process's files a moment after it ends.
            time.sleep(0.05)
            for name in hidden("target"):
                if digest(os.path.join("target", name)) not in (new_sum, None):
                    fail("run %d: left %s, not a whole result" % (run, name))
                copies += 1
        print("%d of %d runs killed within %.0f ms of a whole result (%d ended first): %d kept "
              "the old file, %d had the new, %d left a hidden copy of the result" % (
                  killed, runs, window * 1000, finished, kept_old, took_new, copies))
        # Kills on both sides of the rename (or after the run's end): the moment it happens was
        # among those tried.
        if min(kept_old, took_new + finished) < runs // 20:
            fail("the kills did not come on both sides of putting the result in place")

        # The next run removes a hidden copy beside its target, and says so.
        os.utime("target", None)
        for name in hidden("target"):
            os.utime(os.path.join("target", name), (0, 0))
        left = hidden("target")
        put_old()
        if start().wait() != 0:
            fail("the last run failed: " + open("run.err").read())
        said = open("run.err", encoding="utf-8").read()
        for name in left:
            if "removed \"target\\%s\"" % name not in said:
                fail("the removal of %s not said: %s" % (name, said))
        if hidden("target") or digest(target) != new_sum:
            fail("the last run left %s" % " ".join(hidden("target")))
        print("every target whole; the hidden copies removed by the next run")
    finally:
        os.chdir("/")
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
