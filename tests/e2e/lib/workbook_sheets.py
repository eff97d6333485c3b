#!/usr/bin/python3
"""Prints each sheet of a workbook as one line, "name:cells", the first column's cells joined by
commas, as openpyxl reads them. Usage: workbook_sheets.py WORKBOOK"""
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1], read_only=True)
for sheet in book.worksheets:
    cells = (str(row[0]) for row in sheet.iter_rows(values_only=True))
    print(sheet.title + ":" + ",".join(cells))
