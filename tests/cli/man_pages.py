#!/usr/bin/env python3
"""The manual pages against the program they describe.

Both pages render without a troff warning and without a question mark standing for a
character, under the C locale as under a UTF-8 one. haojian-cli(1) names every option that a
command's --help names, and no option that none does; its db build paragraph names every
column name that 'db build --help' lists, and the encodings it reads.

Arguments: the haojian-cli program, the folder of the configured pages.
"""
import os
import re
import subprocess
import sys

cli, pages = sys.argv[1], sys.argv[2]
failures = []


def fail(text):
    lines = text.splitlines()
    failures.append("\n".join(lines[:3] + ([f"... and {len(lines) - 3} more"] if len(lines) > 3 else [])))


def render(page, lang):
    env = dict(os.environ, LANG=lang, LC_ALL=lang, MANWIDTH="200", MAN_KEEP_FORMATTING="")
    result = subprocess.run(["man", "--warnings", "-l", page], env=env, capture_output=True)
    text = result.stdout.decode("utf-8", "replace")
    text = re.sub(r".\x08", "", text)  # overstriking, should a pager not take it away
    return result.stderr.decode("utf-8", "replace"), text


def program(*args):
    return subprocess.run([cli, *args], capture_output=True, check=True).stdout.decode()


for name in ("haojian.1", "haojian-cli.1"):
    page = os.path.join(pages, name)
    for lang in ("C", "C.UTF-8"):
        warnings, text = render(page, lang)
        if warnings.strip():
            fail(f"{name} under LANG={lang}: {warnings.strip()}")
        if lang == "C" and any(ord(c) > 127 or c == "?" for c in text.replace("become ?", "")):
            fail(f"{name} under LANG=C shows characters it cannot: "
                 + ", ".join(sorted({c for c in text if ord(c) > 127 or c == '?'})))
    groff = subprocess.run(["groff", "-ww", "-man", "-Tascii", page], capture_output=True,
                           env=dict(os.environ, LANG="C", LC_ALL="C"))
    if groff.stderr.strip():
        fail(f"{name}: groff -ww: {groff.stderr.decode().strip()}")

_, manual = render(os.path.join(pages, "haojian-cli.1"), "C.UTF-8")
option = re.compile(r"(?<![\w-])--?[a-z][a-z0-9-]*")

helped = set()
for command in ([], ["lookup"], ["export"], ["merge"], ["stats"], ["db", "build"],
                ["db", "check"]):
    usage = program(*command, "--help")
    words = set(option.findall(usage)) - {"-", "--"}
    helped |= words
    for word in sorted(words):
        if word not in manual:
            fail(f"the manual lacks {' '.join(command)} {word}")
options_section = manual.split("\nOPTIONS\n", 1)[1].split("\nEXIT STATUS\n", 1)[0]
for word in sorted(set(re.findall(r"^ {7}(--?[a-z][a-z0-9-]*)", options_section, re.M))):
    if word not in helped:
        fail(f"the manual lists {word}, which no command's --help names")

# The column names of db build: those of its --help, exactly, in the manual's db build entry.
usage = program("db", "build", "--help")
listed = usage.split("names the columns:", 1)[1].split("Other columns", 1)[0]
help_names = set()
for line in listed.strip().splitlines():
    names = re.split(r"\s{2,}", line.strip())[1]
    names = re.sub(r"\(.*?\)", "", names)
    help_names |= {n.strip() for n in re.split(r",| or ", names) if n.strip()}
entry = manual.split("\n       db build", 1)[1].split("\n       db check", 1)[0]
entry = " ".join(entry.split())
columns = entry.split("Other columns", 1)[0]
for name in sorted(help_names - set(columns.replace(",", " ").replace(";", " ")
                                     .replace(".", " ").split())):
    fail(f"the manual's db build lacks the column name {name}")
for encoding in ("UTF-8", "UTF-16", "GBK"):
    if encoding not in entry:
        fail(f"the manual's db build lacks the encoding {encoding}")

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("manual pages agree with the program")
