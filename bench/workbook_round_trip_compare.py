#!/usr/bin/python3
"""A workbook in, a workbook out, side by side in one run: haojian-cli lookup -o OUT.xlsx on a
workbook of ROWS rows (a name, the number as a number cell, the number as untidy text, a
remark; made as bench/compare_tables makes it) reads, cleans, looks up and writes every row
with 省份, 城市 and 卡类 added. The peers do the same with a dictionary of the segments:
openpyxl reading read-only and writing write-only (the fastest ways it offers), and pandas
(read_excel, then to_excel with the xlsxwriter engine). Prints best and median seconds (wall
clock and processor time) and each peer's median as a multiple of ours.

    workbook_round_trip_compare.py [BUILD_DIR] [ROWS] [RUNS] [PEER_RUNS]
"""

import importlib.machinery
import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
tables = importlib.machinery.SourceFileLoader(
    "compare_tables", os.path.join(HERE, "compare_tables")).load_module()

OPENPYXL = tables.PEER_COMMON + r'''
import openpyxl
source = openpyxl.load_workbook(sys.argv[2], read_only=True)
book = openpyxl.Workbook(write_only=True)
sheet = book.create_sheet()
for i, row in enumerate(source.active.iter_rows(values_only=True)):
    if i == 0:
        sheet.append(list(row) + ["省份", "城市", "卡类"])
        continue
    number = clean(row[1] if not isinstance(row[1], float) else int(row[1]))
    codes = segments.get(number[:7])
    answer = [codes[:2], codes[:4], codes[4:5]] if codes else ["未知", "未知", "未知"]
    sheet.append(list(row) + answer)
book.save(sys.argv[3])
'''

PANDAS = tables.PEER_COMMON + r'''
import pandas
frame = pandas.read_excel(sys.argv[2], dtype=str)
numbers = frame.iloc[:, 1].map(clean)
codes = numbers.str[:7].map(segments)
frame["省份"] = codes.str[:2].fillna("未知")
frame["城市"] = codes.str[:4].fillna("未知")
frame["卡类"] = codes.str[4:5].fillna("未知")
frame.to_excel(sys.argv[3], index=False, engine="xlsxwriter")
'''


def cpu_seconds():
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def measure(command, runs):
    walls, cpus = [], []
    for _ in range(runs):
        start, cpu = time.perf_counter(), cpu_seconds()
        done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        if done.returncode != 0:
            sys.exit("failed: %s\n%s" % (" ".join(command), done.stderr.decode()))
        walls.append(time.perf_counter() - start)
        cpus.append(cpu_seconds() - cpu)
    return walls, cpus


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build")
    rows = int(sys.argv[2]) if len(sys.argv) > 2 else 1_000_000
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    peer_runs = int(sys.argv[4]) if len(sys.argv) > 4 else 1
    cli = os.path.join(build, "bin", "haojian-cli")
    with tempfile.TemporaryDirectory() as work:
        book = os.path.join(work, "customers.xlsx")
        tables.make_workbook(book, rows, 31)
        scripts = {}
        for name, text in (("openpyxl", OPENPYXL), ("pandas", PANDAS)):
            scripts[name] = os.path.join(work, "peer_" + name + ".py")
            with open(scripts[name], "w") as f:
                f.write(text)
        db = tables.DATABASE
        cases = [
            ("haojian-cli", [cli, "lookup", "-q", "--db", db, "-o",
                             os.path.join(work, "ours.xlsx"), book], runs),
            ("openpyxl read-only + write-only",
             ["/usr/bin/python3", scripts["openpyxl"], db, book, os.path.join(work, "o.xlsx")],
             peer_runs),
            ("pandas read_excel + to_excel",
             ["/usr/bin/python3", scripts["pandas"], db, book, os.path.join(work, "p.xlsx")],
             peer_runs),
        ]
        results = {name: measure(command, n) for name, command, n in cases}
        print(f"{rows} rows in, the same rows with three answers out; seconds best / median and "
              "the median as a multiple of ours, wall clock then processor time")
        ours = results["haojian-cli"]
        for name, _, _ in cases:
            line = f"  {name:34}"
            for k in (0, 1):
                times = results[name][k]
                median = statistics.median(times)
                line += (f" {min(times):8.2f} / {median:8.2f} "
                         f"{median / statistics.median(ours[k]):6.1f}x")
            print(line, flush=True)


if __name__ == "__main__":
    main()
