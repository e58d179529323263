// Documents built with QTextCursor, saved as RTF and read back through the
// importer, come back with the same text, character formats and block formats.
#include "editor/RtfExport.h"
#include "editor/RtfImport.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <functional>
#include <map>

namespace quorlin {
namespace {

const QFont kEditorFont(QStringLiteral("Times New Roman"), 12);

// What the editor's formatting can say about one character.
QString CharFacts(const QTextCharFormat& f) {
    const QStringList families = f.fontFamilies().toStringList();
    const qreal points = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : kEditorFont.pointSizeF();
    return QStringLiteral("%1%2%3%4 face=%5 pt=%6 fg=%7 bg=%8 v=%9 href=%10")
        .arg(f.fontWeight() > QFont::Medium ? "B" : "-", f.fontItalic() ? "I" : "-", f.fontUnderline() ? "U" : "-",
             f.fontStrikeOut() ? "S" : "-")
        .arg(families.isEmpty() ? kEditorFont.family() : families.first())
        .arg(points)
        .arg(f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().name() : QStringLiteral("auto"))
        .arg(f.hasProperty(QTextFormat::BackgroundBrush) ? f.background().color().name() : QStringLiteral("none"))
        .arg(int(f.verticalAlignment()))
        .arg(f.isAnchor() ? f.anchorHref() : QString());
}

QString BlockFacts(const QTextBlock& block) {
    const QTextBlockFormat f = block.blockFormat();
    QString tabs;
    for (const QTextOption::Tab& t : f.tabPositions()) tabs += QStringLiteral("%1/%2 ").arg(t.position).arg(int(t.type));
    QString list = QStringLiteral("none");
    if (const QTextList* l = block.textList())
        list = QStringLiteral("style %1 indent %2").arg(int(l->format().style())).arg(l->format().indent());
    return QStringLiteral("align=%1 margins=%2,%3,%4,%5 indent=%6 line=%7/%8 tabs=%9 list=%10 table=%11")
        .arg(int(f.alignment() & Qt::AlignHorizontal_Mask))
        .arg(f.leftMargin())
        .arg(f.rightMargin())
        .arg(f.topMargin())
        .arg(f.bottomMargin())
        .arg(f.textIndent())
        .arg(f.lineHeightType())
        .arg(f.lineHeight())
        .arg(tabs, list)
        .arg(QTextCursor(block).currentTable() != nullptr);
}

// One line per block, then one per run of equal character facts.
QStringList Describe(const QTextDocument& document) {
    QStringList lines;
    std::map<const QTextList*, int> lists;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QString listNumber;
        if (const QTextList* l = block.textList())
            listNumber = QStringLiteral(" #%1").arg(lists.emplace(l, int(lists.size())).first->second);
        lines << QStringLiteral("block [%1] %2%3").arg(block.text(), BlockFacts(block), listNumber);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            QString line = QStringLiteral("  [%1] %2").arg(fragment.text(), CharFacts(fragment.charFormat()));
            if (fragment.charFormat().isImageFormat()) {
                const QTextImageFormat image = fragment.charFormat().toImageFormat();
                line += QStringLiteral(" image %1x%2").arg(image.width()).arg(image.height());
            }
            if (lines.back().section(u']', 1) == line.section(u']', 1) && lines.back().startsWith(u"  ["))
                lines.back() = QStringLiteral("  [%1%2]%3")
                                   .arg(lines.back().section(u']', 0, 0).mid(3), fragment.text(), line.section(u']', 1));
            else
                lines << line;
        }
    }
    return lines;
}

std::string ExportToString(const QTextDocument& document) {
    std::string rtf;
    EXPECT_TRUE(ExportRtf(document, [&rtf](const char* data, std::size_t size) {
        rtf.append(data, size);
        return true;
    }));
    return rtf;
}

std::unique_ptr<QTextDocument> Import(const std::string& rtf) {
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(kEditorFont);
    QTextCharFormat host;
    host.setFont(kEditorFont);
    RtfImporter importer(*document, host);
    for (std::size_t i = 0; i < rtf.size(); i += 1000) importer.feed(rtf.data() + i, std::min<std::size_t>(1000, rtf.size() - i));
    importer.finish();
    return document;
}

std::unique_ptr<QTextDocument> EditorDocument() {
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(kEditorFont);
    return document;
}

QTextCharFormat Chars(const std::function<void(QTextCharFormat&)>& set) {
    QTextCharFormat f;
    set(f);
    return f;
}

using Builder = std::function<void(QTextDocument&, QTextCursor&)>;

