// The RTF writer on its own: what it makes of each kind of event, checked on
// the bytes it writes.
#include "rtf/Writer.h"

#include <gtest/gtest.h>

#include <numeric>
#include <sstream>

namespace quorlin::rtf {
namespace {

// Collects everything the writer sends, piece by piece.
struct Capture {
    std::string bytes;
    std::vector<std::size_t> pieces;
    Output output() {
        return [this](const char* data, std::size_t size) {
            bytes.append(data, size);
            pieces.push_back(size);
            return true;
        };
    }
};

CharFormat Plain() { return CharFormat{}; }

CharFormat With(void (*change)(CharFormat&)) {
    CharFormat f;
    change(f);
    return f;
}

// The body: everything after the header line that ends the tables.
std::string Body(const std::string& rtf) {
    const auto start = rtf.find("\\viewkind4\n");
    return start == std::string::npos ? rtf : rtf.substr(start + 11);
}

std::string WriteParagraph(std::string_view text, const CharFormat& format = Plain()) {
    Capture capture;
    Writer writer(capture.output());
    writer.text(text, format);
    writer.paragraphEnd(ParaFormat{});
    writer.endDocument();
    return capture.bytes;
}

TEST(WriterDocument, HeaderTablesAndClosingBrace) {
    Capture capture;
    Writer writer(capture.output());
    CharFormat red;
    red.face = "Arial";
    red.color = Color{255, 0, 0};
    red.background = Color{0, 0, 255};
    writer.text("x", red);
    writer.paragraphEnd(ParaFormat{});
    writer.endDocument();
    const std::string& rtf = capture.bytes;

    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1", 0), 0u) << rtf;
    EXPECT_NE(rtf.find("{\\fonttbl{\\f0\\fnil\\fcharset0 Times New Roman;}{\\f1\\fnil\\fcharset0 Arial;}}"),
              std::string::npos) << rtf;
    EXPECT_NE(rtf.find("{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\f1\\fs24\\cf1\\chcbpat2\\highlight2 x\\par\n"), std::string::npos) << rtf;
    EXPECT_EQ(rtf.substr(rtf.size() - 2), "}\n");
    EXPECT_TRUE(writer.succeeded());
}

TEST(WriterDocument, UnformattedTextStillNamesFaceAndSize) {
    const std::string body = Body(WriteParagraph("Hello"));
    EXPECT_EQ(body, "\\pard\\f0\\fs24 Hello\\par\n}\n");
}

TEST(WriterDocument, EmptyDocumentIsStillRtf) {
    Capture capture;
    Writer writer(capture.output());
    writer.endDocument();
    EXPECT_EQ(capture.bytes.rfind("{\\rtf1", 0), 0u);
    EXPECT_EQ(Body(capture.bytes), "}\n");
    EXPECT_TRUE(writer.succeeded());
}

TEST(WriterDocument, EmptyParagraphsEachEndWithPar) {
    Capture capture;
    Writer writer(capture.output());
    CharFormat big;
    big.sizeHalfPoints = 40;
    writer.text("", big);  // the paragraph mark's own format
    writer.paragraphEnd(ParaFormat{});
    writer.text("a", Plain());
    writer.paragraphEnd(ParaFormat{});
    writer.paragraphEnd(ParaFormat{});
    writer.endDocument();
    EXPECT_EQ(Body(capture.bytes), "\\pard\\f0\\fs40\\par\n\\fs24 a\\par\n\\par\n}\n");
}

TEST(WriterDocument, TextAfterTheLastParagraphEndGetsAParagraph) {
    Capture capture;
    Writer writer(capture.output());
    writer.text("tail", Plain());
    writer.endDocument();
    EXPECT_EQ(Body(capture.bytes), "\\pard\\f0\\fs24 tail\\par\n}\n");
}

TEST(WriterText, EscapesAndUnicode) {
    struct Case {
        const char* text;
        const char* rtf;
    };
    const Case cases[] = {
        {"a\\b{c}", " a\\\\b\\{c\\}"},
        {"caf\xC3\xA9", " caf\\u233\\'e9"},                       // Latin-1: the same byte as fallback
        {"\xE2\x82\xAC" "5", "\\u8364\\'805"},                   // euro: code page 1252 byte 0x80
        {"\xE2\x80\x9Cq\xE2\x80\x9D", "\\u8220\\'93q\\u8221\\'94"},
        {"\xE4\xB8\xAD", "\\u20013?"},                           // no code page 1252 byte
        {"\xEF\x80\x80", "\\u-4096?"},                           // U+F000: above 32767, negative
        {"\xF0\x9F\x98\x80", "\\u-10179?\\u-8704?"},             // U+1F600: surrogate pair
        {"a\xFF" "b", " a\\u-3?b"},                               // invalid UTF-8: replacement character
        {"\xE2\x82", "\\u-3?\\u-3?"},                            // truncated sequence
        {"x\ty\nz", " x\\tab y\\line z"},                         // stray controls become their events
        {"a\x01" "b", " ab"},
    };
    for (const Case& c : cases) {
        const std::string body = Body(WriteParagraph(c.text));
        EXPECT_EQ(body, std::string("\\pard\\f0\\fs24") + c.rtf + "\\par\n}\n") << c.text;
    }
}

TEST(WriterText, ControlWordDelimiterOnlyWhenTheTextWouldExtendIt) {
    struct Case {
        const char* text;
        const char* rtf;
    };
    const Case cases[] = {
        {"bold", "\\b bold"},
        {"42", "\\b 42"},
        {"-5", "\\b -5"},
        {" lead", "\\b  lead"},  // the first space is the delimiter, the second is text
        {"(x)", "\\b(x)"},
        {"{", "\\b\\{"},
    };
    CharFormat bold;
    bold.bold = true;
    bold.face = "";
    for (const Case& c : cases) {
        Capture capture;
        Writer writer(capture.output());
        writer.text("", Plain());
        writer.text(c.text, bold);
        writer.paragraphEnd(ParaFormat{});
        writer.endDocument();
        EXPECT_EQ(Body(capture.bytes), std::string("\\pard\\f0\\fs24") + c.rtf + "\\par\n}\n") << c.text;
    }
}

TEST(WriterText, OnlyChangedPropertiesAreWritten) {
    Capture capture;
    Writer writer(capture.output());
    CharFormat bold;
    bold.bold = true;
    CharFormat boldItalic = bold;
    boldItalic.italic = true;
    writer.text("a", bold);
    writer.text("b", bold);  // same format: no control words at all
    writer.text("c", boldItalic);
    writer.text("d", Plain());
    writer.paragraphEnd(ParaFormat{});
    writer.text("e", Plain());  // the format carries over the paragraph end
    writer.paragraphEnd(ParaFormat{});
    writer.endDocument();
    EXPECT_EQ(Body(capture.bytes), "\\pard\\f0\\fs24\\b ab\\i c\\b0\\i0 d\\par\ne\\par\n}\n");
}

TEST(WriterText, EveryCharacterPropertyHasItsOnAndOffWord) {
    struct Case {
        void (*set)(CharFormat&);
        const char* on;
        const char* off;
    };
    const Case cases[] = {
        {[](CharFormat& f) { f.bold = true; }, "\\b ", "\\b0 "},
        {[](CharFormat& f) { f.italic = true; }, "\\i ", "\\i0 "},
        {[](CharFormat& f) { f.underline = true; }, "\\ul ", "\\ulnone "},
        {[](CharFormat& f) { f.strike = true; }, "\\strike ", "\\strike0 "},
        {[](CharFormat& f) { f.color = Color{1, 2, 3}; }, "\\cf1 ", "\\cf0 "},
        {[](CharFormat& f) { f.background = Color{1, 2, 3}; }, "\\chcbpat1\\highlight1 ", "\\chcbpat0\\highlight0 "},
        {[](CharFormat& f) { f.vertical = VerticalAlign::Superscript; }, "\\super ", "\\nosupersub "},
        {[](CharFormat& f) { f.vertical = VerticalAlign::Subscript; }, "\\sub ", "\\nosupersub "},
        {[](CharFormat& f) { f.sizeHalfPoints = 31; }, "\\fs31 ", "\\fs24 "},
        {[](CharFormat& f) { f.face = "Arial"; }, "\\f1 ", "\\f0 "},
    };
    for (const Case& c : cases) {
        Capture capture;
        Writer writer(capture.output());
        writer.text("a", Plain());
        writer.text("b", With(c.set));
        writer.text("c", Plain());
        writer.paragraphEnd(ParaFormat{});
        writer.endDocument();
        EXPECT_EQ(Body(capture.bytes), std::string("\\pard\\f0\\fs24 a") + c.on + "b" + c.off + "c\\par\n}\n")
            << c.on;
    }
}

TEST(WriterText, FaceNamesAreEscapedInTheFontTable) {
    CharFormat odd;
    odd.face = "A{b}\\;\xC3\xA9";
    const std::string rtf = WriteParagraph("x", odd);
    EXPECT_NE(rtf.find("{\\f1\\fnil\\fcharset0 A\\{b\\}\\\\\\'3b\\u233\\'e9;}"), std::string::npos) << rtf;
}

TEST(WriterText, LongParagraphsAreWrappedOnlyAfterSpaces) {
    std::string text;
    for (int i = 0; i < 500; ++i) text += "word" + std::to_string(i) + " ";
    const std::string body = Body(WriteParagraph(text));
    std::istringstream lines(body);
    std::string line, joined;
    int count = 0;
    while (std::getline(lines, line)) {
        EXPECT_LE(line.size(), 220u);
        ++count;
        joined += line;
    }
    EXPECT_GT(count, 10);
    EXPECT_NE(joined.find(text), std::string::npos);  // line ends fell after spaces only
}

TEST(WriterParagraph, PropertiesWrittenOncePerChange) {
    Capture capture;
    Writer writer(capture.output());
    ParaFormat centered;
    centered.align = Align::Center;
    writer.text("a", Plain());
    writer.paragraphEnd(centered);
    writer.text("b", Plain());
    writer.paragraphEnd(centered);
    writer.text("c", Plain());
    writer.paragraphEnd(ParaFormat{});
    writer.endDocument();
    EXPECT_EQ(Body(capture.bytes), "\\pard\\qc\\f0\\fs24 a\\par\nb\\par\n\\pard c\\par\n}\n");
}

TEST(WriterParagraph, AllParagraphProperties) {
    ParaFormat f;
    f.align = Align::Justify;
    f.leftIndent = 720;
    f.rightIndent = 360;
    f.firstIndent = -360;
    f.spaceBefore = 120;
    f.spaceAfter = 240;
    f.lineSpacing = 360;
    f.lineMultiple = true;
    f.tabs = {{1440, TabKind::Left}, {2880, TabKind::Center}, {4320, TabKind::Right}, {5760, TabKind::Decimal}};
    Capture capture;
    Writer writer(capture.output());
    writer.text("a", Plain());
    writer.tab(Plain());
    writer.lineBreak(Plain());
    writer.paragraphEnd(f);
    ParaFormat exact;
    exact.lineSpacing = -300;
    writer.paragraphEnd(exact);
    writer.endDocument();
    EXPECT_EQ(Body(capture.bytes),
              "\\pard\\qj\\li720\\ri360\\fi-360\\sb120\\sa240\\sl360\\slmult1"
              "\\tx1440\\tqc\\tx2880\\tqr\\tx4320\\tqdec\\tx5760\\f0\\fs24 a\\tab\\line\\par\n"
              "\\pard\\sl-300\\slmult0\\par\n}\n");
}

TEST(WriterTable, RowsAndCells) {
    Capture capture;
    Writer writer(capture.output());
    ParaFormat cell;
    cell.inTable = true;
    for (int row = 0; row < 2; ++row) {
        writer.text("A" + std::to_string(row), Plain());
        writer.paragraphEnd(cell);  // a cell with two paragraphs
        writer.text("B" + std::to_string(row), Plain());
        writer.cellEnd(cell);
        writer.text("C" + std::to_string(row), Plain());
        writer.cellEnd(cell);
        writer.rowEnd(RowFormat{{3000, 6000}, 0});
    }
    writer.text("after", Plain());
    writer.paragraphEnd(ParaFormat{});
    writer.endDocument();
    EXPECT_EQ(Body(capture.bytes),
              "\\trowd\\trgaph108\\cellx3000\\cellx6000\n\\pard\\intbl\\f0\\fs24 A0\\par\nB0\\cell\nC0\\cell\n\\row\n"
              "\\trowd\\trgaph108\\cellx3000\\cellx6000\n\\pard\\intbl A1\\par\nB1\\cell\nC1\\cell\n\\row\n"
              "\\pard after\\par\n}\n");
}

TEST(WriterTable, MissingBoundariesAndUnendedRowsAreCompleted) {
    Capture capture;
    Writer writer(capture.output());
    ParaFormat cell;
    cell.inTable = true;
    writer.text("a", Plain());
    writer.cellEnd(cell);
    writer.text("b", Plain());
    writer.cellEnd(cell);
    writer.text("c", Plain());
    writer.cellEnd(cell);
    writer.rowEnd(RowFormat{{2000}, 0});  // one boundary for three cells
    writer.text("d", Plain());
    writer.cellEnd(cell);  // a row that never ends
    writer.text("e", Plain());
    writer.paragraphEnd(ParaFormat{});
    writer.endDocument();
    EXPECT_EQ(Body(capture.bytes),
              "\\trowd\\trgaph108\\cellx2000\\cellx5000\\cellx8000\n\\pard\\intbl\\f0\\fs24 a\\cell\nb\\cell\nc\\cell\n"
              "\\row\n\\trowd\\trgaph108\\cellx9000\n\\pard\\intbl d\\cell\n\\row\n\\pard e\\par\n}\n");
}

TEST(WriterList, ListTableOverridesAndMarkers) {
    Capture capture;
    Writer writer(capture.output());
    ParaFormat bullet;
    bullet.listKind = ListKind::Bullet;
    bullet.listId = 7;
    ParaFormat numbered;
    numbered.listKind = ListKind::LowerRoman;
    numbered.listId = 9;
    numbered.listLevel = 1;
    writer.text("x", Plain());
    writer.paragraphEnd(bullet);
    for (int i = 0; i < 4; ++i) {
        writer.text("n", Plain());
        writer.paragraphEnd(numbered);
    }
    writer.endDocument();
    const std::string& rtf = capture.bytes;
    EXPECT_NE(rtf.find("{\\list\\listtemplateid1{\\listlevel\\levelnfc23\\levelnfcn23"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("{\\leveltext\\'01\\u8226\\'95;}{\\levelnumbers;}"), std::string::npos);
    EXPECT_NE(rtf.find("\\levelnfc2\\levelnfcn2\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1"
                       "{\\leveltext\\'02\\'01.;}{\\levelnumbers\\'01;}\\fi-360\\li1440"),
              std::string::npos);
    EXPECT_NE(rtf.find("{\\listoverride\\listid1\\listoverridecount0\\ls1}{\\listoverride\\listid2"
                       "\\listoverridecount0\\ls2}"),
              std::string::npos);
    EXPECT_EQ(Body(rtf),
              "\\pard\\ls1\\ilvl0{\\listtext\\plain \\u8226\\'95\\tab}\\f0\\fs24 x\\par\n"
              "\\pard\\ls2\\ilvl1{\\listtext\\plain i.\\tab}n\\par\n"
              "{\\listtext\\plain ii.\\tab}n\\par\n"
              "{\\listtext\\plain iii.\\tab}n\\par\n"
              "{\\listtext\\plain iv.\\tab}n\\par\n}\n");
}

TEST(WriterList, NumberingRestartsBelowAShallowerItem) {
    Capture capture;
    Writer writer(capture.output());
    ParaFormat top;
    top.listKind = ListKind::Decimal;
    top.listId = 1;
    ParaFormat sub = top;
    sub.listLevel = 1;
    sub.listKind = ListKind::UpperAlpha;
    for (const ParaFormat* f : {&top, &sub, &sub, &top, &sub}) writer.paragraphEnd(*f);
    writer.endDocument();
    const std::string body = Body(capture.bytes);
    std::vector<std::string> markers;
    for (auto at = body.find("\\plain "); at != std::string::npos; at = body.find("\\plain ", at + 1))
        markers.push_back(body.substr(at + 7, body.find("\\tab", at) - at - 7));
    EXPECT_EQ(markers, (std::vector<std::string>{"1.", "A.", "B.", "2.", "A."}));
}

TEST(WriterLink, FieldAroundTheLinkedRunsAndStateRestoredAfter) {
    Capture capture;
    Writer writer(capture.output());
    CharFormat link;
    link.link = "http://example.com/?q=\"x\"";
    link.underline = true;
    CharFormat boldLink = link;
    boldLink.bold = true;
    writer.text("see ", Plain());
    writer.text("here", link);
    writer.text("!", boldLink);
    writer.text(" now", Plain());
    writer.paragraphEnd(ParaFormat{});
    writer.endDocument();
    EXPECT_EQ(Body(capture.bytes),
              "\\pard\\f0\\fs24 see {\\field{\\*\\fldinst HYPERLINK \"http://example.com/?q=%22x%22\"}"
              "{\\fldrslt\\ul here\\b!}} now\\par\n}\n");
}

TEST(WriterLink, LinkEndsWithItsParagraph) {
    Capture capture;
    Writer writer(capture.output());
    CharFormat link;
    link.link = "a";
    writer.text("x", link);
    writer.paragraphEnd(ParaFormat{});
    writer.text("y", link);
    writer.paragraphEnd(ParaFormat{});
    writer.endDocument();
    const std::string body = Body(capture.bytes);
    EXPECT_EQ(body,
              "\\pard{\\field{\\*\\fldinst HYPERLINK \"a\"}{\\fldrslt\\f0\\fs24 x}}\\par\n"
              "{\\field{\\*\\fldinst HYPERLINK \"a\"}{\\fldrslt\\f0\\fs24 y}}\\par\n}\n");
}

std::string TinyPng(uint32_t width, uint32_t height) {
    std::string png("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    for (uint32_t v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8) png += static_cast<char>((v >> shift) & 0xFF);
    png += std::string("\x08\x02\0\0\0", 5);
    return png;
}

TEST(WriterPicture, PngSizesFromTheHeaderAndHexLines) {
    Picture png;
    png.data = TinyPng(3, 2) + std::string(100, '\xAB');
    Capture capture;
    Writer writer(capture.output());
    writer.picture(png, Plain());
    writer.paragraphEnd(ParaFormat{});
    writer.endDocument();
    const std::string body = Body(capture.bytes);
    EXPECT_EQ(body.rfind("\\pard\\f0\\fs24{\\pict\\pngblip\\picw3\\pich2\\picwgoal45\\pichgoal30\n89504e470d0a1a0a", 0),
              0u)
        << body;
    std::istringstream lines(body);
    std::string line, hex;
    std::getline(lines, line);
    while (std::getline(lines, line) && line.find('}') == std::string::npos) {
        EXPECT_LE(line.size(), 128u);
        hex += line;
    }
    EXPECT_EQ(hex.size(), png.data.size() * 2);
    EXPECT_EQ(line, "}\\par");
}

TEST(WriterPicture, JpegWithGoalSize) {
    // SOI, an APP0 segment, then SOF0 with height 0x0102 and width 0x0304.
    std::string jpeg("\xFF\xD8\xFF\xE0\x00\x04\x00\x00\xFF\xC0\x00\x11\x08\x01\x02\x03\x04", 17);
    Picture picture;
    picture.format = PictureFormat::Jpeg;
    picture.data = jpeg;
    picture.goalWidth = 1500;
    picture.goalHeight = 750;
    Capture capture;
    Writer writer(capture.output());
    writer.picture(picture, Plain());
    writer.paragraphEnd(ParaFormat{});
    writer.endDocument();
    EXPECT_NE(capture.bytes.find("{\\pict\\jpegblip\\picw772\\pich258\\picwgoal1500\\pichgoal750\nffd8"),
              std::string::npos)
        << capture.bytes;
}

TEST(WriterPicture, SniffRejectsDamagedHeaders) {
    EXPECT_EQ(SniffPixelSize(PictureFormat::Png, TinyPng(5, 7)).width, 5);
    EXPECT_EQ(SniffPixelSize(PictureFormat::Png, TinyPng(5, 7).substr(0, 20)).width, 0);
    EXPECT_EQ(SniffPixelSize(PictureFormat::Png, "GIF89a..................").width, 0);
    EXPECT_EQ(SniffPixelSize(PictureFormat::Jpeg, std::string("\xFF\xD8\xFF\xE0\x00\x00", 6)).width, 0);
    EXPECT_EQ(SniffPixelSize(PictureFormat::Jpeg, std::string("\xFF\xD8\xFF\xE0\xFF\xFF", 6)).width, 0);
}

TEST(WriterPicture, EmptyPictureWritesNothing) {
    Capture capture;
    Writer writer(capture.output());
    writer.picture(Picture{}, Plain());
    writer.paragraphEnd(ParaFormat{});
    writer.endDocument();
    EXPECT_EQ(capture.bytes.find("\\pict"), std::string::npos);
}

TEST(WriterOutput, PiecesAreBoundedAndJoinToTheWhole) {
    Capture capture;
    Writer writer(capture.output());
    const std::string line(1000, 'x');
    for (int i = 0; i < 300; ++i) {
        writer.text(line, Plain());
        writer.paragraphEnd(ParaFormat{});
    }
    writer.endDocument();
    ASSERT_GT(capture.pieces.size(), 4u);
    for (std::size_t size : capture.pieces) EXPECT_LE(size, Writer::kPieceSize);
    EXPECT_EQ(capture.bytes.size(), std::accumulate(capture.pieces.begin(), capture.pieces.end(), std::size_t{0}));
    EXPECT_TRUE(writer.succeeded());
}

TEST(WriterOutput, StopsAtTheFirstRefusal) {
    int calls = 0;
    Writer writer([&calls](const char*, std::size_t) {
        ++calls;
        return calls < 2;  // the second piece is refused
    });
    for (int i = 0; i < 300; ++i) {
        writer.text(std::string(1000, 'y'), Plain());
        writer.paragraphEnd(ParaFormat{});
    }
    writer.endDocument();
    writer.endDocument();  // a second end sends nothing more
    EXPECT_EQ(calls, 2);
    EXPECT_TRUE(writer.stopped());
    EXPECT_FALSE(writer.succeeded());
}

}  // namespace
}  // namespace quorlin::rtf
