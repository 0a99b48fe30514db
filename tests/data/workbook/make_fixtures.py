#!/usr/bin/python3
"""Makes the LibreOffice fixture workbooks of the workbook engine tests.

Run from this folder with Debian's python3 (python3-uno) and soffice installed:
    /usr/bin/python3 make_fixtures.py
Writes Other.xlsx/.ods (the referenced book), Formulas.xlsx/.ods (every supported kind of
formula, cross-sheet and cross-workbook references, formats, merged cells) and
Formulas.expected.tsv with LibreOffice's results after a full recalculation, and
Annotated.xlsx/.ods (a cell comment, which a save cannot keep).
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lo_session import Session, cell_record  # noqa: E402
import uno  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))

# (label, formula in LibreOffice's own syntax). EXT is replaced by the referenced book's URL.
FORMULAS = [
    ("precedence", "=1+2*3"),
    ("left assoc div", "=8/4*2"),
    ("power left assoc", "=2^3^2"),
    ("unary minus power", "=-2^2"),
    ("percent", "=10%"),
    ("percent product", "=5%*200"),
    ("concat", "=\"a\"&\"b\"&1"),
    ("concat below plus", "=1+2&3"),
    ("less", "=1<2"),
    ("text equal", "=\"abc\"=\"abc\""),
    ("text vs number", "=\"a\">1"),
    ("exponent literal", "=1E3"),
    ("cross sheet", "=$System.B2/1000*$System.B3"),
    ("quoted sheet", "=$'gas.1'.C5*2"),
    ("sum quoted range", "=SUM($'gas.1'.B2:B3)"),
    ("sum skips text", "=SUM($System.B2:B6)"),
    ("average", "=AVERAGE($System.B2:B3)"),
    ("min", "=MIN($System.B2:B6)"),
    ("bool arithmetic", "=$System.B12+1"),
    ("max", "=MAX($System.B2:B6)"),
    ("count", "=COUNT($System.B2:B11)"),
    ("counta", "=COUNTA($System.B2:B11)"),
    ("abs", "=ABS($System.B6)"),
    ("round", "=ROUND(2.345;2)"),
    ("round half away", "=ROUND(-2.5;0)"),
    ("roundup", "=ROUNDUP(2.341;2)"),
    ("rounddown", "=ROUNDDOWN(-2.349;2)"),
    ("int", "=INT(-3.7)"),
    ("mod negative", "=MOD(-7;3)"),
    ("sqrt", "=SQRT(16)"),
    ("power", "=POWER(2;10)"),
    ("exp", "=EXP(1)"),
    ("ln", "=LN(10)"),
    ("log10", "=LOG10(1000)"),
    ("pi", "=PI()"),
    ("if", "=IF($System.B3>2;\"big\";\"small\")"),
    ("iferror", "=IFERROR(1/0;\"div\")"),
    ("div0", "=1/0"),
    ("and", "=AND(TRUE();1>0)"),
    ("or", "=OR(FALSE();0)"),
    ("not", "=NOT($System.B12)"),
    ("isblank", "=ISBLANK($System.B7)"),
    ("isnumber", "=ISNUMBER($System.B4)"),
    ("concatenate", "=CONCATENATE(\"T=\";$System.B2;\" K\")"),
    ("left", "=LEFT($System.B4;1)"),
    ("right", "=RIGHT(\"abcdef\";2)"),
    ("mid", "=MID(\"abcdef\";2;3)"),
    ("len", "=LEN($System.B8)"),
    ("upper", "=UPPER(\"co2\")"),
    ("lower", "=LOWER(\"CO2\")"),
    ("trim", "=TRIM($System.B8)"),
    ("value", "=VALUE($System.B9)+1"),
    ("vlookup", "=VLOOKUP(\"CO\";$System.D2:E5;2;0)"),
    ("index", "=INDEX($System.E2:E5;3)"),
    ("match", "=MATCH(\"O2\";$System.D2:D5;0)"),
    ("sumproduct", "=SUMPRODUCT($System.E2:E3;$System.E4:E5)"),
    ("float sum", "=$System.B10+$System.B11"),
    ("same sheet", "=B2*2"),
    ("empty ref", "=$System.B7"),
    ("two thirds", "=2/3"),
    ("small", "=1/7*1E-10"),
    ("large", "=2^60"),
    ("external number", "=EXT#$Data.B2*2"),
    ("external text", "=EXT#$Data.B3"),
    ("external quoted sheet", "=EXT#$'gas.1'.C5+1"),
    ("now", "=NOW()>40000"),
    ("today", "=TODAY()>40000"),
    ("name error", "=NOSUCHFUNCTION(1)"),
    ("ref error text", "=\"x\"+1"),
    ("nested", "=ROUND(SUM($'gas.1'.B2:B3)*$System.B2/3;4)"),
]


def url_of(path):
    return uno.systemPathToFileUrl(os.path.abspath(path))


def make_other(s, path, flt):
    doc = s.new()
    sheets = doc.Sheets
    sheets.getByIndex(0).Name = "Data"
    sheets.insertNewByName("gas.1", 1)
    data = sheets.getByName("Data")
    data.getCellRangeByName("B2").setValue(12.5)
    data.getCellRangeByName("B3").setString("from other")
    sheets.getByName("gas.1").getCellRangeByName("C5").setValue(99)
    s.save(doc, path, flt)
    doc.close(True)


def make_main(s, ext_path, path, flt, expected_path=None):
    doc = s.new()
    sheets = doc.Sheets
    sheets.getByIndex(0).Name = "System"
    sheets.insertNewByName("gas.1", 1)
    sheets.insertNewByName("Formulas", 2)
    system = sheets.getByName("System")
    system.getCellRangeByName("A1").setString("eql")
    values = {"B2": 1000, "B3": 2.5, "B6": -3.7, "B10": 0.1, "B11": 0.2}
    for a, v in values.items():
        system.getCellRangeByName(a).setValue(v)
    system.getCellRangeByName("B4").setString("CO")
    system.getCellRangeByName("B12").setFormula("=TRUE()")
    system.getCellRangeByName("B8").setString("  padded   text  ")
    system.getCellRangeByName("B9").setString("42")
    for i, (name, mass) in enumerate([("H2", 2.016), ("O2", 31.998), ("CO", 28.01), ("N2", 28.013)]):
        system.getCellByPosition(3, 1 + i).setString(name)
        system.getCellByPosition(4, 1 + i).setValue(mass)
    gas = sheets.getByName("gas.1")
    for i, t in enumerate(["(g)", "CO", "CO2", "EOT"]):
        gas.getCellByPosition(0, i).setString(t)
    gas.getCellRangeByName("B2").setValue(1.5)
    gas.getCellRangeByName("B3").setValue(2.25)
    gas.getCellRangeByName("C5").setValue(7)
    f = sheets.getByName("Formulas")
    ext = "'" + url_of(ext_path) + "'"
    for i, (label, formula) in enumerate(FORMULAS):
        f.getCellByPosition(0, i + 1).setString(label)
        f.getCellByPosition(1, i + 1).setFormula(formula.replace("EXT", ext))
    f.getCellRangeByName("A1").setString("label")
    f.getCellRangeByName("B1").setString("result")
    # Formats, layout and merged cells.
    a1 = f.getCellRangeByName("A1:B1")
    a1.CharWeight = 150.0  # bold
    f.getCellRangeByName("B2").CellBackColor = 0xFFFF00
    f.getCellRangeByName("B3").CharPosture = uno.Enum("com.sun.star.awt.FontSlant", "ITALIC")
    nf = doc.NumberFormats
    loc = uno.createUnoStruct("com.sun.star.lang.Locale")
    key = nf.queryKey("0.00", loc, False)
    if key == -1:
        key = nf.addNew("0.00", loc)
    f.getCellRangeByName("B4").NumberFormat = key
    f.getColumns().getByIndex(0).Width = 5000  # 1/100 mm
    f.getRows().getByIndex(3).Height = 800
    merged = f.getCellRangeByName("D2:E3")
    merged.merge(True)
    f.getCellRangeByName("D2").setString("merged")
    doc.calculateAll()
    if expected_path:
        with open(expected_path, "w", encoding="utf-8") as out:
            out.write("# row\tlabel\tkind\tnumber\ttext (LibreOffice after calculateAll)\n")
            for i, (label, _) in enumerate(FORMULAS):
                kind, num, text = cell_record(f.getCellByPosition(1, i + 1))
                out.write("%d\t%s\t%s\t%s\t%s\n" % (i + 2, label, kind, repr(float(num)), text))
    s.save(doc, path, flt)
    doc.close(True)


def make_annotated(s, path, flt):
    """A book with a cell comment: a part the engine cannot write back."""
    doc = s.new()
    sheet = doc.Sheets.getByIndex(0)
    sheet.getCellRangeByName("A1").setValue(1)
    addr = sheet.getCellRangeByName("A1").getCellAddress()
    sheet.getAnnotations().insertNew(addr, "checked by hand")
    s.save(doc, path, flt)
    doc.close(True)


def main():
    os.chdir(HERE)
    s = Session(recalc_on_load=0)
    try:
        make_other(s, "Other.xlsx", "Calc MS Excel 2007 XML")
        make_other(s, "Other.ods", "calc8")
        make_main(s, "Other.xlsx", "Formulas.xlsx", "Calc MS Excel 2007 XML", "Formulas.expected.tsv")
        make_main(s, "Other.ods", "Formulas.ods", "calc8")
        make_annotated(s, "Annotated.xlsx", "Calc MS Excel 2007 XML")
        make_annotated(s, "Annotated.ods", "calc8")
    finally:
        s.close()


if __name__ == "__main__":
    main()