void Formats(QTextDocument&, QTextCursor& c) {
    c.insertText(QStringLiteral("plain "));
    c.insertText(QStringLiteral("bold "), Chars([](auto& f) { f.setFontWeight(QFont::Bold); }));
    c.insertText(QStringLiteral("italic "), Chars([](auto& f) { f.setFontItalic(true); }));
    c.insertText(QStringLiteral("underline "), Chars([](auto& f) { f.setFontUnderline(true); }));
    c.insertText(QStringLiteral("strike "), Chars([](auto& f) { f.setFontStrikeOut(true); }));
    c.insertText(QStringLiteral("red "), Chars([](auto& f) { f.setForeground(QColor(255, 0, 0)); }));
    c.insertText(QStringLiteral("black "), Chars([](auto& f) { f.setForeground(QColor(0, 0, 0)); }));
    c.insertText(QStringLiteral("marked "), Chars([](auto& f) { f.setBackground(QColor(255, 255, 0)); }));
    c.insertText(QStringLiteral("Arial "), Chars([](auto& f) { f.setFontFamilies({QStringLiteral("Arial")}); }));
    c.insertText(QStringLiteral("big "), Chars([](auto& f) { f.setFontPointSize(20); }));
    c.insertText(QStringLiteral("half "), Chars([](auto& f) { f.setFontPointSize(10.5); }));
    c.insertText(QStringLiteral("up"),
                 Chars([](auto& f) { f.setVerticalAlignment(QTextCharFormat::AlignSuperScript); }));
    c.insertText(QStringLiteral("down"), Chars([](auto& f) { f.setVerticalAlignment(QTextCharFormat::AlignSubScript); }));
    c.insertText(QStringLiteral(" all"), Chars([](auto& f) {
                     f.setFontWeight(QFont::Bold);
                     f.setFontItalic(true);
                     f.setFontUnderline(true);
                     f.setForeground(QColor(0, 128, 0));
                     f.setFontFamilies({QStringLiteral("Courier New")});
                     f.setFontPointSize(9);
                 }));
}

void Text(QTextDocument&, QTextCursor& c) {
    c.insertText(QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC \xD0\x9C\xD0\xB8\xD1\x80 \xE4\xB8\xAD \xF0\x9F\x98\x80 "
                                   "{braces} back\\slash\tafter tab"));
    c.insertText(QString(QChar::LineSeparator) + QStringLiteral("-1 after a break"));
    c.insertBlock();
    c.insertBlock();  // an empty paragraph between two
    c.insertText(QStringLiteral("last"));
    c.insertBlock();  // and an empty last one
}

void Paragraphs(QTextDocument&, QTextCursor& c) {
    auto paragraph = [&c](const QString& text, const std::function<void(QTextBlockFormat&)>& set) {
        QTextBlockFormat f;
        set(f);
        c.insertBlock(f);
        c.insertText(text);
    };
    c.insertText(QStringLiteral("first"));
    paragraph(QStringLiteral("centred"), [](auto& f) { f.setAlignment(Qt::AlignHCenter); });
    paragraph(QStringLiteral("right"), [](auto& f) { f.setAlignment(Qt::AlignRight); });
    paragraph(QStringLiteral("justified"), [](auto& f) { f.setAlignment(Qt::AlignJustify); });
    paragraph(QStringLiteral("indented"), [](auto& f) {
        f.setLeftMargin(48);
        f.setRightMargin(24);
        f.setTextIndent(-24);
        f.setTopMargin(8);
        f.setBottomMargin(16);
    });
    paragraph(QStringLiteral("one and a half"), [](auto& f) { f.setLineHeight(150, QTextBlockFormat::ProportionalHeight); });
    paragraph(QStringLiteral("exactly 20"), [](auto& f) { f.setLineHeight(20, QTextBlockFormat::FixedHeight); });
    paragraph(QStringLiteral("at least 20"), [](auto& f) { f.setLineHeight(20, QTextBlockFormat::MinimumHeight); });
    paragraph(QStringLiteral("a\tb\tc\td"), [](auto& f) {
        f.setTabPositions({QTextOption::Tab(96, QTextOption::LeftTab), QTextOption::Tab(192, QTextOption::CenterTab),
                           QTextOption::Tab(288, QTextOption::RightTab)});
    });
}

void Lists(QTextDocument&, QTextCursor& c) {
    c.insertText(QStringLiteral("intro"));
    c.insertList(QTextListFormat::ListDecimal);
    c.insertText(QStringLiteral("one"));
    c.insertBlock();
    c.insertText(QStringLiteral("two"));
    QTextListFormat nested;
    nested.setStyle(QTextListFormat::ListDisc);
    nested.setIndent(2);
    c.insertList(nested);
    c.insertText(QStringLiteral("inner"));
    c.insertBlock(QTextBlockFormat());
    c.insertText(QStringLiteral("between"));
    for (auto style : {QTextListFormat::ListLowerAlpha, QTextListFormat::ListUpperAlpha, QTextListFormat::ListLowerRoman,
                       QTextListFormat::ListUpperRoman}) {
        c.insertList(style);
        c.insertText(QStringLiteral("item"));
    }
}

void Table(QTextDocument&, QTextCursor& c) {
    c.insertText(QStringLiteral("before"));
    QTextTableFormat format;
    format.setColumnWidthConstraints(
        {QTextLength(QTextLength::FixedLength, 100), QTextLength(QTextLength::FixedLength, 200)});
    QTextTable* table = c.insertTable(2, 2, format);
    const char* texts[] = {"a", "b", "c", "d"};
    for (int i = 0; i < 4; ++i)
        table->cellAt(i / 2, i % 2).firstCursorPosition().insertText(QString::fromLatin1(texts[i]),
                                                                      Chars([i](auto& f) { f.setFontItalic(i == 1); }));
    QTextCursor second = table->cellAt(1, 1).lastCursorPosition();
    second.insertBlock();
    second.insertText(QStringLiteral("d2"));
    c.movePosition(QTextCursor::End);
    c.insertText(QStringLiteral("after"));
}

