#!/usr/bin/env python3
"""Merge beyond memory: haojian-cli merge of one large file with a memory budget, against GNU
sort with the same buffer and temporary folder, in one run.

  bench/merge_beyond_memory.py [--size 8G] [--memory 1G] [--runs 3] [--folder DIR]
                               [--kind digits,text] [--bin build/bin] [--wine]

The inputs: eleven-digit numbers, a quarter of the lines repeating earlier ones; GBK text lines
(a Chinese name, a romanised word, a city and a number; a quarter repeat earlier lines, most in
another letter case). Both are made in the folder, which also takes the temporary files of
both programs and the outputs: about four times the size free is needed for each kind. Each
command is timed --runs times (wall time, peak resident memory by /usr/bin/time); the best and
the median are printed, with the processor time (user and system, median) and the ratios
against sort; ours includes making the result durable (fsync), which sort does not. --wine also merges the digit lines with
the Windows build under wine and compares its bytes with the Linux tool's.
"""

import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile

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
# so that none repeats by chance; repeats are drawn from the numbers already written.
PRIME = 10000000019
STEP = 7777777777


def fresh_number(i):
    return 10000000000 + (i * STEP + 12345) % PRIME % 10000000000


def quarter_repeated(path, size, rng, line_of, vary=lambda line, rng: line):
    """Writes lines line_of(0), line_of(1)... to path until it holds size bytes, a quarter of
    them repeating an earlier one (passed through vary), CR LF after each."""
    written = 0
    fresh = 0
    with open(path, "wb") as f:
        while written < size:
            lines = []
            for _ in range(50000):
                if fresh > 0 and rng.random() < 0.25:
                    lines.append(vary(line_of(rng.randrange(fresh)), rng))
                else:
                    lines.append(line_of(fresh))
                    fresh += 1
            block = b"\r\n".join(lines) + b"\r\n"
            f.write(block)
            written += len(block)


def digit_file(path, size, rng):
    quarter_repeated(path, size, rng, lambda i: b"%d" % fresh_number(i))


def text_line(i):
    h = fresh_number(i)
    name = SURNAMES[h % len(SURNAMES)] + GIVEN[h // 97 % len(GIVEN)]
    if h // 7 % 2:
        name += GIVEN[h // 7919 % len(GIVEN)]
    return (f"{name} {WORDS[h // 1009 % len(WORDS)]}{h // 13 % 1000} "
            f"{CITIES[h // 31 % len(CITIES)]} {h}").encode("gbk")


def other_case(line, rng):
    """Most repeats in another letter case (of the ASCII letters, not of GBK's bytes)."""
    if rng.random() >= 0.8:
        return line
    text = line.decode("gbk")
    return (text.swapcase() if rng.random() < 0.5 else text.upper()).encode("gbk")


def text_file(path, size, rng):
    quarter_repeated(path, size, rng, text_line, other_case)


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


def count_lines(path):
    with open(path, "rb") as f:
        return sum(block.count(b"\n") for block in iter(lambda: f.read(1 << 24), b""))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--size", type=size_arg, default=size_arg("8G"))
    parser.add_argument("--memory", default="1G")
    parser.add_argument("--runs", type=int, default=3)
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
    rng = random.Random(2026)
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
            sort_figures = measure(peer, args.runs, c_env)
            show("LC_ALL=C " + " ".join(peer[:-7]) + " -S " + args.memory + " -T", sort_figures)
            figures = measure(ours, args.runs, c_env)
            show(f"haojian-cli merge --memory {args.memory} -T", figures, sort_figures)
            print(f"  lines: ours {count_lines(ours_out):,}, sort {count_lines(sort_out):,}; "
                  f"our peak is {max(figures[1]) / memory:.2f}x the budget")
            if args.wine and kind == "digits":
                wine = [os.path.join(ROOT, "tools", "windows", "wine-run.sh"),
                        os.path.join(ROOT, "build-windows", "bin", "haojian-cli.exe")]
                wine_out = os.path.join(folder, "digits.wine")
                wine_figures = measure(wine + ["merge", "-q", "--memory", args.memory, "-T",
                                               folder, "-o", wine_out, source], 1, c_env)
                same = subprocess.run(["cmp", "-s", wine_out, ours_out]).returncode == 0
                show("haojian-cli.exe under wine", wine_figures)
                print(f"  same bytes as the Linux tool: {'yes' if same else 'NO'}")
                os.remove(wine_out)
            for path in (source, ours_out, sort_out):
                os.remove(path)
    finally:
        if not args.folder:
            shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
