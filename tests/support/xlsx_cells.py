#!/usr/bin/env python3
"""Prints the cells of a workbook's first sheet, one row per line, cells separated by "|":
text in double quotes, numbers as Python writes them, empty cells empty. The golden conversion
cases compare a converted .xlsx with it (read back by openpyxl, as another program would)."""
import sys

import openpyxl

sheet = openpyxl.load_workbook(sys.argv[1], read_only=True).active
for row in sheet.iter_rows(values_only=True):
    print("|".join("" if v is None else f'"{v}"' if isinstance(v, str) else repr(v) for v in row))
