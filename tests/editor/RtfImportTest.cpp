// Formats as they arrive in the QTextDocument: facts checked on the corpus, and
// what a load does to the document as a whole.
#include "editor/RtfImport.h"
#include "tools/VisibleText.h"

#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <gtest/gtest.h>

#include <functional>

namespace quorlin {
namespace {

void Load(QTextDocument& document, const QByteArray& rtf, const QTextCharFormat& host = QTextCharFormat()) {
    RtfImporter importer(document, host);
    importer.feed(rtf.constData(), std::size_t(rtf.size()));
    importer.finish();
}

void LoadCorpus(QTextDocument& document, const char* name) {
    QFile file(QStringLiteral(QUORLIN_CORPUS_DIR "/%1.rtf").arg(QLatin1String(name)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    Load(document, file.readAll());
}

// The first fragment whose text is exactly `text`, with its block.
struct Found {
    QTextFragment fragment;
    QTextBlock block;
};

Found Find(const QTextDocument& document, const QString& text) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().text() == text) return {it.fragment(), block};
    return {};
}

struct Fact {
    const char* file;
    const char* text;
    const char* what;
    std::function<bool(const QTextCharFormat&, const QTextBlock&)> holds;
};

void PrintTo(const Fact& f, std::ostream* os) { *os << f.file << " \"" << f.text << "\" " << f.what; }

class CorpusFacts : public testing::TestWithParam<Fact> {};

TEST_P(CorpusFacts, Hold) {
    QTextDocument document;
    LoadCorpus(document, GetParam().file);
    const Found found = Find(document, QString::fromUtf8(GetParam().text));
    ASSERT_TRUE(found.fragment.isValid()) << "no fragment \"" << GetParam().text << "\"";
    EXPECT_TRUE(GetParam().holds(found.fragment.charFormat(), found.block));
}

bool Face(const QTextCharFormat& f, const char* face) { return f.fontFamilies().toStringList() == QStringList{QString::fromUtf8(face)}; }

INSTANTIATE_TEST_SUITE_P(
    Character, CorpusFacts,
    testing::Values(
        Fact{"richedit-wordpad", "bold", "bold", [](auto& f, auto&) { return f.fontWeight() == QFont::Bold; }},
        Fact{"richedit-wordpad", "Plain ", "normal weight", [](auto& f, auto&) { return f.fontWeight() == QFont::Normal && !f.fontItalic(); }},
        Fact{"richedit-wordpad", "italic", "italic", [](auto& f, auto&) { return f.fontItalic() && f.fontWeight() == QFont::Normal; }},
        Fact{"richedit-wordpad", "underline", "underline", [](auto& f, auto&) { return f.fontUnderline(); }},
        Fact{"richedit-wordpad", "strike", "strike", [](auto& f, auto&) { return f.fontStrikeOut() && !f.fontUnderline(); }},
        Fact{"richedit-wordpad", "red", "red", [](auto& f, auto&) { return f.foreground().color() == QColor(255, 0, 0); }},
        Fact{"richedit-wordpad", " and ", "automatic colour", [](auto& f, auto&) { return !f.hasProperty(QTextFormat::ForegroundBrush); }},
        Fact{"richedit-wordpad", "blue Arial 16", "face and size",
             [](auto& f, auto&) { return Face(f, "Arial") && f.fontPointSize() == 16 && f.foreground().color() == QColor(0, 0, 255); }},
        Fact{"richedit-wordpad", "Plain ", "default face", [](auto& f, auto&) { return Face(f, "Times New Roman") && f.fontPointSize() == 12; }},
        Fact{"lo-formatting", "dark red", "colour", [](auto& f, auto&) { return f.foreground().color() == QColor(0xc0, 0, 0); }},
        Fact{"lo-formatting", "Courier New text", "face", [](auto& f, auto&) { return Face(f, "Courier New"); }},
        Fact{"lo-formatting", "Arial 18pt", "size", [](auto& f, auto&) { return Face(f, "Arial") && f.fontPointSize() == 18; }},
        Fact{"lo-formatting", "small 8pt", "size", [](auto& f, auto&) { return f.fontPointSize() == 8; }},
        Fact{"lo-formatting", "bold italic", "bold italic", [](auto& f, auto&) { return f.fontWeight() == QFont::Bold && f.fontItalic(); }},
        Fact{"lo-formatting", "2", "superscript", [](auto& f, auto&) { return f.verticalAlignment() == QTextCharFormat::AlignSuperScript; }},
        Fact{"lo-formatting", "struck out", "strike", [](auto& f, auto&) { return f.fontStrikeOut(); }},
        Fact{"word-style", "paragraph", "bold colour face size",
             [](auto& f, auto&) { return f.fontWeight() == QFont::Bold && f.foreground().color() == QColor(192, 0, 0) && Face(f, "Calibri") && f.fontPointSize() == 11; }},
        Fact{"pandoc-topic", "the web site", "link",
             [](auto& f, auto&) { return f.isAnchor() && f.anchorHref() == QLatin1String("http://example.com/help") && f.fontUnderline(); }},
        Fact{"codepage-932", "\u65E5\u672C\u8A9E", "face", [](auto& f, auto&) { return Face(f, "MS Gothic") && f.fontPointSize() == 10; }}));

INSTANTIATE_TEST_SUITE_P(
    Paragraph, CorpusFacts,
    testing::Values(
        Fact{"lo-paragraphs", "Centred paragraph.", "centre", [](auto&, auto& b) { return b.blockFormat().alignment() == Qt::AlignHCenter; }},
        Fact{"lo-paragraphs", "Right aligned paragraph.", "right", [](auto&, auto& b) { return b.blockFormat().alignment() == Qt::AlignRight; }},
        Fact{"lo-paragraphs", "Left aligned paragraph.", "left and spacing",
             [](auto&, auto& b) {
                 const QTextBlockFormat f = b.blockFormat();
                 return f.alignment() == Qt::AlignLeft && f.lineHeightType() == QTextBlockFormat::ProportionalHeight &&
                        f.lineHeight() == 115 && qAbs(f.bottomMargin() - 140 / 15.0) < 1e-9;
             }},
        Fact{"lo-paragraphs", "Justified paragraph with enough words to wrap over more than one line when the page is narrow enough to make it wrap.",
             "justify", [](auto&, auto& b) { return b.blockFormat().alignment() == Qt::AlignJustify; }},
        Fact{"pandoc-topic", "1.\tAccept the licence", "indents and tab",
             [](auto&, auto& b) {
                 const QTextBlockFormat f = b.blockFormat();
                 return f.leftMargin() == 24 && f.textIndent() == -24 && f.tabPositions().size() == 1 &&
                        f.tabPositions().first().position == 24;
             }},
        Fact{"lo-lists-table", "Open the topic", "numbered list",
             [](auto&, auto& b) { return b.textList() && b.textList()->format().style() == QTextListFormat::ListDecimal && b.textList()->count() == 3; }},
        Fact{"lo-lists-table", "first bullet", "bullet list",
             [](auto&, auto& b) { return b.textList() && b.textList()->format().style() == QTextListFormat::ListDisc && b.textList()->format().indent() == 1; }},
        Fact{"lo-lists-table", "nested bullet", "second level",
             [](auto&, auto& b) { return b.textList() && b.textList()->format().indent() == 2; }},
        Fact{"lo-lists-table", "Steps:", "no list", [](auto&, auto& b) { return b.textList() == nullptr; }},
        Fact{"lo-lists-table", "Help", "table cell",
             [](auto&, auto& b) {
                 QTextCursor cursor(b);
                 QTextTable* table = cursor.currentTable();
                 if (!table || table->rows() != 2 || table->columns() != 2) return false;
                 const auto widths = table->format().columnWidthConstraints();
                 return table->cellAt(cursor).row() == 1 && table->cellAt(cursor).column() == 1 && widths.size() == 2 &&
                        widths[0].type() == QTextLength::FixedLength && qAbs(widths[1].rawValue() - (1322 - 526) / 15.0) < 1e-9;
             }}));

TEST(RtfImportPicture, KeepsTheImageItsSizeAndItsBytes) {
    QTextDocument document;
    LoadCorpus(document, "lo-picture");
    const Found found = Find(document, QString(QChar::ObjectReplacementCharacter));
    ASSERT_TRUE(found.fragment.isValid());
    const QTextImageFormat image = found.fragment.charFormat().toImageFormat();
    ASSERT_TRUE(image.isValid());
    EXPECT_EQ(image.width(), 16);
    EXPECT_EQ(image.height(), 12);
    EXPECT_EQ(image.property(QTextFormat::UserProperty + 2).toString(), QLatin1String("png"));
    const QByteArray bytes = image.property(QTextFormat::UserProperty + 1).toByteArray();
    EXPECT_TRUE(bytes.startsWith("\x89PNG"));
    const QImage resource = document.resource(QTextDocument::ImageResource, QUrl(image.name())).value<QImage>();
    EXPECT_EQ(resource.size(), QSize(16, 12));
}

TEST(RtfImportPicture, UnreadableImageDataLeavesTheTextAlone) {
    QTextDocument document;
    Load(document, "{\\rtf1 a{\\pict\\pngblip 0102030405}b\\par}");
    EXPECT_EQ(VisibleText(document), QStringLiteral("ab\n"));
}

TEST(RtfImport, ReplacesTheWholeContentAndClearsUndo) {
    QTextDocument document;
    QTextCursor(&document).insertText(QStringLiteral("old text"));
    QTextCursor(&document).insertText(QStringLiteral("more "));
    ASSERT_TRUE(document.isUndoAvailable());
    Load(document, "{\\rtf1 new\\par}");
    EXPECT_EQ(VisibleText(document), QStringLiteral("new\n"));
    EXPECT_FALSE(document.isUndoAvailable());
    EXPECT_TRUE(document.isUndoRedoEnabled());
    QTextCursor(&document).insertText(QStringLiteral("x"));
    EXPECT_TRUE(document.isUndoAvailable()) << "editing after a load is undoable again";
}

TEST(RtfImport, RunsWithoutAFaceTakeTheHostFace) {
    QTextCharFormat host;
    host.setFontFamilies({QStringLiteral("Liberation Sans")});
    QTextDocument document;
    Load(document, "{\\rtf1 plain\\par}", host);
    EXPECT_EQ(Find(document, QStringLiteral("plain")).fragment.charFormat().fontFamilies().toStringList(),
              QStringList{QStringLiteral("Liberation Sans")});
}

TEST(RtfImport, RowsWithMoreCellsWidenTheTable) {
    QTextDocument document;
    Load(document,
         "{\\rtf1\\trowd\\cellx1500\\intbl a\\cell\\row\\trowd\\cellx1500\\cellx3000\\cellx4500\\intbl b\\cell c\\cell d\\cell\\row"
         "\\pard after\\par}");
    QTextCursor cursor(Find(document, QStringLiteral("c")).block);
    QTextTable* table = cursor.currentTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 3);
    EXPECT_EQ(table->format().columnWidthConstraints().size(), 3);
    EXPECT_EQ(VisibleText(document), QStringLiteral("\na\n\n\nb\nc\nd\nafter\n")) << "the short row's missing cells stay empty";
}

TEST(RtfImport, AbandonedLoadStillEndsTheEditBlock) {
    QTextDocument document;
    {
        RtfImporter importer(document, QTextCharFormat());
        importer.feed("{\\rtf1 part", 11);
    }
    EXPECT_EQ(VisibleText(document), QStringLiteral("part\n"));
    QTextCursor(&document).insertText(QStringLiteral("x"));
    EXPECT_TRUE(document.isUndoAvailable());
}

}  // namespace
}  // namespace quorlin
