#!/usr/bin/python3
"""Opens workbooks in headless LibreOffice and prints what it shows, for the engine's tests.

Usage: lo_check.py SHEET COLUMN FILE...
For each FILE prints, for every non-empty cell of column COLUMN (1 = A) of sheet SHEET, one line
    cached|recalc <TAB> file <TAB> row <TAB> column <TAB> kind <TAB> number <TAB> text
first as loaded without recalculation (the values the file cached), then after calculateAll.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lo_session import Session, cell_record  # noqa: E402


def dump(phase, path, sheet, column):
    cursor = sheet.createCursor()
    cursor.gotoEndOfUsedArea(False)
    last_row = cursor.RangeAddress.EndRow
    c = column - 1
    for r in range(last_row + 1):
        kind, num, text = cell_record(sheet.getCellByPosition(c, r))
        if kind:
            print("%s\t%s\t%d\t%d\t%s\t%r\t%s" % (phase, os.path.basename(path), r + 1, c + 1,
                                                 kind, float(num), text.replace("\n", " ")))


def main():
    sheet_name = sys.argv[1]
    column = int(sys.argv[2])
    s = Session(recalc_on_load=1)
    try:
        for path in sys.argv[3:]:
            doc = s.load(path)
            sheet = doc.Sheets.getByName(sheet_name)
            dump("cached", path, sheet, column)
            doc.calculateAll()
            dump("recalc", path, sheet, column)
            doc.close(True)
    finally:
        s.close()


if __name__ == "__main__":
    main()
