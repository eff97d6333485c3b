#!/usr/bin/env python3
"""Writing look-up results as a workbook, side by side in one run: haojian-cli lookup -o .xlsx
(read the list, look up, write a workbook of four columns with a header) against openpyxl in
write-only mode and XlsxWriter in constant-memory mode doing the same from a dictionary of the
database's segments, and haojian-cli writing CSV against Python's csv module. Prints the best
and the median of the runs, and each peer's time as a multiple of ours.

    table_write_compare.py HAOJIAN_CLI DATABASE [ROWS] [RUNS]
"""

import os
import random
import resource
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "support"))
import list_inputs  # noqa: E402

# The peers: each reads the list, looks every number up in a dictionary of the segments and
# writes the four columns. Card types and names are taken from the database line as it stands:
# the writing is what is measured, not the decoding of codes.
PEER = r'''
import csv, sys
kind, db, lst, out = sys.argv[1:5]
segments = {}
with open(db, "rb") as f:
    for line in f.read().splitlines():
        segments.setdefault(line[:7].decode("ascii", "replace"), line[7:].decode("gbk", "replace"))
header = ["手机号码", "省份", "城市", "卡类"]
def rows():
    with open(lst, encoding="ascii") as f:
        for line in f:
            n = line.rstrip("\n")
            v = segments.get(n[:7])
            yield (n, v[:2], v[:4], v[4:5]) if v else (n, "未知", "未知", "未知")
if kind == "openpyxl":
    from openpyxl import Workbook
    wb = Workbook(write_only=True)
    ws = wb.create_sheet()
    ws.append(header)
    for r in rows():
        ws.append(r)
    wb.save(out)
elif kind == "xlsxwriter":
    import xlsxwriter
    wb = xlsxwriter.Workbook(out, {"constant_memory": True})
    ws = wb.add_worksheet()
    ws.write_row(0, 0, header)
    for i, r in enumerate(rows(), 1):
        ws.write_row(i, 0, r)
    wb.close()
else:
    with open(out, "w", newline="", encoding="gbk") as f:
        w = csv.writer(f)
        w.writerow(header)
        w.writerows(rows())
'''


def timed(command):
    start = time.perf_counter()
    before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    seconds = time.perf_counter() - start
    return seconds, max(before, resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)


def main():
    cli, db = sys.argv[1], sys.argv[2]
    rows = int(sys.argv[3]) if len(sys.argv) > 3 else 1_000_000
    runs = int(sys.argv[4]) if len(sys.argv) > 4 else 3
    with tempfile.TemporaryDirectory() as work:
        lst = os.path.join(work, "list.txt")
        numbers = list_inputs.numbers(random.Random(31), list_inputs.database_prefixes(db), rows)
        list_inputs.write_lines(lst, numbers, b"\n")
        peer = os.path.join(work, "peer.py")
        with open(peer, "w") as f:
            f.write(PEER)
        cases = [
            ("haojian-cli xlsx", [cli, "lookup", "-q", "--db", db, "-o",
                                  os.path.join(work, "h.xlsx"), lst]),
            ("openpyxl write-only", [sys.executable, peer, "openpyxl", db, lst,
                                     os.path.join(work, "o.xlsx")]),
            ("XlsxWriter constant_memory", [sys.executable, peer, "xlsxwriter", db, lst,
                                            os.path.join(work, "x.xlsx")]),
            ("haojian-cli csv", [cli, "lookup", "-q", "--db", db, "-o",
                                 os.path.join(work, "h.csv"), lst]),
            ("python csv", [sys.executable, peer, "csv", db, lst, os.path.join(work, "p.csv")]),
        ]
        times = {name: [] for name, _ in cases}
        for _ in range(runs):
            for name, command in cases:
                times[name].append(timed(command)[0])
        ours = {"xlsx": statistics.median(times["haojian-cli xlsx"]),
                "csv": statistics.median(times["haojian-cli csv"])}
        print(f"{rows} rows, {runs} runs each (seconds: best / median; peer median / ours)")
        for name, _ in cases:
            best, median = min(times[name]), statistics.median(times[name])
            base = ours["csv"] if "csv" in name else ours["xlsx"]
            print(f"  {name:28} {best:7.2f} / {median:7.2f}   {median / base:6.1f}x")


if __name__ == "__main__":
    main()
