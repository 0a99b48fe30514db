"""Plays the user of the shared test office from a process of its own: closes a document or
renames a sheet behind the back of the program's connection.
usage: office_user.py PIPE open PATH | PIPE close FILE | PIPE rename FILE SHEETINDEX NEWNAME |
       PIPE set FILE SHEETINDEX CELL TEXT"""
import os
import sys
import uno
from com.sun.star.beans import PropertyValue


def main():
    pipe, action, name = sys.argv[1], sys.argv[2], sys.argv[3]
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext(
        "com.sun.star.bridge.UnoUrlResolver", local)
    ctx = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
    desktop = ctx.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", ctx)
    if action == "open":
        hidden = PropertyValue()
        hidden.Name = "Hidden"
        hidden.Value = True
        doc = desktop.loadComponentFromURL(uno.systemPathToFileUrl(name), "_blank", 0, (hidden,))
        return 0 if doc is not None else 1
    docs = desktop.getComponents().createEnumeration()
    while docs.hasMoreElements():
        doc = docs.nextElement()
        if not doc.getURL().endswith("/" + name):
            continue
        if action == "close":
            doc.close(True)
        elif action == "rename":
            doc.getSheets().getByIndex(int(sys.argv[4])).setName(sys.argv[5])
        elif action == "set":
            sheet = doc.getSheets().getByIndex(int(sys.argv[4]))
            sheet.getCellRangeByName(sys.argv[5]).setString(sys.argv[6])
        return 0
    print("no open document " + name)
    return 1


if __name__ == "__main__":
    code = main()
    sys.stdout.flush()
    # The interpreter's own shutdown can crash in the UNO bridge while its threads still run
    # (a segmentation fault after the work was done): leave without it.
    os._exit(code)
