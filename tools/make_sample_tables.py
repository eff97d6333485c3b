#!/usr/bin/python3
"""Makes the small sample tables under tests/data/tables, as users' programs write them.

Workbooks come from LibreOffice (headless, converting CSV and ODS), openpyxl and pandas, with
numbers stored as number cells and as text, shared and inline strings, rich text, gaps in the
cell references, several sheets and a hidden one; CSV files come in the encodings and quoting
that spreadsheets save. The tests read them and check every cell.

Run from the repository root: tools/make_sample_tables.py [OUT]
(Debian's python3, which needs libreoffice-calc-nogui, python3-openpyxl and python3-pandas).
"""
import csv
import datetime
import io
import pathlib
import shutil
import subprocess
import sys
import tempfile
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUT = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "tests" / "data" / "tables"

# name, number (as a number cell where the writer can), untidy number text, remark
ROWS = [
    ("张三", 13800138000, "+86 138-0013-8000", "老客户"),
    ("李四", 13912345678, "0086 139 1234 5678", ""),
    ("王五", 15000000000, "（１５０）００００ ００００", "备注, 有逗号"),
    ("Ann", 18612345678, "call 186.1234.5678 after 5", 'say "hi"'),
    ("赵六", 17712345678, "无", "两行\n备注"),
]
HEADER = ("姓名", "手机", "其他号码", "备注")


def fixed_zip(path):
    """Rewrites a zip with fixed entry times, so that remade samples differ only where the
    writers put the time into the parts themselves."""
    data = io.BytesIO(path.read_bytes())
    with zipfile.ZipFile(data) as src, zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as dst:
        for info in src.infolist():
            fixed = zipfile.ZipInfo(info.filename, (2024, 1, 1, 0, 0, 0))
            fixed.compress_type = zipfile.ZIP_DEFLATED
            dst.writestr(fixed, src.read(info.filename))


def write_csv(path, rows, encoding, delimiter=",", bom=False):
    text = io.StringIO()
    csv.writer(text, delimiter=delimiter, lineterminator="\r\n").writerows(rows)
    data = text.getvalue().encode(encoding)
    if bom and encoding == "utf-8":
        data = b"\xef\xbb\xbf" + data
    path.write_bytes(data)


def libreoffice(source, out_dir, filter_name="xlsx"):
    # The CSV is read as UTF-8 (76), comma-separated (44), quoted with " (34), from line 1.
    with tempfile.TemporaryDirectory() as profile:
        subprocess.run(
            ["soffice", f"-env:UserInstallation=file://{profile}", "--headless",
             "--infilter=CSV:44,34,76,1", "--convert-to", filter_name, "--outdir", str(out_dir),
             str(source)],
            check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)


def openpyxl_books():
    import openpyxl

    # Numbers as number cells, a hidden first sheet, a second visible one, a date, a boolean,
    # a float that is a whole number, and a gap (C3 and row 4 left out).
    book = openpyxl.Workbook()
    hidden = book.active
    hidden.title = "旧数据"
    hidden.sheet_state = "hidden"
    hidden.append(["隐藏", 13000000000])
    sheet = book.create_sheet("客户")
    sheet.append(HEADER)
    for name, number, untidy, remark in ROWS:
        sheet.append([name, number, untidy, remark])
    sheet["A8"] = "间隔"
    sheet["B8"] = 13800138000.0
    sheet["D8"] = datetime.date(2024, 3, 1)
    sheet["E8"] = True
    other = book.create_sheet("第三")
    other.append(["号码"])
    other.append(["13700000000"])
    book.save(OUT / "openpyxl.xlsx")
    fixed_zip(OUT / "openpyxl.xlsx")


def pandas_books():
    import pandas as pd

    frame = pd.DataFrame(ROWS, columns=HEADER)
    frame.to_excel(OUT / "pandas.xlsx", index=False, engine="openpyxl")
    fixed_zip(OUT / "pandas.xlsx")
    # Numbers as text, written by the xlsxwriter engine (shared strings).
    text = frame.astype({"手机": str})
    text.to_excel(OUT / "pandas_text.xlsx", index=False, engine="xlsxwriter")
    fixed_zip(OUT / "pandas_text.xlsx")


