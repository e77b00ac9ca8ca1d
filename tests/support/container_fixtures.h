#pragma once
// Documents and archives made by Python's zipfile, tarfile and gzip, and a PDF written by hand,
// for the tests of the readers and of the search inside them.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace vsr::test {

// Writes into `dir`: hello.pdf, note.odt, memo.docx, sheet.xlsx, deck.pptx, book.epub and
// broken.docx (a zip whose XML expands an entity bomb). True when Python made them all.
inline bool makeDocumentFixtures(const std::string& dir) {
    static const char* const kScript = R"PY(
import sys, zipfile
d = sys.argv[1]

def office(name, parts):
    with zipfile.ZipFile(d + "/" + name, "w", zipfile.ZIP_DEFLATED) as z:
        for part, xml in parts:
            z.writestr(part, xml)

office("note.odt", [("mimetype", "application/vnd.oasis.opendocument.text"), ("content.xml",
    '<?xml version="1.0"?><office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
    'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body><office:text>'
    '<text:h>Title here</text:h><text:p>First <text:span>para</text:span>graph<text:s text:c="3"/>end</text:p>'
    '<text:p>Tab<text:tab/>bed<office:annotation><text:p>hidden note</text:p></office:annotation></text:p>'
    '</office:text></office:body></office:document-content>')])
W = 'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"'
office("memo.docx", [("word/document.xml",
    '<w:document ' + W + '><w:body><w:p><w:pPr><w:tabs><w:tab w:val="left" w:pos="720"/></w:tabs></w:pPr>'
    '<w:r><w:t>Quarterly</w:t></w:r><w:r><w:tab/><w:t xml:space="preserve"> report </w:t></w:r></w:p>'
    '<w:p><w:r><w:t>Line one</w:t><w:br/><w:t>Line two</w:t></w:r></w:p>'
    '<w:tbl><w:tr><w:tc><w:p><w:r><w:t>cell A</w:t></w:r></w:p></w:tc></w:tr></w:tbl></w:body></w:document>')])
S = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
office("sheet.xlsx", [
    ("xl/worksheets/sheet10.xml", '<worksheet ' + S + '><sheetData><row><c t="inlineStr"><is><t>inline</t></is></c></row></sheetData></worksheet>'),
    ("xl/worksheets/sheet1.xml", '<worksheet ' + S + '><sheetData><row><c r="A1" t="s"><v>1</v></c><c r="B1"><f>40+2</f><v>42</v></c></row></sheetData></worksheet>'),
    ("xl/worksheets/sheet2.xml", '<worksheet ' + S + '><sheetData><row><c t="s"><v>0</v></c><c t="s"><v>99</v></c></row></sheetData></worksheet>'),
    ("xl/sharedStrings.xml", '<sst ' + S + '><si><t>apple</t></si><si><r><t>ba</t></r><r><t>nana</t></r><rPh><t>X</t></rPh></si></sst>')])
A = 'xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" xmlns:p="http://schemas.openxmlformats.org/presentationml/2006/main"'
def slide(text):
    return '<p:sld ' + A + '><p:cSld><p:spTree><p:sp><p:txBody><a:p><a:r><a:t>' + text + '</a:t></a:r></a:p></p:txBody></p:sp></p:spTree></p:cSld></p:sld>'
office("deck.pptx", [("ppt/slides/slide2.xml", slide("Thanks")), ("ppt/slides/slide1.xml", slide("Welcome"))])
office("book.epub", [("mimetype", "application/epub+zip"), ("OEBPS/ch1.xhtml",
    '<html xmlns="http://www.w3.org/1999/xhtml"><head><title>T</title></head><body><h1>Chapter  One</h1>'
    '<p>It was a\n dark <b>night</b>.</p></body></html>')])
bomb = '<?xml version="1.0"?><!DOCTYPE w [<!ENTITY a "aaaaaaaaaa">' + "".join(
    '<!ENTITY %s "%s">' % (chr(98 + i), ("&" + chr(97 + i) + ";") * 10) for i in range(9)) + ']>'
office("broken.docx", [("word/document.xml", bomb + '<w:document ' + W + '><w:body><w:p><w:r><w:t>&j;</w:t></w:r></w:p></w:body></w:document>')])

stream = b"BT /F1 12 Tf 72 720 Td (Hello PDF world) Tj 0 -20 Td (second line) Tj ET"
objs = [b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R /Resources << /Font << /F1 5 0 R >> >> >>",
        b"<< /Length %d >>\nstream\n" % len(stream) + stream + b"\nendstream",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"]
out = b"%PDF-1.4\n"
offsets = []
for i, o in enumerate(objs):
    offsets.append(len(out))
    out += b"%d 0 obj\n" % (i + 1) + o + b"\nendobj\n"
xref = len(out)
out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objs) + 1)
for off in offsets:
    out += b"%010d 00000 n \n" % off
out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objs) + 1, xref)
open(d + "/hello.pdf", "wb").write(out)
)PY";
    const std::string script = dir + "/make_documents.py";
    std::ofstream(script) << kScript;
    const bool made = std::system(("python3 '" + script + "' '" + dir + "'").c_str()) == 0;
    std::remove(script.c_str());
    return made;
}

}  // namespace vsr::test
