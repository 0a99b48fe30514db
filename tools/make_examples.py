#!/usr/bin/python3
"""Makes the example process workbooks in examples/ the way a user would: a new process
workbook from `ploxen --new-process`, then amounts and conditions filled in with LibreOffice.

Run from the repository root after a build, with Debian's python3 (python3-uno) and soffice:
    /usr/bin/python3 tools/make_examples.py build/release/bin/ploxen [Name ...]
Without names every example is made; with names only those (e.g. Inverse), so that the others
stay byte for byte as they are.
"""
import os
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.beans import PropertyValue

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "examples")


def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


class Office:
    """A private headless LibreOffice."""

    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="plx_ex_")
        pipe = "plx_ex_" + str(os.getpid())
        self.proc = subprocess.Popen(
            ["soffice", "--headless", "--invisible", "--norestore", "--nologo",
             "-env:UserInstallation=file://" + self.profile,
             "--accept=pipe,name=%s;urp;StarOffice.ComponentContext" % pipe],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext(
            "com.sun.star.bridge.UnoUrlResolver", local)
        url = "uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe
        for _ in range(300):
            try:
                ctx = resolver.resolve(url)
                break
            except Exception:
                time.sleep(0.1)
        else:
            raise RuntimeError("LibreOffice did not answer")
        self.desktop = ctx.ServiceManager.createInstanceWithContext(
            "com.sun.star.frame.Desktop", ctx)

    def load(self, path):
        return self.desktop.loadComponentFromURL(uno.systemPathToFileUrl(path), "_blank", 0,
                                                 (prop("Hidden", True),))

    def close(self):
        try:
            self.desktop.terminate()
        except Exception:
            pass
        self.proc.wait(timeout=30)
        subprocess.run(["rm", "-rf", self.profile])


def put(doc, sheet, cells):
    """cells: {"B2": "300", "A3": "V [m³]", ...}; numbers and formulas as a user types them."""
    s = doc.Sheets.getByName(sheet)
    for ref, text in cells.items():
        cell = s.getCellRangeByName(ref)
        if text.startswith("="):
            cell.setFormula(text)
        else:
            try:
                cell.setValue(float(text))
            except ValueError:
                cell.setString(text)


def column(doc, sheet, col, first_row, texts):
    put(doc, sheet, {"%s%d" % (col, first_row + i): t for i, t in enumerate(texts)})


def template_system(doc):
    """The template's own system: gases, water, carbon and sulphur at 300 °C, in kg."""
    column(doc, "gas.1", "B", 2,
           ["0.016", "0.028", "0.044", "", "0.002", "0.018", "0.28", "", "0.064", ""])
    column(doc, "liq.1", "B", 2, ["0.09"])
    column(doc, "sol.1", "B", 2, ["0.012", "0.0032"])


def combustion(doc):
    """Methane with 10 % excess air, 1000 to 2500 °C in five following calculations."""
    put(doc, "System", {"B2": "=1000+375*B6", "A6": "Count +C", "B6": "0", "C6": "5",
                        "B10": "*", "C10": "*", "C4": "", "D4": "",
                        "A12": "T [C]", "B12": "=C2", "A13": "CO2", "B13": "=$'gas.1'.C4",
                        "A14": "CO", "B14": "=$'gas.1'.C3", "A15": "NO", "B15": "=$'gas.1'.C8",
                        "A16": "O2", "B16": "=$'gas.1'.C10", "A17": "time", "B17": "t",
                        "A18": "EOT"})
    put(doc, "gas.1", {"B1": "in [mol]", "C1": "out [mol]", "I1": "H [kJ/mol]"})
    column(doc, "gas.1", "A", 2,
           ["CH4", "CO", "CO2", "H2", "H2O", "N2", "NO", "NO2", "O2", "OH", "H", "O", "N2O",
            "EOT"])
    column(doc, "gas.1", "B", 2,
           ["1", "", "", "", "", "8.272", "", "", "2.2", "", "", "", ""])


def constant_volume(doc):
    """Hydrogen burnt with oxygen in a closed 0.5 m³ vessel at 2000 °C."""
    put(doc, "System", {"A2": "T [C]", "B2": "2000", "A3": "V [m³]", "B3": "0.5",
                        "C4": "", "D4": "", "B11": ""})
    put(doc, "gas.1", {"B1": "in [mol]", "C1": "out [mol]", "D1": "w%"})
    column(doc, "gas.1", "A", 2, ["H2", "O2", "H2O", "OH", "H", "O", "EOT", ""])
    column(doc, "gas.1", "B", 2, ["2", "1", "", "", "", ""])
    for r in range(9, 14):
        put(doc, "gas.1", {"A%d" % r: ""})


def inverse(doc):
    """Flue gas analysis at 1200 °C: measured CO2, H2O, N2 and O2 give the other gases and the
    activity of carbon (an inverse calculation, "rcl")."""
    put(doc, "System", {"A1": "rcl", "B2": "1200", "C4": "sol.1", "D4": "",
                        "A5": "Columns (measured, mark, result)"})
    blank = {c + "1": "" for c in "BCDFGH"}
    put(doc, "gas.1", dict(blank, K1="ref."))
    column(doc, "gas.1", "A", 2,
           ["CO2", "H2O", "N2", "O2", "CO", "H2", "NO", "OH", "H", "O", "NO2", "N2O", "CH4",
            "EOT"])
    column(doc, "gas.1", "E", 2, ["0.09", "0.18", "0.71", "0.02"])
    column(doc, "gas.1", "K", 2, ["x", "x", "x", "x"])
    put(doc, "sol.1", dict(blank, K1="ref.", A2="C", A3="EOT", A4=""))


EXAMPLES = [("Process", template_system), ("Combustion", combustion),
            ("ConstantVolume", constant_volume), ("Inverse", inverse)]


def main():
    ploxen = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/release/bin/ploxen")
    wanted = set(sys.argv[2:])
    os.makedirs(OUT, exist_ok=True)
    work = tempfile.mkdtemp(prefix="plx_tpl_")
    template = os.path.join(work, "template.xlsx")
    subprocess.run([ploxen, "--new-process", template], check=True, stdout=subprocess.DEVNULL)
    office = Office()
    try:
        for name, fill in EXAMPLES:
            if wanted and name not in wanted:
                continue
            doc = office.load(template)
            fill(doc)
            path = os.path.join(OUT, name + ".xlsx")
            doc.storeToURL(uno.systemPathToFileUrl(path),
                           (prop("FilterName", "Calc MS Excel 2007 XML"), prop("Overwrite", True)))
            doc.close(True)
            print("wrote", path)
    finally:
        office.close()
        subprocess.run(["rm", "-rf", work])


if __name__ == "__main__":
    main()
