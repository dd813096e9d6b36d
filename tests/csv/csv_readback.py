#!/usr/bin/env python3
"""CSV exports read back with Python's csv module give the classic exports' numbers.

Usage: csv_readback.py BINDWISE_CLI EXAMPLES_DIR SCRATCH_DIR
Fits and simulates the one-site example with bindwise-cli, exports every kind both ways and
compares row by row: each CSV value printed as %7.6f equals the classic file's field.
"""
import csv
import os
import re
import subprocess
import sys
import tempfile

cli, examples, scratch_parent = sys.argv[1:4]
scratch = tempfile.mkdtemp(dir=scratch_parent)


def run(*args):
    done = subprocess.run([cli, *args], capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"bindwise-cli {' '.join(args)} failed: {done.stderr}")


doc = os.path.join(scratch, "one-site.bwd")
run("fit", os.path.join(examples, "one-site.bwd"), "--model", "1", "--values", "100,158,12,5",
    "--fit-flags", "1,1,1,1", "--start-ca", "0.8", "--save", doc)
run("simulate", doc, "--model", "1", "--values", "1,2,10,6", "--save", doc)

failures = 0
for kind in ["points", "fit", "simulation", "saturation", "simulation-saturation"]:
    classic_path = os.path.join(scratch, kind + ".txt")
    csv_path = os.path.join(scratch, kind + ".csv")
    common = [doc, "--count", "50", "--position", "1"] if kind != "points" else [doc]
    run("export", kind, *common, "--out", classic_path)
    run("export", kind, *common, "--out", csv_path, "--csv")
    with open(classic_path, newline="") as f:
        text = f.read()
    classic = [re.split(r"[ \t]+", line.strip()) for line in re.split(r"\r|\n", text) if line.strip()]
    with open(csv_path, newline="") as f:
        raw = f.read()
    if "\r" in raw or not raw.endswith("\n"):
        print(f"{kind}: CSV line ends are not LF only")
        failures += 1
    rows = list(csv.reader(raw.splitlines()))
    header, data = rows[0], rows[1:]
    if not all("/" in h or h in ("Response", "Fitted response", "Simulated response", "Fraction bound")
               for h in header):
        print(f"{kind}: header {header}")
        failures += 1
    if len(data) != len(classic):
        print(f"{kind}: {len(data)} CSV rows, {len(classic)} classic rows")
        failures += 1
        continue
    for number, (a, b) in enumerate(zip(data, classic), start=1):
        if ["%7.6f" % float(x) for x in a] != ["%7.6f" % float(x) for x in b]:
            print(f"{kind} row {number}: CSV {a} classic {b}")
            failures += 1
            break
    print(f"{kind}: {len(data)} rows agree")

sys.exit(1 if failures else 0)
