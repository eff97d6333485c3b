#!/usr/bin/env python3
"""haojian-cli.exe under wine against the Linux haojian-cli: the same bytes (standard output,
standard error, written files and exit status) for lookup (of text lists and of the sample
tables), export in every layout and with every kind of filter, CSV and TSV results and the files
of a split export, stats, db build, db check and the merge of digit lines, and the same cells in
the workbooks, on generated
lists of 1,000,000 numbers and the shipped database. The merge of Chinese text is checked
against Windows' own comparison instead: its lines are the first of each set of lines equal
but for letter case, in the order merge_order_check.exe finds by CompareStringEx. Statistics
with equal counts give the same lines, each platform's ties in its own collation's order.

    compare_cli.py LINUX_BIN WINDOWS_BIN WINE_PREFIX SEGMENT_TABLE_GEN

Exits 77 (skipped) when WINDOWS_BIN holds no haojian-cli.exe.
"""

import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "bench", "support"))
import list_inputs  # noqa: E402

WINE_RUN = os.path.join(ROOT, "tools", "windows", "wine-run.sh")
LAYOUTS = ["手机号码", "手机号码+省份", "手机号码+城市", "手机号码+卡类", "手机号码+省份+卡类",
           "手机号码+城市+卡类"]

failures = []


def fail(message):
    failures.append(message)
    print(f"FAIL: {message}", flush=True)


class Programs:
    def __init__(self, linux_bin, windows_bin, prefix, work):
        self.linux = os.path.join(linux_bin, "haojian-cli")
        self.windows = [WINE_RUN, "--prefix", prefix, os.path.join(windows_bin, "haojian-cli.exe")]
        self.work = work
        self.seconds = {"linux": 0.0, "windows": 0.0}
        for side in ("linux", "windows"):
            os.makedirs(os.path.join(work, side))

    def run(self, side, args, stdin=None, env=None):
        command = ([self.linux] if side == "linux" else self.windows) + args
        start = time.perf_counter()
        with open(stdin, "rb") if stdin else open(os.devnull, "rb") as given:
            r = subprocess.run(command, cwd=os.path.join(self.work, side), stdin=given,
                               capture_output=True, env=env)
        self.seconds[side] += time.perf_counter() - start
        return r

    def compare(self, args, outputs=(), stdin=None, own_path=None):
        """Runs args on both sides (inputs named from the work folder as ../NAME) and compares
        the exit status, the standard streams and the files named in outputs. own_path, a
        pattern of bytes, marks where each tool names a file of its own folder."""
        name = " ".join(args)
        results = {side: self.run(side, args, stdin) for side in ("linux", "windows")}
        if own_path:
            for r in results.values():
                r.stdout = own_path.sub(b"<beside the program>", r.stdout)
        linux, windows = results["linux"], results["windows"]
        same = True
        if linux.returncode != windows.returncode:
            fail(f"{name}: exit status {windows.returncode} on Windows, {linux.returncode} on Linux"
                 f" (Windows said: {windows.stderr.decode('utf-8', 'replace').strip()[:400]})")
            same = False
        for stream in ("stdout", "stderr"):
            a, b = getattr(linux, stream), getattr(windows, stream)
            if a != b:
                fail(f"{name}: {stream} differs at byte {first_difference(a, b)} "
                     f"(Linux {len(a)} bytes, Windows {len(b)}): "
                     f"{excerpt(a, b)}")
                same = False
        for output in outputs:
            a, b = (read(os.path.join(self.work, side, output)) for side in ("linux", "windows"))
            if a != b:
                fail(f"{name}: {output} differs at byte {first_difference(a, b)} "
                     f"(Linux {size(a)} bytes, Windows {size(b)})")
                same = False
        print(f"{'same' if same else 'DIFFERENT'}: {name}", flush=True)
        return linux


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return None


def size(data):
    return "no file" if data is None else len(data)


def first_difference(a, b):
    a, b = a or b"", b or b""
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return i
    return min(len(a), len(b))


def excerpt(a, b):
    at = first_difference(a, b)
    lo = max(0, at - 40)
    return f"Linux {a[lo:at + 40]!r}, Windows {b[lo:at + 40]!r}"


