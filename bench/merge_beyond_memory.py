#!/usr/bin/python3
"""Merge beyond memory: haojian-cli merge of one large file with a memory budget, against GNU
sort with the same buffer and temporary folder, in one run.

  bench/merge_beyond_memory.py [--size 8G] [--memory 1G] [--runs 3] [--sort-runs N]
                               [--folder DIR] [--kind digits,text] [--bin build/bin] [--wine]

The inputs: eleven-digit numbers, a quarter of the lines repeating earlier ones; GBK text lines
(a Chinese name, a romanised word, a city and a number; a quarter repeat earlier lines, most in
another letter case). Both are made in the folder, which also takes the temporary files of
both programs and the outputs: about three times the size free is needed for each kind. Each
command is timed --runs times (wall time, peak resident memory by /usr/bin/time); the best and
the median are printed, with the processor time (user and system, median) and the ratios
against sort (--sort-runs sets its runs apart, sort taking far longer); each output's lines
and digest are taken and the file removed at once, to keep the room needed down. Ours
includes making the result durable (fsync), which sort does not. --wine also merges the digit
lines with the Windows build under wine and compares its bytes with the Linux tool's.
"""

import argparse
import hashlib
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

import numpy as np

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "bench", "support"))
from list_inputs import SURNAMES, GIVEN, WORDS, CITIES  # noqa: E402


def size_arg(text):
    units = {"K": 1 << 10, "M": 1 << 20, "G": 1 << 30, "T": 1 << 40}
    text = text.strip().upper()
    if text[-1:] in units:
        return int(float(text[:-1]) * units[text[-1]])
    return int(text)


# Fresh numbers come from a permutation of 10^10 values (an affine map modulo a prime above it),
# so that none repeats by chance; repeats are drawn from the numbers already written. The lines
# are made a block at a time by numpy, so that 8 GiB take a minute or two, not a quarter hour.
PRIME = 10000000019
STEP = 7777777777
BLOCK = 1 << 20


def fresh_numbers(index):
    return 10000000000 + (index * STEP + 12345) % PRIME % 10000000000


def quarter_repeated(path, size, rng, block_of):
    """Writes blocks of lines to path until it holds size bytes. Each line is numbered: a fresh
    number, or for a quarter of them (marked) one drawn from the fresh numbers before it.
    block_of(numbers, repeated) gives a block's bytes."""
    written = 0
    fresh = 0
    with open(path, "wb") as f:
        while written < size:
            repeated = rng.random(BLOCK) < 0.25
            before = fresh + np.cumsum(~repeated) - (~repeated)  # fresh numbers before each
            repeated &= before > 0
            index = np.where(repeated, (rng.random(BLOCK) * before).astype(np.int64), before)
            fresh += int(np.count_nonzero(~repeated))
            block = block_of(fresh_numbers(index), repeated)
            f.write(block)
            written += len(block)


def digits_of(values, width):
    """The numbers as ASCII digits, width a line (values below 10^width), in a matrix."""
    out = np.empty((len(values), width), np.uint8)
    for k in range(width - 1, -1, -1):
        out[:, k] = values % 10 + 48
        values = values // 10
    return out


def digit_file(path, size, rng):
    def block_of(numbers, repeated):
        lines = np.empty((len(numbers), 13), np.uint8)
        lines[:, :11] = digits_of(numbers, 11)
        lines[:, 11:] = (13, 10)
        return lines.tobytes()
    quarter_repeated(path, size, rng, block_of)


class Pieces:
    """Byte strings as a padded table, to be placed in lines by their indexes."""

    def __init__(self, texts):
        encoded = [t.encode("gbk") for t in texts]
        self.lengths = np.array([len(e) for e in encoded], np.int64)
        self.table = np.zeros((len(encoded), max(self.lengths)), np.uint8)
        for i, e in enumerate(encoded):
            self.table[i, :len(e)] = np.frombuffer(e, np.uint8)


