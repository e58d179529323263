// What the exporter writes for documents built with QTextCursor, checked on the RTF text.
#include "editor/RtfExport.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <gtest/gtest.h>

#include <functional>

namespace quorlin {
namespace {

// The editor's document: Times New Roman 12 unless a run says otherwise.
std::unique_ptr<QTextDocument> EditorDocument() {
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(QFont(QStringLiteral("Times New Roman"), 12));
    return document;
}

std::string Export(const QTextDocument& document) {
    std::string rtf;
    const bool ok = ExportRtf(document, [&rtf](const char* data, std::size_t size) {
        rtf.append(data, size);
        return true;
    });
    EXPECT_TRUE(ok);
    return rtf;
}

// Everything after the header.
std::string Body(const std::string& rtf) {
    const auto start = rtf.find("\\viewkind4\n");
    return start == std::string::npos ? rtf : rtf.substr(start + 11);
}

bool Contains(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
}

TEST(RtfExport, EmptyDocumentWritesOneParagraphWithFaceAndSize) {
    auto document = EditorDocument();
    const std::string rtf = Export(*document);
    EXPECT_TRUE(Contains(rtf, "{\\f0\\fnil\\fcharset0 Times New Roman;}")) << rtf;
    EXPECT_EQ(Body(rtf), "\\pard\\f0\\fs24\\par\n}\n");
}

TEST(RtfExport, UnformattedTextUsesTheDocumentFont) {
    QTextDocument document;
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSizeF(10.5);
    document.setDefaultFont(arial);
    document.setPlainText(QStringLiteral("plain"));
    const std::string rtf = Export(document);
    EXPECT_TRUE(Contains(rtf, "{\\f0\\fnil\\fcharset0 Arial;}")) << rtf;
    EXPECT_EQ(Body(rtf), "\\pard\\f0\\fs21 plain\\par\n}\n");
}

TEST(RtfExport, CharacterFormatsOfARun) {
    struct Case {
        const char* name;
        std::function<void(QTextCharFormat&)> set;
        const char* on;
        const char* off;
    };
    const std::vector<Case> cases = {
        {"bold", [](QTextCharFormat& f) { f.setFontWeight(QFont::Bold); }, "\\b ", "\\b0 "},
        {"demibold", [](QTextCharFormat& f) { f.setFontWeight(QFont::DemiBold); }, "\\b ", "\\b0 "},
        {"italic", [](QTextCharFormat& f) { f.setFontItalic(true); }, "\\i ", "\\i0 "},
        {"underline", [](QTextCharFormat& f) { f.setFontUnderline(true); }, "\\ul ", "\\ulnone "},
        {"strike", [](QTextCharFormat& f) { f.setFontStrikeOut(true); }, "\\strike ", "\\strike0 "},
        {"colour", [](QTextCharFormat& f) { f.setForeground(QColor(255, 0, 0)); }, "\\cf1 ", "\\cf0 "},
        {"background", [](QTextCharFormat& f) { f.setBackground(QColor(255, 255, 0)); }, "\\chcbpat1\\highlight1 ",
         "\\chcbpat0\\highlight0 "},
        {"face", [](QTextCharFormat& f) { f.setFontFamilies({QStringLiteral("Arial")}); }, "\\f1 ", "\\f0 "},
        {"size", [](QTextCharFormat& f) { f.setFontPointSize(16); }, "\\fs32 ", "\\fs24 "},
        {"half point size", [](QTextCharFormat& f) { f.setFontPointSize(10.5); }, "\\fs21 ", "\\fs24 "},
        {"superscript", [](QTextCharFormat& f) { f.setVerticalAlignment(QTextCharFormat::AlignSuperScript); },
         "\\super ", "\\nosupersub "},
        {"subscript", [](QTextCharFormat& f) { f.setVerticalAlignment(QTextCharFormat::AlignSubScript); }, "\\sub ",
         "\\nosupersub "},
    };
    for (const Case& c : cases) {
        auto document = EditorDocument();
        QTextCursor cursor(document.get());
        cursor.insertText(QStringLiteral("a"));
        QTextCharFormat format;
        c.set(format);
        cursor.insertText(QStringLiteral("b"), format);
        cursor.insertText(QStringLiteral("c"), QTextCharFormat());
        EXPECT_EQ(Body(Export(*document)), std::string("\\pard\\f0\\fs24 a") + c.on + "b" + c.off + "c\\par\n}\n")
            << c.name;
    }
}

TEST(RtfExport, MediumWeightAndNonSolidBrushesAreNotFormatting) {
    auto document = EditorDocument();
    QTextCursor cursor(document.get());
    QTextCharFormat format;
    format.setFontWeight(QFont::Medium);
    format.setForeground(QBrush(Qt::red, Qt::Dense4Pattern));
    cursor.insertText(QStringLiteral("x"), format);
    EXPECT_EQ(Body(Export(*document)), "\\pard\\f0\\fs24 x\\par\n}\n");
}

TEST(RtfExport, ColourTableAndFontTableInOrderOfUse) {
    auto document = EditorDocument();
    QTextCursor cursor(document.get());
    QTextCharFormat blue;
    blue.setForeground(QColor(0, 0, 255));
    blue.setFontFamilies({QStringLiteral("Courier New")});
    QTextCharFormat green;
    green.setForeground(QColor(0, 128, 0));
    cursor.insertText(QStringLiteral("b"), blue);
    cursor.insertText(QStringLiteral("g"), green);
    cursor.insertText(QStringLiteral("b"), blue);
    const std::string rtf = Export(*document);
    EXPECT_TRUE(Contains(rtf, "{\\colortbl;\\red0\\green0\\blue255;\\red0\\green128\\blue0;}")) << rtf;
    EXPECT_TRUE(Contains(rtf, "{\\f1\\fnil\\fcharset0 Courier New;}")) << rtf;
    EXPECT_EQ(Body(rtf), "\\pard\\f1\\fs24\\cf1 b\\f0\\cf2 g\\f1\\cf1 b\\par\n}\n");
}

TEST(RtfExport, TextEscapesTabsAndLineBreaks) {
    auto document = EditorDocument();
    QTextCursor cursor(document.get());
    cursor.insertText(QString::fromUtf8("{a}\\\tb") + QChar(QChar::LineSeparator) +
                      QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC \xE4\xB8\xAD \xF0\x9F\x98\x80"));
    EXPECT_EQ(Body(Export(*document)),
              "\\pard\\f0\\fs24\\{a\\}\\\\\\tab b\\line caf\\u233\\'e9 \\u8364\\'80 \\u20013? \\u-10179?\\u-8704?"
              "\\par\n}\n");
}

TEST(RtfExport, EveryParagraphEndsWithParIncludingAnEmptyLastOne) {
    auto document = EditorDocument();
    QTextCursor cursor(document.get());
    cursor.insertText(QStringLiteral("one"));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("two"));
    cursor.insertBlock();
    EXPECT_EQ(Body(Export(*document)), "\\pard\\f0\\fs24 one\\par\ntwo\\par\n\\par\n}\n");
}

TEST(RtfExport, EmptyParagraphKeepsItsMarkFormat) {
    auto document = EditorDocument();
    QTextCursor cursor(document.get());
    cursor.insertText(QStringLiteral("a"));
    QTextCharFormat big;
    big.setFontPointSize(20);
    cursor.insertBlock(QTextBlockFormat(), big);
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertText(QStringLiteral("b"));
    EXPECT_EQ(Body(Export(*document)), "\\pard\\f0\\fs24 a\\par\n\\fs40\\par\n\\fs24 b\\par\n}\n");
}

TEST(RtfExport, ParagraphFormats) {
    struct Case {
        const char* name;
        std::function<void(QTextBlockFormat&)> set;
        const char* rtf;
    };
    const std::vector<Case> cases = {
        {"centre", [](QTextBlockFormat& f) { f.setAlignment(Qt::AlignHCenter); }, "\\qc"},
        {"right", [](QTextBlockFormat& f) { f.setAlignment(Qt::AlignRight); }, "\\qr"},
        {"justify", [](QTextBlockFormat& f) { f.setAlignment(Qt::AlignJustify); }, "\\qj"},
        {"indents",
         [](QTextBlockFormat& f) {
             f.setLeftMargin(48);
             f.setRightMargin(24);
             f.setTextIndent(-24);
         },
         "\\li720\\ri360\\fi-360"},
        {"spacing",
         [](QTextBlockFormat& f) {
             f.setTopMargin(8);
             f.setBottomMargin(16);
         },
         "\\sb120\\sa240"},
        {"proportional", [](QTextBlockFormat& f) { f.setLineHeight(150, QTextBlockFormat::ProportionalHeight); },
         "\\sl360\\slmult1"},
        {"fixed", [](QTextBlockFormat& f) { f.setLineHeight(20, QTextBlockFormat::FixedHeight); }, "\\sl-300\\slmult0"},
        {"minimum", [](QTextBlockFormat& f) { f.setLineHeight(20, QTextBlockFormat::MinimumHeight); },
         "\\sl300\\slmult0"},
        {"tabs",
         [](QTextBlockFormat& f) {
             f.setTabPositions({QTextOption::Tab(96, QTextOption::LeftTab), QTextOption::Tab(192, QTextOption::CenterTab),
                                QTextOption::Tab(288, QTextOption::RightTab),
                                QTextOption::Tab(384, QTextOption::DelimiterTab, QLatin1Char('.'))});
         },
         "\\tx1440\\tqc\\tx2880\\tqr\\tx4320\\tqdec\\tx5760"},
    };
    for (const Case& c : cases) {
        auto document = EditorDocument();
        QTextCursor cursor(document.get());
        cursor.insertText(QStringLiteral("plain"));
        QTextBlockFormat format;
        c.set(format);
        cursor.insertBlock(format);
        cursor.insertText(QStringLiteral("x"));
        EXPECT_EQ(Body(Export(*document)),
                  std::string("\\pard\\f0\\fs24 plain\\par\n\\pard") + c.rtf + " x\\par\n}\n")
            << c.name;
    }
}

TEST(RtfExport, ListsByStyleLevelAndIdentity) {
    auto document = EditorDocument();
    QTextCursor cursor(document.get());
    cursor.insertText(QStringLiteral("intro"));
    cursor.insertList(QTextListFormat::ListDecimal);
    cursor.insertText(QStringLiteral("one"));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("two"));
    QTextListFormat nested;
    nested.setStyle(QTextListFormat::ListCircle);
    nested.setIndent(2);
    cursor.insertList(nested);
    cursor.insertText(QStringLiteral("inner"));
    QTextListFormat roman;
    roman.setStyle(QTextListFormat::ListUpperRoman);
    cursor.insertList(roman);
    cursor.insertText(QStringLiteral("other"));