def inline_and_rich_book():
    """Inline strings and rich-text runs, which the Python writers do not make, written as
    Excel writes them: the parts are small enough to spell out."""
    sheet = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>
<row r="1"><c r="A1" t="inlineStr"><is><t>姓名</t></is></c><c r="B1" t="inlineStr"><is><t>电话</t></is></c></row>
<row r="2"><c r="A2" t="s"><v>0</v></c><c r="C2" t="inlineStr"><is><r><t>138</t></r><r><rPr><b/></rPr><t xml:space="preserve">0013 8000</t></r></is></c></row>
<row r="3"><c r="A3" t="inlineStr"><is><t>钱七</t></is></c><c r="B3"><v>1.3912345678E10</v></c><c r="C3" t="str"><f>B3&amp;""</f><v>13912345678</v></c></row>
<row r="5"><c r="B5" t="inlineStr"><is><t>+86 150 0000 0000</t></is></c><c r="D5" t="b"><v>0</v></c></row>
</sheetData></worksheet>"""
    shared = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="1" uniqueCount="1">
<si><r><t>孙</t></r><r><rPr><i/></rPr><t>八</t></r><rPh sb="0" eb="1"><t>スン</t></rPh></si></sst>"""
    workbook = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">
<sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>"""
    rels = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/>
<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>
</Relationships>"""
    root_rels = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">
<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>
</Relationships>"""
    types = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>
<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>
</Types>"""
    parts = {"[Content_Types].xml": types, "_rels/.rels": root_rels, "xl/workbook.xml": workbook,
             "xl/_rels/workbook.xml.rels": rels, "xl/worksheets/sheet1.xml": sheet,
             "xl/sharedStrings.xml": shared}
    with zipfile.ZipFile(OUT / "inline_rich.xlsx", "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in parts.items():
            z.writestr(zipfile.ZipInfo(name, (2024, 1, 1, 0, 0, 0)), text.encode())
    # Damaged copies: cut short, and a sheet whose XML breaks off.
    data = (OUT / "inline_rich.xlsx").read_bytes()
    (OUT / "truncated.xlsx").write_bytes(data[: len(data) // 2])
    with zipfile.ZipFile(OUT / "broken_xml.xlsx", "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in parts.items():
            if name == "xl/worksheets/sheet1.xml":
                text = text.replace("</row>\n<row r=\"3\">", "<row r=\"3\">", 1)
            z.writestr(zipfile.ZipInfo(name, (2024, 1, 1, 0, 0, 0)), text.encode())


def libreoffice_books():
    with tempfile.TemporaryDirectory() as work:
        work = pathlib.Path(work)
        source = work / "libreoffice.csv"
        write_csv(source, [HEADER] + [list(r) for r in ROWS], "utf-8")
        libreoffice(source, work)
        shutil.copy(work / "libreoffice.xlsx", OUT / "libreoffice.xlsx")
        fixed_zip(OUT / "libreoffice.xlsx")
        # No numbers at all: refused for want of a number column.
        words = work / "no_numbers.csv"
        write_csv(words, [["名称", "说明"], ["甲", "一"], ["乙", "二"]], "utf-8")
        libreoffice(words, work)
        shutil.copy(work / "no_numbers.xlsx", OUT / "no_numbers.xlsx")
        fixed_zip(OUT / "no_numbers.xlsx")
        # The old binary format.
        libreoffice(source, work, "xls")
        shutil.copy(work / "libreoffice.xls", OUT / "old_format.xls")


def csv_files():
    rows = [HEADER] + [list(r) for r in ROWS]
    write_csv(OUT / "gbk.csv", rows, "gbk")
    write_csv(OUT / "utf8_bom.csv", rows, "utf-8", bom=True)
    write_csv(OUT / "utf8.csv", rows, "utf-8")
    # Excel's "Unicode text": UTF-16LE with a mark, TAB-separated.
    text = io.StringIO()
    csv.writer(text, delimiter="\t", lineterminator="\r\n").writerows(rows)
    (OUT / "utf16.txt").write_bytes(b"\xff\xfe" + text.getvalue().encode("utf-16-le"))
    write_csv(OUT / "semicolon.csv", rows, "utf-8", delimiter=";")


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    openpyxl_books()
    pandas_books()
    inline_and_rich_book()
    libreoffice_books()
    csv_files()


if __name__ == "__main__":
    main()
