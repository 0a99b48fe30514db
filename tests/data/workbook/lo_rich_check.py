#!/usr/bin/python3
"""Opens workbooks in a private headless LibreOffice and prints what each keeps beside its
cells, one "file<TAB>what<TAB>value" line each: charts, comments, images, conditional
formats, the validation of System.B2, the hyperlink of System.A10, the name "Temperature",
and the values of System.B5, gas.1.C4 and gas.1.D2 as cached in the file."""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lo_session import Session  # noqa: E402


def facts(doc):
    sheets = doc.Sheets
    charts = annotations = images = rules = 0
    for i in range(sheets.Count):
        sheet = sheets.getByIndex(i)
        charts += sheet.Charts.Count
        annotations += sheet.Annotations.Count
        page = sheet.DrawPage
        for k in range(page.Count):
            if page.getByIndex(k).ShapeType == "com.sun.star.drawing.GraphicObjectShape":
                images += 1
        rules += len(sheet.ConditionalFormats.getConditionalFormats())
    system = sheets.getByName("System")
    gas = sheets.getByName("gas.1")
    links = []
    fields = system.getCellRangeByName("A10").getTextFields().createEnumeration()
    while fields.hasMoreElements():
        links.append(fields.nextElement().URL)
    return [
        ("charts", charts), ("comments", annotations), ("images", images), ("rules", rules),
        ("validation", system.getCellRangeByName("B2").Validation.Type.value),
        ("hyperlink", ",".join(links)),
        ("name", doc.NamedRanges.hasByName("Temperature")),
        ("System.B5", system.getCellRangeByName("B5").getValue()),
        ("gas.1.C4", gas.getCellRangeByName("C4").getValue()),
        ("gas.1.D2", gas.getCellRangeByName("D2").getString()),
    ]


def main():
    s = Session(recalc_on_load=1)  # show what the file cached
    try:
        for path in sys.argv[1:]:
            doc = s.load(path)
            for what, value in facts(doc):
                print("%s\t%s\t%s" % (os.path.basename(path), what, value))
            doc.close(True)
    finally:
        s.close()


if __name__ == "__main__":
    main()