def damaged_database(db, path):
    """The shipped database's first lines with every fault db check reports."""
    with open(db, "rb") as f:
        lines = f.read().split(b"\r\n")[:2000]
    lines[10:10] = [b"13x0000110100", b"1300001", b"1300002999901", b"130000311010x", b"",
                    lines[20]]
    lines.insert(1500, b"1390000\x00110101")
    with open(path, "wb") as f:
        f.write(b"\r\n".join(lines) + b"\r\n")


def check_text_merge(programs, windows_bin, prefix, sources):
    out = "merged_text.txt"
    args = ["merge", "-q", "-o", out] + [f"../{os.path.basename(p)}" for p in sources]
    runs = {side: programs.run(side, args) for side in ("linux", "windows")}
    for side, r in runs.items():
        if r.returncode != 0:
            fail(f"text merge on {side} exited {r.returncode}: {r.stderr.decode(errors='replace')}")
            return
    # The first of each set of lines equal but for letter case, in source order.
    expected, seen = set(), set()
    for path in sources:
        with open(path, "rb") as f:
            for line in f.read().split(b"\n")[:-1]:
                key = line.decode("gbk").lower()
                if key not in seen:
                    seen.add(key)
                    expected.add(line)
    for side in ("linux", "windows"):
        data = read(os.path.join(programs.work, side, out))
        lines = data.split(b"\r\n" if b"\r\n" in data else b"\n")[:-1]
        if len(lines) != len(expected) or set(lines) != expected:
            fail(f"text merge on {side}: {len(lines)} lines, {len(set(lines))} distinct, "
                 f"{len(set(lines) & expected)} of the {len(expected)} expected")
    checker = os.path.join(windows_bin, "merge_order_check.exe")
    r = subprocess.run([WINE_RUN, "--prefix", prefix, checker, out],
                       cwd=os.path.join(programs.work, "windows"), capture_output=True)
    report = (r.stdout + r.stderr).decode("utf-8", "replace").strip()
    if r.returncode != 0:
        fail(f"text merge on Windows is not in CompareStringEx's order: {report}")
    else:
        print(f"same set, Windows order: text merge ({report})", flush=True)


def check_stats_ties(programs, db):
    """Names with equal counts: both platforms give the same lines, and each lists the tied
    names in the order of its own collation, the one its merge sorts by."""
    cities = {"0100": "北京", "0300": "上海", "0400": "重庆", "1401": "沈阳"}
    prefixes = {}
    with open(db, "rb") as f:
        for line in f.read().split(b"\r\n"):
            code = line[7:11].decode("ascii", "replace")
            if code in cities and code not in prefixes:
                prefixes[code] = line[:7].decode("ascii")
    if len(prefixes) != len(cities):
        fail(f"stats ties: the database has no mobile segment for {set(cities) - set(prefixes)}")
        return
    # Three numbers in each of the four cities, and five of no segment (未知), counted first.
    numbers = [prefixes[c] + f"{i:04d}" for i in range(3) for c in cities]
    numbers = [f"1000000{i:04d}" for i in range(5)] + numbers
    with open(os.path.join(programs.work, "ties.txt"), "wb") as f:
        f.write("".join(n + "\r\n" for n in numbers).encode("ascii"))
    with open(os.path.join(programs.work, "ties_names.txt"), "wb") as f:
        f.write("".join(n + "\r\n" for n in cities.values()).encode("gbk"))
    # Linux in a Chinese locale, whose collation orders these names otherwise than Windows'.
    chinese = {k: v for k, v in os.environ.items() if not k.startswith("LC_")}
    chinese["LANG"] = "zh_CN.UTF-8"
    tables = {}
    for side in ("linux", "windows"):
        env = chinese if side == "linux" else None
        stats = programs.run(side, ["stats", "-q", "--by", "city", "../ties.txt"], env=env)
        merged = programs.run(side, ["merge", "-q", "-o", "-", "../ties_names.txt"], env=env)
        if stats.returncode != 0 or merged.returncode != 0:
            fail(f"stats ties on {side}: exit {stats.returncode} and {merged.returncode}")
            return
        lines = stats.stdout.split(b"\n")[:-1]
        tied = [line.split(b"\t")[0] for line in lines if line.split(b"\t")[1] == b"3"]
        own_order = merged.stdout.split(b"\r\n")[:-1]
        if tied != own_order:
            fail(f"stats ties on {side}: tied names {tied}, its own collation orders {own_order}")
        if len(lines) != 5 or lines[0].split(b"\t")[1] != b"5":
            fail(f"stats ties on {side}: {lines}")
        tables[side] = lines
        print(f"{side} ties: {b' '.join(tied).decode('gbk')}", flush=True)
    if sorted(tables["linux"]) != sorted(tables["windows"]):
        fail(f"stats ties: other lines on Windows {tables['windows']} than on Linux "
             f"{tables['linux']}")


