"""A private headless LibreOffice session driven over UNO (helper for the workbook fixtures
and the LibreOffice client tests)."""
import os
import subprocess
import tempfile
import time
import uno
from com.sun.star.beans import PropertyValue


def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


class Session:
    def __init__(self, recalc_on_load=1):
        self.profile = tempfile.mkdtemp(prefix="plx_lo_")
        self.pipe = "plx_" + str(os.getpid())
        self.proc = subprocess.Popen(
            ["soffice", "--headless", "--invisible", "--norestore", "--nologo",
             "-env:UserInstallation=file://" + self.profile,
             "--accept=pipe,name=%s;urp;StarOffice.ComponentContext" % self.pipe],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext(
            "com.sun.star.bridge.UnoUrlResolver", local)
        url = "uno:pipe,name=%s;urp;StarOffice.ComponentContext" % self.pipe
        for _ in range(200):
            try:
                self.ctx = resolver.resolve(url)
                break
            except Exception:
                time.sleep(0.1)
        else:
            raise RuntimeError("LibreOffice did not answer")
        smgr = self.ctx.ServiceManager
        self.desktop = smgr.createInstanceWithContext("com.sun.star.frame.Desktop", self.ctx)
        self.set_recalc_mode(recalc_on_load)

    def set_recalc_mode(self, mode):
        """1: never recalculate on load (show cached values); 0: always."""
        smgr = self.ctx.ServiceManager
        cp = smgr.createInstanceWithContext("com.sun.star.configuration.ConfigurationProvider", self.ctx)
        access = cp.createInstanceWithArguments(
            "com.sun.star.configuration.ConfigurationUpdateAccess",
            (prop("nodepath", "/org.openoffice.Office.Calc/Formula/Load"),))
        access.setPropertyValue("OOXMLRecalcMode", mode)
        access.setPropertyValue("ODFRecalcMode", mode)
        access.commitChanges()

    def new(self):
        return self.desktop.loadComponentFromURL("private:factory/scalc", "_blank", 0,
                                                 (prop("Hidden", True),))

    def load(self, path):
        return self.desktop.loadComponentFromURL(uno.systemPathToFileUrl(os.path.abspath(path)),
                                                 "_blank", 0,
                                                 (prop("Hidden", True), prop("UpdateDocMode", 1)))

    def save(self, doc, path, flt):
        doc.storeToURL(uno.systemPathToFileUrl(os.path.abspath(path)),
                       (prop("FilterName", flt), prop("Overwrite", True)))

    def close(self):
        try:
            self.desktop.terminate()
        except Exception:
            pass
        try:
            self.proc.wait(timeout=20)
        except Exception:
            self.proc.kill()
        subprocess.run(["rm", "-rf", self.profile])


def cell_record(cell):
    """(kind, number, text) of a cell as LibreOffice shows it: kind n, s, e or empty."""
    from com.sun.star.table.CellContentType import EMPTY, VALUE, TEXT, FORMULA
    t = cell.getType()
    if t == EMPTY:
        return ("", 0.0, "")
    if t == VALUE:
        return ("n", cell.getValue(), cell.getString())
    if t == TEXT:
        return ("s", 0.0, cell.getString())
    if cell.getError() != 0:
        return ("e", 0.0, cell.getString())
    rt = cell.FormulaResultType2
    from com.sun.star.sheet.FormulaResult import VALUE as RV, STRING as RS
    if rt == RV:
        return ("n", cell.getValue(), cell.getString())
    return ("s", 0.0, cell.getString())
