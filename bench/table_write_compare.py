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


# Debian's python3-openpyxl and python3-xlsxwriter belong to the system's interpreter.
PYTHON = os.environ.get("PEER_PYTHON", "/usr/bin/python3" if os.path.exists("/usr/bin/python3")
                        else sys.executable)


def cpu_seconds():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def timed(command):
    """Wall-clock and processor seconds of command: on a shared machine the second is the
    steadier measure."""
    start, cpu = time.perf_counter(), cpu_seconds()
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    return time.perf_counter() - start, cpu_seconds() - cpu


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
            ("openpyxl write-only", [PYTHON, peer, "openpyxl", db, lst,
                                     os.path.join(work, "o.xlsx")]),
            ("XlsxWriter constant_memory", [PYTHON, peer, "xlsxwriter", db, lst,
                                            os.path.join(work, "x.xlsx")]),
            ("haojian-cli csv", [cli, "lookup", "-q", "--db", db, "-o",
                                 os.path.join(work, "h.csv"), lst]),
            ("python csv", [PYTHON, peer, "csv", db, lst, os.path.join(work, "p.csv")]),
        ]
        walls = {name: [] for name, _ in cases}
        cpus = {name: [] for name, _ in cases}
        for _ in range(runs):
            for name, command in cases:
                wall, cpu = timed(command)
                walls[name].append(wall)
                cpus[name].append(cpu)
        print(f"{rows} rows, {runs} runs each: seconds best / median, and the median as a "
              "multiple of ours; wall clock, then processor time")
        for name, _ in cases:
            ours = "haojian-cli csv" if "csv" in name else "haojian-cli xlsx"
            line = f"  {name:28}"
            for times in (walls, cpus):
                best, median = min(times[name]), statistics.median(times[name])
                line += f" {best:7.2f} / {median:7.2f} {median / statistics.median(times[ours]):6.1f}x"
            print(line)


if __name__ == "__main__":
    main()
