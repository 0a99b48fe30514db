#!/usr/bin/python3
"""Makes the process workbooks that carry everything users keep beside their data.

Run with Debian's python3 (python3-uno) and soffice installed:
    /usr/bin/python3 tools/make_rich_workbooks.py
Writes tests/data/workbook/Rich.xlsx and Rich.ods, both made by LibreOffice: a condition
sheet "System" with a data validation, a hyperlink, merged cells and a defined name
("Temperature"), and a phase sheet "gas.1" with a chart of the gas amounts, a comment on a
compound, an image, a conditional format, number formats and a column width.
"""
import os
import struct
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "tests", "data", "workbook")
sys.path.insert(0, DATA)
from lo_session import Session  # noqa: E402
import uno  # noqa: E402
from com.sun.star.awt import Point, Rectangle, Size  # noqa: E402
from com.sun.star.table import CellRangeAddress  # noqa: E402


def png(width, height):
    """A small opaque RGB picture, built without any imaging library."""
    raw = b""
    for y in range(height):
        raw += b"\x00" + b"".join(bytes((x * 255 // width, y * 255 // height, 160))
                                  for x in range(width))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw))
            + chunk(b"IEND", b""))


def prop(name, value):
    from com.sun.star.beans import PropertyValue
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


def number_format(doc, code):
    nf = doc.NumberFormats
    loc = uno.createUnoStruct("com.sun.star.lang.Locale")
    key = nf.queryKey(code, loc, False)
    return key if key >= 0 else nf.addNew(code, loc)


def fill_system(doc, system):
    system.getCellRangeByName("A1").setString("eql")
    for cell, text in (("A2", "T"), ("A3", "P"), ("A4", "Phase"), ("A5", "T [K]")):
        system.getCellRangeByName(cell).setString(text)
    system.getCellRangeByName("B2").setValue(1000)
    system.getCellRangeByName("B3").setValue(1.01325)
    system.getCellRangeByName("B4").setString("gas.1")
    system.getCellRangeByName("B5").setFormula("=B2+273.15")
    # Data validation: the temperature must be a number between 0 and 5000.
    b2 = system.getCellRangeByName("B2")
    v = b2.Validation
    v.Type = uno.Enum("com.sun.star.sheet.ValidationType", "DECIMAL")
    v.setOperator(uno.Enum("com.sun.star.sheet.ConditionOperator", "BETWEEN"))
    v.setFormula1("0")
    v.setFormula2("5000")
    v.ShowErrorMessage = True
    v.ErrorMessage = "T must lie between 0 and 5000"
    b2.Validation = v
    # A hyperlink to the documentation of the layout.
    a10 = system.getCellRangeByName("A10")
    field = doc.createInstance("com.sun.star.text.TextField.URL")
    field.URL = "https://example.org/process-layout"
    field.Representation = "Layout notes"
    a10.getText().insertTextContent(a10.getText().createTextCursor(), field, False)
    # Merged title cells.
    title = system.getCellRangeByName("A8:C8")
    title.merge(True)
    system.getCellRangeByName("A8").setString("Combustion of methane")
    # A defined name for the temperature.
    addr = b2.getCellAddress()
    doc.NamedRanges.addNewByName("Temperature", "$System.$B$2", addr, 0)


def fill_gas(doc, gas):
    gas.getCellRangeByName("A1").setString("(g)")
    gas.getCellRangeByName("B1").setString("n0 [mol]")
    gas.getCellRangeByName("C1").setString("n [kmol]")
    for i, (name, amount) in enumerate((("CH4", 1.0), ("O2", 2.0), ("CO2", 0.0), ("H2O", 0.0))):
        r = str(i + 2)
        gas.getCellRangeByName("A" + r).setString(name)
        gas.getCellRangeByName("B" + r).setValue(amount)
        gas.getCellRangeByName("C" + r).setFormula("=B" + r + "/1000")
    gas.getCellRangeByName("A6").setString("EOT")
    gas.getCellRangeByName("C2:C5").NumberFormat = number_format(doc, "0.000")
    gas.Columns.getByIndex(0).Width = 3500  # 1/100 mm
    # A comment on a compound.
    addr = gas.getCellRangeByName("A4").getCellAddress()
    gas.getAnnotations().insertNew(addr, "CO2 enters at zero, formed by the reaction")
    # Conditional format: amounts above 1 mol shown in the "Good" style.
    rng = gas.getCellRangeByName("B2:B5")
    cf = rng.ConditionalFormat
    cf.addNew((prop("Operator", uno.Enum("com.sun.star.sheet.ConditionOperator", "GREATER")),
               prop("Formula1", "1"), prop("StyleName", "Good")))
    rng.ConditionalFormat = cf
    # A chart of the gas amounts.
    ranges = CellRangeAddress()
    ranges.Sheet = 1
    ranges.StartColumn, ranges.StartRow, ranges.EndColumn, ranges.EndRow = 0, 0, 1, 4
    gas.Charts.addNewByName("Amounts", Rectangle(9000, 500, 10000, 7000), (ranges,), True, True)


def add_image(doc, gas, folder):
    path = os.path.join(folder, "flame.png")
    with open(path, "wb") as f:
        f.write(png(24, 16))
    shape = doc.createInstance("com.sun.star.drawing.GraphicObjectShape")
    provider = s_ctx.ServiceManager.createInstanceWithContext(
        "com.sun.star.graphic.GraphicProvider", s_ctx)
    shape.Graphic = provider.queryGraphic((prop("URL", uno.systemPathToFileUrl(path)),))
    gas.DrawPage.add(shape)
    shape.setSize(Size(2400, 1600))
    shape.setPosition(Point(9000, 8000))


def make(s, path, flt, folder):
    doc = s.new()
    sheets = doc.Sheets
    system = sheets.getByIndex(0)
    system.setName("System")
    sheets.insertNewByName("gas.1", 1)
    gas = sheets.getByName("gas.1")
    fill_system(doc, system)
    fill_gas(doc, gas)
    add_image(doc, gas, folder)
    doc.calculateAll()
    s.save(doc, path, flt)
    doc.close(True)


def main():
    global s_ctx
    s = Session(recalc_on_load=0)
    s_ctx = s.ctx
    folder = tempfile.mkdtemp(prefix="plx_rich_")
    try:
        make(s, os.path.join(DATA, "Rich.xlsx"), "Calc MS Excel 2007 XML", folder)
        make(s, os.path.join(DATA, "Rich.ods"), "calc8", folder)
    finally:
        s.close()


if __name__ == "__main__":
    main()