def workbook_cells(path, into):
    """The sheets of a workbook as LibreOffice reads them: name -> CSV bytes; None without
    soffice."""
    if shutil.which("soffice") is None:
        return None
    subprocess.run(["soffice", f"-env:UserInstallation=file://{into}/profile", "--headless",
                    "--convert-to",
                    "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false,-1",
                    "--outdir", into, path], capture_output=True)
    stem = os.path.splitext(os.path.basename(path))[0] + "-"
    return {name[len(stem):]: read(os.path.join(into, name))
            for name in sorted(os.listdir(into)) if name.startswith(stem)}


def check_tables(p):
    """CSV, TSV and split files byte for byte; workbooks cell for cell."""
    p.compare(["lookup", "-q", "-o", "look.csv", "../numbers.txt"], outputs=["look.csv"])
    p.compare(["lookup", "-q", "--utf8", "-o", "look.tsv", "../numbers.txt"],
              outputs=["look.tsv"])
    p.compare(["export", "-q", "--layout", LAYOUTS[-1], "-o", "export.csv", "../numbers.txt"],
              outputs=["export.csv"])
    for side in ("linux", "windows"):
        os.makedirs(os.path.join(p.work, side, "cities"), exist_ok=True)
    p.compare(["export", "-q", "--split", "city", "--format", "csv", "-o", "cities",
               "../numbers.txt"])
    names = sorted(os.listdir(os.path.join(p.work, "linux", "cities")))
    if sorted(os.listdir(os.path.join(p.work, "windows", "cities"))) != names:
        fail("export --split city: the two sides wrote different files")
    for name in names:
        a, b = (read(os.path.join(p.work, side, "cities", name)) for side in ("linux", "windows"))
        if a != b:
            fail(f"export --split city: cities/{name} differs at byte {first_difference(a, b)}")
    # A table in: every row's cells, then the answers.
    with open(os.path.join(p.work, "people.csv"), "wb") as f:
        f.write("姓名,手机,备注\r\n张三,+86 138-0013-8000,\"a,b\"\r\n,,\r\n李四,13912345678,\r\n"
                .encode("gbk"))
    p.compare(["lookup", "-q", "-o", "table_out.csv", "../people.csv"], outputs=["table_out.csv"])
    for args, book in ((["lookup", "-q", "-o", "look.xlsx", "../numbers.txt"], "look.xlsx"),
                       (["lookup", "-q", "-o", "table_out.xlsx", "../people.csv"],
                        "table_out.xlsx"),
                       (["export", "-q", "--split", "province", "-o", "split.xlsx",
                         "../numbers.txt"], "split.xlsx")):
        p.compare(args)
        cells = [workbook_cells(os.path.join(p.work, side, book),
                                os.path.join(p.work, side, book + ".cells"))
                 for side in ("linux", "windows")]
        if cells[0] is None:
            print(f"not compared: {book} (no soffice)", flush=True)
        elif cells[0] != cells[1] or not cells[0]:
            fail(f"{book}: the sheets differ ({list(cells[0])} and {list(cells[1])})")
        else:
            print(f"same cells: {book}", flush=True)


