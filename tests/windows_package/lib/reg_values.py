#!/usr/bin/env python3
"""Prints the values of a .reg file (UTF-16, as `reg export` writes it) as name=value lines:
strings unquoted and unescaped, other values as written (dword:0000abcd)."""
import re
import sys

VALUE = re.compile(r'"((?:[^"\\]|\\.)*)"=(?:"((?:[^"\\]|\\.)*)"|(.*))')

for line in open(sys.argv[1], encoding="utf-16").read().splitlines():
    match = VALUE.fullmatch(line)
    if match:
        text = match[2] if match[2] is not None else match[3]
        print(match[1] + "=" + re.sub(r"\\(.)", r"\1", text))