def place(lines, at, pieces, which, rows=None):
    """Writes piece which[i] into row rows[i] of lines from column at[rows[i]] (every row when
    rows is None), and moves at past it."""
    rows = np.arange(len(lines)) if rows is None else rows
    lengths = pieces.lengths[which]
    for k in range(pieces.table.shape[1]):
        hit = lengths > k
        lines[rows[hit], at[rows[hit]] + k] = pieces.table[which[hit], k]
    at[rows] += lengths


def text_file(path, size, rng):
    """Lines of a Chinese name, a romanised word and a number, a city and a number. Most repeats
    come in another letter case: the word (the only ASCII letters) swapped or upper-cased."""
    surnames = Pieces(SURNAMES)
    given = Pieces(list(GIVEN) + [""])
    words = [Pieces([" " + w for w in WORDS]), Pieces([" " + w.swapcase() for w in WORDS]),
             Pieces([" " + w.upper() for w in WORDS])]
    small = Pieces([f"{n} " for n in range(1000)])
    cities = Pieces([c + " " for c in CITIES])

    def block_of(h, repeated):
        n = len(h)
        lines = np.zeros((n, 64), np.uint8)
        at = np.zeros(n, np.int64)
        place(lines, at, surnames, h % len(SURNAMES))
        place(lines, at, given, h // 97 % len(GIVEN))
        place(lines, at, given, np.where(h // 7 % 2 == 1, h // 7919 % len(GIVEN), len(GIVEN)))
        case = np.where(repeated & (rng.random(n) < 0.8), 1 + (rng.random(n) >= 0.5), 0)
        word = h // 1009 % len(WORDS)
        for c in range(3):
            rows = np.nonzero(case == c)[0]
            place(lines, at, words[c], word[rows], rows)
        place(lines, at, small, h // 13 % 1000)
        place(lines, at, cities, h // 31 % len(CITIES))
        number = digits_of(h, 11)
        rows = np.arange(n)
        for k in range(11):
            lines[rows, at + k] = number[:, k]
        lines[rows, at + 11] = 13
        lines[rows, at + 12] = 10
        keep = np.arange(64)[None, :] < (at + 13)[:, None]
        return lines[keep].tobytes()
    quarter_repeated(path, size, rng, block_of)


def measure(command, runs, env=None):
    """Wall times, peaks and processor times (user and system) of runs of command."""
    times, peaks, cpu = [], [], []
    for _ in range(runs):
        with tempfile.NamedTemporaryFile("r") as report:
            r = subprocess.run(["/usr/bin/time", "-v", "-o", report.name] + command,
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
            if r.returncode != 0:
                sys.exit(f"failed: {' '.join(command)}\n{r.stderr.decode(errors='replace')}")
            fields = dict(line.strip().split(": ", 1) for line in report.read().splitlines()
                          if ": " in line)
        clock = fields["Elapsed (wall clock) time (h:mm:ss or m:ss)"].split(":")
        seconds = sum(float(part) * 60 ** i for i, part in enumerate(reversed(clock)))
        times.append(seconds)
        peaks.append(int(fields["Maximum resident set size (kbytes)"]) * 1024)
        cpu.append(float(fields["User time (seconds)"]) + float(fields["System time (seconds)"]))
    return times, peaks, cpu


def show(label, figures, peer=None):
    times, peaks, cpu = figures
    best, median = min(times), statistics.median(times)
    line = (f"  {label:<36} best {best:8.2f} s  median {median:8.2f} s  "
            f"processor {statistics.median(cpu):7.2f} s  peak {max(peaks) / 2**20:6.0f} MiB")
    if peer:
        line += (f"  -> {min(peer[0]) / best:.2f}x best, "
                 f"{statistics.median(peer[0]) / median:.2f}x median, "
                 f"{statistics.median(peer[2]) / statistics.median(cpu):.2f}x processor")
    print(line, flush=True)


def lines_and_digest(path):
    """The file's number of lines and SHA-256; the file is then removed, to give its room back."""
    digest = hashlib.sha256()
    lines = 0
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 24), b""):
            lines += block.count(b"\n")
            digest.update(block)
    os.remove(path)
    return lines, digest.hexdigest()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--size", type=size_arg, default=size_arg("8G"))
    parser.add_argument("--memory", default="1G")
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--sort-runs", type=int, help="runs of sort (default: --runs)")
    parser.add_argument("--folder")
    parser.add_argument("--kind", default="digits,text")
    parser.add_argument("--bin", default=os.path.join(ROOT, "build", "bin"))
    parser.add_argument("--wine", action="store_true")
    args = parser.parse_args()
    cli = os.path.join(args.bin, "haojian-cli")
    if not os.path.exists(cli):
        sys.exit(f"no {cli}: build it first (tools/build.sh --target haojian-cli build)")
    folder = args.folder or tempfile.mkdtemp(prefix="merge-beyond-memory-")
    os.makedirs(folder, exist_ok=True)
    memory = size_arg(args.memory)
    print(f"{os.cpu_count()} cores; input {args.size / 2**30:.2f} GiB per kind, memory "
          f"{args.memory}, folder {folder}; {args.runs} runs each", flush=True)
    rng = np.random.default_rng(2026)
    c_env = dict(os.environ, LC_ALL="C")
    try:
        for kind in args.kind.split(","):
            source = os.path.join(folder, f"{kind}.txt")
            ours_out = os.path.join(folder, f"{kind}.ours")
            sort_out = os.path.join(folder, f"{kind}.sort")
            (digit_file if kind == "digits" else text_file)(source, args.size, rng)
            print(f"\n{kind}: {os.path.getsize(source) / 2**30:.2f} GiB", flush=True)
            ours = [cli, "merge", "-q", "--memory", args.memory, "-T", folder, "-o", ours_out,
                    source]
            peer = ["sort", "-u"] + (["-f"] if kind == "text" else []) + \
                ["-S", args.memory, "-T", folder, "-o", sort_out, source]
            sort_figures = measure(peer, args.sort_runs or args.runs, c_env)
            show("LC_ALL=C " + " ".join(peer[:-7]) + " -S " + args.memory + " -T", sort_figures)
            sort_lines, _ = lines_and_digest(sort_out)
            figures = measure(ours, args.runs, c_env)
            show(f"haojian-cli merge --memory {args.memory} -T", figures, sort_figures)
            our_lines, our_digest = lines_and_digest(ours_out)
            print(f"  lines: ours {our_lines:,}, sort {sort_lines:,}; our peak is "
                  f"{max(figures[1]) / memory:.2f}x the budget; ours SHA-256 {our_digest}",
                  flush=True)
            if args.wine and kind == "digits":
                wine = [os.path.join(ROOT, "tools", "windows", "wine-run.sh"), "--prefix",
                        os.path.join(ROOT, "build-windows", "wineprefix"),
                        os.path.join(ROOT, "build-windows", "bin", "haojian-cli.exe")]
                wine_out = os.path.join(folder, "digits.wine")
                wine_figures = measure(wine + ["merge", "-q", "--memory", args.memory, "-T",
                                               folder, "-o", wine_out, source], 1, c_env)
                show("haojian-cli.exe under wine", wine_figures)
                _, wine_digest = lines_and_digest(wine_out)
                print("  same bytes as the Linux tool: "
                      f"{'yes' if wine_digest == our_digest else 'NO'}", flush=True)
            os.remove(source)
    finally:
        # A failed or interrupted run leaves no input or output of many gigabytes behind.
        if args.folder:
            for kind in args.kind.split(","):
                for end in ("txt", "ours", "sort", "wine"):
                    path = os.path.join(folder, f"{kind}.{end}")
                    if os.path.exists(path):
                        os.remove(path)
        else:
            shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