    const std::string rtf = Export(*document);
    EXPECT_TRUE(Contains(rtf, "{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\levelnfcn0")) << rtf;
    EXPECT_TRUE(Contains(rtf, "{\\list\\listtemplateid2{\\listlevel\\levelnfc23\\levelnfcn23")) << rtf;
    EXPECT_TRUE(Contains(rtf, "{\\list\\listtemplateid3{\\listlevel\\levelnfc1\\levelnfcn1")) << rtf;
    EXPECT_EQ(Body(rtf),
              "\\pard\\f0\\fs24 intro\\par\n"
              "\\pard\\ls1\\ilvl0{\\listtext\\plain 1.\\tab}one\\par\n"
              "{\\listtext\\plain 2.\\tab}two\\par\n"
              "\\pard\\ls2\\ilvl1{\\listtext\\plain \\u8226\\'95\\tab}inner\\par\n"
              "\\pard\\ls3\\ilvl0{\\listtext\\plain I.\\tab}other\\par\n}\n");
}

TEST(RtfExport, TableRowsCellsAndWidths) {
    auto document = EditorDocument();
    QTextCursor cursor(document.get());
    cursor.insertText(QStringLiteral("before"));
    QTextTableFormat format;
    format.setColumnWidthConstraints({QTextLength(QTextLength::FixedLength, 100),
                                      QTextLength(QTextLength::PercentageLength, 50),
                                      QTextLength(QTextLength::VariableLength, 0)});
    QTextTable* table = cursor.insertTable(2, 3, format);
    table->cellAt(0, 0).firstCursorPosition().insertText(QStringLiteral("a"));
    QTextCursor cell = table->cellAt(0, 1).firstCursorPosition();
    cell.insertText(QStringLiteral("b1"));
    cell.insertBlock();
    cell.insertText(QStringLiteral("b2"));
    table->cellAt(1, 2).firstCursorPosition().insertText(QStringLiteral("f"));
    table->mergeCells(1, 0, 1, 2);

    EXPECT_EQ(Body(Export(*document)),
              "\\pard\\f0\\fs24 before\\par\n"
              "\\trowd\\trgaph108\\cellx1500\\cellx6000\\cellx9000\n"
              "\\pard\\intbl a\\cell\nb1\\par\nb2\\cell\n\\cell\n\\row\n"
              "\\trowd\\trgaph108\\cellx6000\\cellx9000\n"
              "\\pard\\intbl\\cell\nf\\cell\n\\row\n"
              "\\pard\\par\n}\n");
}

std::string Hex(const QByteArray& bytes) { return bytes.toHex().toStdString(); }

std::string Unwrapped(std::string s) {
    s.erase(std::remove(s.begin(), s.end(), '\n'), s.end());
    return s;
}

TEST(RtfExport, ImageFromTheDocumentResourcesBecomesAPng) {
    auto document = EditorDocument();
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(Qt::blue);
    document->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("blue")), image);
    QTextCursor cursor(document.get());
    QTextImageFormat format;
    format.setName(QStringLiteral("blue"));
    format.setWidth(40);  // the height follows the picture's proportions
    cursor.insertText(QStringLiteral("x"));
    cursor.insertImage(format);
    const std::string body = Unwrapped(Body(Export(*document)));
    EXPECT_TRUE(Contains(body, "x{\\pict\\pngblip\\picw4\\pich2\\picwgoal600\\pichgoal30089504e470d0a1a0a"))
        << body;
}