void Link(QTextDocument&, QTextCursor& c) {
    c.insertText(QStringLiteral("see "));
    c.insertText(QStringLiteral("the site"), Chars([](auto& f) {
                     f.setAnchor(true);
                     f.setAnchorHref(QStringLiteral("https://example.org/help?a=1&b=2"));
                     f.setFontUnderline(true);
                     f.setForeground(QColor(0, 0, 255));
                 }));
    c.insertText(QStringLiteral(" now"), QTextCharFormat());
}

const std::pair<const char*, Builder> kDocuments[] = {
    {"character formats", Formats}, {"text", Text},   {"paragraphs", Paragraphs}, {"lists", Lists},
    {"table", Table},               {"link", Link},   {"empty", [](QTextDocument&, QTextCursor&) {}},
};

TEST(RoundTrip, TextAndFormatsComeBack) {
    for (const auto& [name, build] : kDocuments) {
        SCOPED_TRACE(name);
        auto document = EditorDocument();
        QTextCursor cursor(document.get());
        build(*document, cursor);
        const std::string rtf = ExportToString(*document);
        const auto back = Import(rtf);
        const QStringList expected = Describe(*document), actual = Describe(*back);
        EXPECT_EQ(actual.join(u'\n').toStdString(), expected.join(u'\n').toStdString()) << rtf;
        // Written again, the document gives the same bytes.
        EXPECT_EQ(ExportToString(*back), rtf);
    }
}

TEST(RoundTrip, TableShapeAndColumnWidths) {
    auto document = EditorDocument();
    QTextCursor cursor(document.get());
    Table(*document, cursor);
    const auto back = Import(ExportToString(*document));
    QTextTable* table = nullptr;
    for (QTextFrame* frame : back->rootFrame()->childFrames())
        if ((table = qobject_cast<QTextTable*>(frame))) break;
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rows(), 2);
    EXPECT_EQ(table->columns(), 2);
    const auto widths = table->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 2);
    EXPECT_EQ(widths[0], QTextLength(QTextLength::FixedLength, 100));
    EXPECT_EQ(widths[1], QTextLength(QTextLength::FixedLength, 200));
    EXPECT_EQ(table->cellAt(1, 1).firstCursorPosition().block().text(), QStringLiteral("d"));
}

// What the editor shows of a topic from Word, WordPad or LibreOffice survives
// being saved by us and opened again.
TEST(RoundTrip, CorpusFilesSurviveSaveAndReopen) {
    const QDir corpus(QStringLiteral(QUORLIN_CORPUS_DIR));
    const QStringList files = corpus.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 10);
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray original = file.readAll();
        const auto opened = Import(original.toStdString());
        const std::string saved = ExportToString(*opened);
        const auto reopened = Import(saved);
        EXPECT_EQ(Describe(*reopened).join(u'\n').toStdString(), Describe(*opened).join(u'\n').toStdString());
        EXPECT_EQ(ExportToString(*reopened), saved);
    }
}

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

TEST(RoundTrip, PicturesKeepTheirBytesAndSize) {
    QImage red(6, 3, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QByteArray jpeg = Encoded(red, "JPEG");
    auto document = EditorDocument();
    document->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("red")), red);
    QTextCursor cursor(document.get());
    QTextImageFormat fromResource;
    fromResource.setName(QStringLiteral("red"));
    fromResource.setWidth(60);
    fromResource.setHeight(30);
    cursor.insertText(QStringLiteral("a"));
    cursor.insertImage(fromResource);
    QTextImageFormat original;
    original.setName(QStringLiteral("photo"));
    original.setProperty(QTextFormat::UserProperty + 1, jpeg);
    original.setProperty(QTextFormat::UserProperty + 2, QStringLiteral("jpeg"));
    cursor.insertImage(original);

    const auto back = Import(ExportToString(*document));
    std::vector<QTextImageFormat> images;
    for (auto it = back->begin().begin(); !it.atEnd(); ++it)
        if (it.fragment().charFormat().isImageFormat()) images.push_back(it.fragment().charFormat().toImageFormat());
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(images[0].width(), 60);
    EXPECT_EQ(images[0].height(), 30);
    const QImage first = back->resource(QTextDocument::ImageResource, QUrl(images[0].name())).value<QImage>();
    EXPECT_EQ(first.size(), QSize(6, 3));
    EXPECT_EQ(first.pixelColor(2, 1), QColor(Qt::red));
    EXPECT_EQ(images[1].property(QTextFormat::UserProperty + 1).toByteArray(), jpeg);  // not re-encoded
    EXPECT_EQ(images[1].property(QTextFormat::UserProperty + 2).toString(), QStringLiteral("jpeg"));
    EXPECT_EQ(images[1].width(), 6);  // no size given: the picture's own
}

}  // namespace
}  // namespace quorlin
