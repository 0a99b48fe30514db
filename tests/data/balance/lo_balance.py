#!/usr/bin/python3
"""Opens a balance workbook in headless LibreOffice, recalculates it with the links to the
process workbook beside it refreshed from that file, and prints what LibreOffice computed.

LibreOffice refreshes references into other files on loading only when links are to be updated
"always" and the document lies in a trusted location (or macro security is low); otherwise it
shows the values cached in the file. The folder of FILE is therefore made a trusted location of
the private profile.

Usage: lo_balance.py FILE SHEET COLUMN...
Prints one line per non-empty cell of the given columns (1 = A) of sheet SHEET:
    row <TAB> column <TAB> kind <TAB> number <TAB> text
"""
import os
import sys

import uno

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "workbook"))
from lo_session import Session, cell_record, prop  # noqa: E402


def trust_folder(session, folder):
    """Links of documents in `folder` are updated on loading."""
    cp = session.ctx.ServiceManager.createInstanceWithContext(
        "com.sun.star.configuration.ConfigurationProvider", session.ctx)

    def access(node):
        return cp.createInstanceWithArguments(
            "com.sun.star.configuration.ConfigurationUpdateAccess", (prop("nodepath", node),))

    update = access("/org.openoffice.Office.Calc/Content/Update")
    update.setPropertyValue("Link", 0)  # always
    update.commitChanges()
    scripting = access("/org.openoffice.Office.Common/Security/Scripting")
    urls = uno.Any("[]string", (uno.systemPathToFileUrl(folder),))
    uno.invoke(scripting, "setPropertyValue", ("SecureURL", urls))
    scripting.commitChanges()


def main():
    path, sheet_name = sys.argv[1], sys.argv[2]
    columns = [int(c) for c in sys.argv[3:]]
    s = Session(recalc_on_load=1)
    try:
        trust_folder(s, os.path.dirname(os.path.abspath(path)))
        doc = s.load(path)
        doc.calculateAll()
        sheet = doc.Sheets.getByName(sheet_name)
        cursor = sheet.createCursor()
        cursor.gotoEndOfUsedArea(False)
        for r in range(cursor.RangeAddress.EndRow + 1):
            for c in columns:
                kind, num, text = cell_record(sheet.getCellByPosition(c - 1, r))
                if kind:
                    print("%d\t%d\t%s\t%r\t%s" % (r + 1, c, kind, float(num), text))
        doc.close(True)
    finally:
        s.close()


if __name__ == "__main__":
    main()