TEST(RtfExport, ImageKeepsItsOriginalBytes) {
    auto document = EditorDocument();
    const QByteArray jpeg("\xFF\xD8\xFF\xE0\x00\x04\x00\x00\xFF\xC0\x00\x11\x08\x00\x02\x00\x03", 17);
    QTextImageFormat format;
    format.setName(QStringLiteral("photo"));
    format.setProperty(QTextFormat::UserProperty + 1, jpeg);
    format.setProperty(QTextFormat::UserProperty + 2, QStringLiteral("jpeg"));
    format.setWidth(30);
    format.setHeight(20);
    QTextCursor(document.get()).insertImage(format);
    const std::string body = Unwrapped(Body(Export(*document)));
    EXPECT_TRUE(Contains(body, "{\\pict\\jpegblip\\picw3\\pich2\\picwgoal450\\pichgoal300" + Hex(jpeg) + "}")) << body;
}

TEST(RtfExport, MissingImageIsLeftOut) {
    auto document = EditorDocument();
    QTextImageFormat format;
    format.setName(QStringLiteral("/nonexistent/picture.png"));
    QTextCursor cursor(document.get());
    cursor.insertText(QStringLiteral("a"));
    cursor.insertImage(format);
    cursor.insertText(QStringLiteral("b"), QTextCharFormat());
    EXPECT_EQ(Body(Export(*document)), "\\pard\\f0\\fs24 ab\\par\n}\n");
}

TEST(RtfExport, LinkBecomesAHyperlinkField) {
    auto document = EditorDocument();
    QTextCursor cursor(document.get());
    cursor.insertText(QStringLiteral("go "));
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(QStringLiteral("https://example.org/a b"));
    link.setFontUnderline(true);
    cursor.insertText(QStringLiteral("there"), link);
    cursor.insertText(QStringLiteral(" now"), QTextCharFormat());
    EXPECT_EQ(Body(Export(*document)),
              "\\pard\\f0\\fs24 go {\\field{\\*\\fldinst HYPERLINK \"https://example.org/a b\"}"
              "{\\fldrslt\\ul there}} now\\par\n}\n");
}

TEST(RtfExport, RefusedOutputIsReportedAsFailure) {
    auto document = EditorDocument();
    document->setPlainText(QStringLiteral("text"));
    int calls = 0;
    EXPECT_FALSE(ExportRtf(*document, [&calls](const char*, std::size_t) { return ++calls > 1; }));
    EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace quorlin