def main():
    if len(sys.argv) != 5:
        print(__doc__, file=sys.stderr)
        return 2
    linux_bin, windows_bin, prefix, table_gen = (os.path.abspath(a) for a in sys.argv[1:])
    if not os.path.isfile(os.path.join(windows_bin, "haojian-cli.exe")):
        print(f"SKIP: {windows_bin}/haojian-cli.exe is not built")
        return 77
    db = os.path.join(ROOT, "data", "kelvaronset.dat")
    started = time.perf_counter()
    with tempfile.TemporaryDirectory(prefix="haojian-windows-compare-") as work:
        rng = random.Random(20261207)
        numbers = os.path.join(work, "numbers.txt")
        list_inputs.write_lines(numbers, list_inputs.numbers(
            rng, list_inputs.database_prefixes(db), 1_000_000), b"\r\n")
        digits = list_inputs.digit_sources(rng, work, 3, 400_000)
        texts = list_inputs.text_sources(rng, work, 2, 150_000)
        shutil.copy(db, os.path.join(work, "shipped.dat"))
        damaged_database(db, os.path.join(work, "damaged.dat"))
        for style in ([], ["--gbk", "--tab", "--official"]):
            name = "table" + "".join(style).replace("--", "_") + ".csv"
            subprocess.run([table_gen, db, "400000", os.path.join(work, name)] + style,
                           check=True, capture_output=True)
        print(f"inputs made in {time.perf_counter() - started:.1f} s", flush=True)

        p = Programs(linux_bin, windows_bin, prefix, work)
        # The database beside the program, and one named.
        p.compare(["lookup", "-q", "../numbers.txt"])
        p.compare(["lookup", "-q", "--utf8", "--db", "../shipped.dat", "../numbers.txt"])
        p.compare(["lookup", "-q", "-"], stdin=numbers)
        # The sample tables, good and bad, cell for cell, and what is said of them.
        tables = os.path.join(ROOT, "tests", "data", "tables")
        for name in sorted(os.listdir(tables)):
            shutil.copy(os.path.join(tables, name), work)
            p.compare(["lookup", "--utf8", f"../{name}"])
        p.compare(["lookup", "--clean", "--column", "C", "../gbk.csv"])
        for layout in LAYOUTS:
            p.compare(["export", "-q", "--layout", layout, "-o", "export.txt", "../numbers.txt"],
                      outputs=["export.txt"])
        for i, filters in enumerate((["--province", "广东"], ["--city", "深圳"],
                                     ["--card", "移动"], ["--card", "虚拟"],
                                     ["--province", "未知"], ["--city", "未知"],
                                     ["--province", "江苏", "--city", "南京", "--card", "电信"],
                                     ["--province", "火星"])):
            p.compare(["export", "-q", "--layout", LAYOUTS[i % len(LAYOUTS)]] + filters +
                      ["-o", "export.txt", "../numbers.txt"], outputs=["export.txt"])
        p.compare(["export", "-q", "--layout", LAYOUTS[-1], "-o", "-", "../numbers.txt"])
        for by in ("province", "city", "card"):
            p.compare(["stats", "-q", "--by", by, "../numbers.txt"])
        p.compare(["stats", "-q", "--utf8", "--by", "city", "../numbers.txt"])
        check_tables(p)
        p.compare(["db", "build", "-q", "-o", "built.dat", "../table.csv"], outputs=["built.dat"])
        p.compare(["db", "build", "-q", "-o", "built_gbk.dat", "../table_gbk_tab_official.csv"],
                  outputs=["built_gbk.dat"])
        p.compare(["db", "check"], own_path=re.compile(rb'"[^"\n]*kelvaronset\.dat"'))
        p.compare(["db", "check", "--db", "built.dat"])
        p.compare(["db", "check", "--db", "../damaged.dat"])
        merge_args = [f"../{os.path.basename(d)}" for d in digits]
        p.compare(["merge", "-q", "-o", "merged.txt"] + merge_args, outputs=["merged.txt"])
        p.compare(["merge", "-q", "-o", "-"] + merge_args)
        # Beyond its memory: runs in temporary files, merged in several passes.
        p.compare(["merge", "-q", "--memory", "4M", "-T", ".", "-o", "merged_runs.txt"] +
                  merge_args, outputs=["merged_runs.txt"])
        check_text_merge(p, windows_bin, prefix, texts)
        check_stats_ties(p, db)

    print(f"Linux tool {p.seconds['linux']:.1f} s, Windows tool under wine "
          f"{p.seconds['windows']:.1f} s, all {time.perf_counter() - started:.1f} s")
    if failures:
        print(f"{len(failures)} difference(s)")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
