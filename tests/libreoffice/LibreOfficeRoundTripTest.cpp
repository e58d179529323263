// LibreOffice as an independent reader: documents built in the editor's
// QTextDocument are saved as RTF, LibreOffice converts them to flat ODF, and
// the text with its bold/italic/underline/strike/colour/size/face runs must be
// what we wrote. One LibreOffice run converts every case.
#include "editor/RtfExport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace quorlin {
namespace {

// ---- what a character looks like, on either side ---------------------------

struct Look {
    bool bold = false, italic = false, underline = false, strike = false;
    QString color;  // "#rrggbb", empty for automatic
    double points = 0;
    QString face;
    bool operator==(const Look&) const = default;
};

QString Describe(const Look& l) {
    return QStringLiteral("%1%2%3%4 %5pt %6 %7")
        .arg(l.bold ? "B" : "-", l.italic ? "I" : "-", l.underline ? "U" : "-", l.strike ? "S" : "-")
        .arg(l.points)
        .arg(l.face, l.color.isEmpty() ? QStringLiteral("auto") : l.color);
}

struct Paragraph {
    QString text;
    std::vector<Look> looks;  // one per character of text
    QString align = QStringLiteral("left");
    QStringList links;
};

// Runs of equal looks as readable lines, so that a failure shows where they part.
QStringList Runs(const Paragraph& p) {
    QStringList runs;
    for (qsizetype i = 0; i < p.text.size();) {
        qsizetype j = i + 1;
        while (j < p.text.size() && p.looks[j] == p.looks[i]) ++j;
        runs << QStringLiteral("[%1] %2").arg(p.text.mid(i, j - i), Describe(p.looks[i]));
        i = j;
    }
    return runs;
}

// ---- the expectation, from the document itself -----------------------------

Look LookOf(const QTextCharFormat& f, const QFont& documentFont) {
    Look look;
    look.bold = f.fontWeight() > QFont::Medium;
    look.italic = f.fontItalic();
    look.underline = f.fontUnderline();
    look.strike = f.fontStrikeOut();
    if (f.hasProperty(QTextFormat::ForegroundBrush)) look.color = f.foreground().color().name();
    look.points = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : documentFont.pointSizeF();
    const QStringList families = f.fontFamilies().toStringList();
    look.face = families.isEmpty() ? documentFont.family() : families.first();
    return look;
}

QString AlignName(Qt::Alignment a) {
    if (a & Qt::AlignHCenter) return QStringLiteral("center");
    if (a & Qt::AlignJustify) return QStringLiteral("justify");
    if (a & Qt::AlignRight) return QStringLiteral("right");
    return QStringLiteral("left");
}

std::vector<Paragraph> Expected(const QTextDocument& document) {
    std::vector<Paragraph> paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        Paragraph p;
        p.align = AlignName(block.blockFormat().alignment());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const Look look = LookOf(fragment.charFormat(), document.defaultFont());
            if (fragment.charFormat().isAnchor()) p.links << fragment.charFormat().anchorHref();
            for (QChar c : fragment.text()) {
                if (c == QChar::ObjectReplacementCharacter) continue;
                p.text += c == QChar::LineSeparator ? QChar(u'\n') : c;
                p.looks.push_back(look);
            }
        }
        p.links.removeDuplicates();
        paragraphs.push_back(p);
    }
    return paragraphs;
}

// ---- LibreOffice's reading, from its flat ODF -------------------------------

struct StyleProps {
    std::map<QString, QString> text;  // attribute name -> value
    std::map<QString, QString> paragraph;
    QString parent;
};

class FlatOdf {
public:
    explicit FlatOdf(const QByteArray& xml) : xml_(xml) { parse(); }
    std::vector<Paragraph> paragraphs;
    std::vector<QString> frameWidths;  // svg:width of each picture frame

private:
    void parse();
    void readStyle(const QString& family);
    void readParagraph();
    void addText(const QString& text, const Look& look, bool collapse);
    Look lookOf(const QStringList& styles) const;
    QString resolved(const QString& style, const QString& family, const QString& attribute, bool text) const;

    QXmlStreamReader xml_;
    std::map<QString, StyleProps> styles_;  // "family/name"
    std::map<QString, StyleProps> defaults_;
    std::map<QString, QString> fontFamilies_;
    Paragraph* current_ = nullptr;
};

QString Unquoted(QString s) {
    if (s.size() >= 2 && (s.front() == u'\'' || s.front() == u'"')) s = s.mid(1, s.size() - 2);
    return s;
}

void FlatOdf::parse() {
    while (!xml_.atEnd()) {
        xml_.readNext();
        if (!xml_.isStartElement()) continue;
        const QStringView name = xml_.qualifiedName();
        if (name == u"style:font-face") {
            fontFamilies_[xml_.attributes().value("style:name").toString()] =
                Unquoted(xml_.attributes().value("svg:font-family").toString());
        } else if (name == u"style:style" || name == u"style:default-style") {
            readStyle(xml_.attributes().value("style:family").toString());
        } else if (name == u"text:p" || name == u"text:h") {
            readParagraph();
        }
    }
    EXPECT_FALSE(xml_.hasError()) << xml_.errorString().toStdString();
}

void FlatOdf::readStyle(const QString& family) {
    const bool isDefault = xml_.qualifiedName() == u"style:default-style";
    StyleProps props;
    props.parent = xml_.attributes().value("style:parent-style-name").toString();
    const QString name = xml_.attributes().value("style:name").toString();
    while (xml_.readNextStartElement()) {
        auto& target = xml_.qualifiedName() == u"style:text-properties" ? props.text : props.paragraph;
        for (const QXmlStreamAttribute& a : xml_.attributes()) target[a.qualifiedName().toString()] = a.value().toString();
        xml_.skipCurrentElement();
    }
    (isDefault ? defaults_[family] : styles_[family + u'/' + name]) = props;
}

// A property through the style's parents, then the family's default.
QString FlatOdf::resolved(const QString& style, const QString& family, const QString& attribute, bool text) const {
    QString name = style;
    for (int depth = 0; !name.isEmpty() && depth < 20; ++depth) {
        const auto it = styles_.find(family + u'/' + name);
        if (it == styles_.end()) break;
        const auto& props = text ? it->second.text : it->second.paragraph;
        if (const auto p = props.find(attribute); p != props.end()) return p->second;
        name = it->second.parent;
    }
    if (const auto d = defaults_.find(family); family == u"paragraph" && d != defaults_.end()) {
        const auto& props = text ? d->second.text : d->second.paragraph;
        if (const auto p = props.find(attribute); p != props.end()) return p->second;
    }
    return {};
}

// styles: "family/name" from the paragraph inwards to the innermost span; the
// innermost level that sets a property decides it.
Look FlatOdf::lookOf(const QStringList& styles) const {
    auto get = [&](const QString& attribute) {
        QString value;
        for (const QString& s : styles) {
            const QString family = s.section(u'/', 0, 0), name = s.section(u'/', 1);
            const QString v = resolved(name, family, attribute, true);
            if (!v.isEmpty()) value = v;
        }
        return value;
    };
    Look look;
    const QString weight = get(QStringLiteral("fo:font-weight"));
    look.bold = weight == u"bold" || weight.toInt() > 500;
    look.italic = get(QStringLiteral("fo:font-style")) == u"italic";
    const QString underline = get(QStringLiteral("style:text-underline-style"));
    look.underline = !underline.isEmpty() && underline != u"none";
    const QString strike = get(QStringLiteral("style:text-line-through-style"));
    look.strike = !strike.isEmpty() && strike != u"none";
    for (const QString& s : styles) {  // an explicit colour and "the window's colour" override each other
        const QString family = s.section(u'/', 0, 0), name = s.section(u'/', 1);
        const QString color = resolved(name, family, QStringLiteral("fo:color"), true);
        const QString window = resolved(name, family, QStringLiteral("style:use-window-font-color"), true);
        if (window == u"true") look.color.clear();
        else if (!color.isEmpty()) look.color = color;
    }
    const QString size = get(QStringLiteral("fo:font-size"));
    look.points = size.endsWith(u"pt") ? size.chopped(2).toDouble() : 0;
    const QString font = get(QStringLiteral("style:font-name"));
    look.face = fontFamilies_.count(font) ? fontFamilies_.at(font) : font;
    return look;
}

void FlatOdf::addText(const QString& text, const Look& look, bool collapse) {
    for (QChar c : text) {
        if (collapse) {  // white space in ODF text collapses to one space
            if (c == u'\n' || c == u'\t' || c == u'\r') c = u' ';
            if (c == u' ' && (current_->text.isEmpty() || current_->text.back() == u' ')) continue;
        }
        current_->text += c;
        current_->looks.push_back(look);
    }
}

void FlatOdf::readParagraph() {
    paragraphs.emplace_back();
    current_ = &paragraphs.back();
    const QString style = xml_.attributes().value("text:style-name").toString();
    const QString align = resolved(style, QStringLiteral("paragraph"), QStringLiteral("fo:text-align"), false);
    current_->align = align == u"center" ? QStringLiteral("center")
                      : align == u"justify" ? QStringLiteral("justify")
                      : align == u"end" || align == u"right" ? QStringLiteral("right")
                                                              : QStringLiteral("left");
    QStringList stack{QStringLiteral("paragraph/") + style};  // one entry per open element
    while (!xml_.atEnd()) {
        xml_.readNext();
        if (xml_.isEndElement()) {
            if (stack.size() == 1) break;
            stack.removeLast();
            continue;
        }
        if (xml_.isCharacters()) {
            addText(xml_.text().toString(), lookOf(stack), true);
            continue;
        }
        if (!xml_.isStartElement()) continue;
        const QStringView name = xml_.qualifiedName();
        if (name == u"draw:frame") {
            frameWidths.push_back(xml_.attributes().value("svg:width").toString());
            xml_.skipCurrentElement();
            continue;
        }
        const QString spanStyle = xml_.attributes().value("text:style-name").toString();
        stack << (spanStyle.isEmpty() ? QString() : QStringLiteral("text/") + spanStyle);
        if (name == u"text:s") {
            addText(QString(qMax(1, xml_.attributes().value("text:c").toInt()), u' '), lookOf(stack), false);
        } else if (name == u"text:tab") {
            addText(QStringLiteral("\t"), lookOf(stack), false);
        } else if (name == u"text:line-break") {
            addText(QStringLiteral("\n"), lookOf(stack), false);
        } else if (name == u"text:a") {
            current_->links << xml_.attributes().value("xlink:href").toString();
        }
    }
    current_->links.removeDuplicates();
    current_ = nullptr;
}

// ---- the cases --------------------------------------------------------------

std::unique_ptr<QTextDocument> EditorDocument() {
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(QFont(QStringLiteral("Times New Roman"), 12));
    return document;
}

QTextCharFormat Format(std::function<void(QTextCharFormat&)> set) {
    QTextCharFormat f;
    set(f);
    return f;
}

std::unique_ptr<QTextDocument> FormatsDocument() {
    auto document = EditorDocument();
    QTextCursor c(document.get());
    c.insertText(QStringLiteral("plain "));
    c.insertText(QStringLiteral("bold"), Format([](auto& f) { f.setFontWeight(QFont::Bold); }));
    c.insertText(QStringLiteral(" "), QTextCharFormat());
    c.insertText(QStringLiteral("italic"), Format([](auto& f) { f.setFontItalic(true); }));
    c.insertText(QStringLiteral(" "), QTextCharFormat());
    c.insertText(QStringLiteral("underline"), Format([](auto& f) { f.setFontUnderline(true); }));
    c.insertText(QStringLiteral(" "), QTextCharFormat());
    c.insertText(QStringLiteral("strike"), Format([](auto& f) { f.setFontStrikeOut(true); }));
    c.insertText(QStringLiteral(" all"), Format([](auto& f) {
                     f.setFontWeight(QFont::Bold);
                     f.setFontItalic(true);
                     f.setFontUnderline(true);
                 }));
    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    c.insertText(QStringLiteral("red"), Format([](auto& f) { f.setForeground(QColor(255, 0, 0)); }));
    c.insertText(QStringLiteral(" black"), Format([](auto& f) { f.setForeground(QColor(0, 0, 0)); }));
    c.insertText(QStringLiteral(" teal 16"), Format([](auto& f) {
                     f.setForeground(QColor(0, 128, 128));
                     f.setFontPointSize(16);
                 }));
    c.insertText(QStringLiteral(" small"), Format([](auto& f) { f.setFontPointSize(8); }));
    c.insertText(QStringLiteral(" half"), Format([](auto& f) { f.setFontPointSize(10.5); }));
    c.insertText(QStringLiteral(" Arial"), Format([](auto& f) { f.setFontFamilies({QStringLiteral("Arial")}); }));
    c.insertText(QStringLiteral(" Courier"),
                 Format([](auto& f) { f.setFontFamilies({QStringLiteral("Courier New")}); }));
    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    c.insertText(QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xD0\x9C\xD0\xB8\xD1\x80 "
                                   "\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80 {braces} back\\slash\ttab"));
    c.insertText(QString(QChar::LineSeparator) + QStringLiteral("next line"));
    c.insertBlock();
    c.insertText(QStringLiteral("-5 starts with a sign"), Format([](auto& f) { f.setFontWeight(QFont::Bold); }));
    c.insertText(QStringLiteral("  two spaces"), QTextCharFormat());
    c.insertBlock();  // an empty last paragraph
    return document;
}

std::unique_ptr<QTextDocument> ParagraphsDocument() {
    auto document = EditorDocument();
    QTextCursor c(document.get());
    const std::pair<Qt::Alignment, const char*> aligns[] = {
        {Qt::AlignLeft, "left"}, {Qt::AlignHCenter, "centred"}, {Qt::AlignRight, "right"}, {Qt::AlignJustify, "justified"}};
    bool first = true;
    for (const auto& [align, text] : aligns) {
        QTextBlockFormat f;
        f.setAlignment(align);
        f.setLeftMargin(24);
        f.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
        if (first) c.setBlockFormat(f);
        else c.insertBlock(f);
        first = false;
        c.insertText(QString::fromLatin1(text) + QStringLiteral(" paragraph"));
    }
    return document;
}

std::unique_ptr<QTextDocument> StructureDocument() {
    auto document = EditorDocument();
    QTextCursor c(document.get());
    c.insertText(QStringLiteral("Steps:"));
    c.insertList(QTextListFormat::ListDecimal);
    c.insertText(QStringLiteral("Open"));
    c.insertBlock();
    c.insertText(QStringLiteral("Save"));
    c.insertBlock(QTextBlockFormat());
    c.insertText(QStringLiteral("Table:"));
    QTextTable* table = c.insertTable(2, 2);
    const char* cells[] = {"Key", "Action", "F1", "Help"};
    for (int i = 0; i < 4; ++i)
        table->cellAt(i / 2, i % 2).firstCursorPosition().insertText(QString::fromLatin1(cells[i]),
                                                                      Format([i](auto& f) { f.setFontItalic(i == 0); }));
    c.movePosition(QTextCursor::End);
    c.insertText(QStringLiteral("See "));
    c.insertText(QStringLiteral("the site"), Format([](auto& f) {
                     f.setAnchor(true);
                     f.setAnchorHref(QStringLiteral("https://example.org/help"));
                     f.setFontUnderline(true);
                     f.setForeground(QColor(0, 0, 255));
                 }));
    c.insertText(QStringLiteral(" now."), QTextCharFormat());
    c.insertBlock();
    QImage image(8, 4, QImage::Format_RGB32);
    image.fill(Qt::green);
    document->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("green")), image);
    QTextImageFormat picture;
    picture.setName(QStringLiteral("green"));
    picture.setWidth(96);  // one inch
    picture.setHeight(48);
    c.insertImage(picture);
    return document;
}

// Many short runs of random formats over text full of what needs escaping.
std::unique_ptr<QTextDocument> DenseDocument() {
    auto document = EditorDocument();
    QTextCursor c(document.get());
    QRandomGenerator random(20240611);
    const QString pieces[] = {QStringLiteral("word"), QStringLiteral(" "), QStringLiteral("-1"), QStringLiteral("42"),
                              QStringLiteral("{"), QStringLiteral("}"), QStringLiteral("\\"), QString::fromUtf8("\xC3\xA9"),
                              QString::fromUtf8("\xE2\x80\x94"), QString::fromUtf8("\xCE\xA9"), QStringLiteral("x y"),
                              QString::fromUtf8("\xF0\x9F\x8E\x89")};
    const char* faces[] = {"Times New Roman", "Arial", "Courier New"};
    const double sizes[] = {9, 12, 14, 20};
    for (int paragraph = 0; paragraph < 12; ++paragraph) {
        if (paragraph > 0) c.insertBlock(QTextBlockFormat(), QTextCharFormat());
        for (int run = 0; run < 40; ++run) {
            QTextCharFormat f;
            f.setFontWeight(random.bounded(2) ? QFont::Bold : QFont::Normal);
            f.setFontItalic(random.bounded(3) == 0);
            f.setFontUnderline(random.bounded(4) == 0);
            f.setFontStrikeOut(random.bounded(8) == 0);
            if (random.bounded(3) == 0) f.setForeground(QColor::fromRgb(random.bounded(256), random.bounded(256), 7));
            f.setFontPointSize(sizes[random.bounded(4)]);
            f.setFontFamilies({QString::fromLatin1(faces[random.bounded(3)])});
            QString text;
            for (int k = 1 + random.bounded(3); k > 0; --k) text += pieces[random.bounded(12)];
            c.insertText(text, f);
        }
    }
    return document;
}

struct Case {
    const char* name;
    std::unique_ptr<QTextDocument> (*make)();
};
const Case kCases[] = {{"formats", FormatsDocument},
                       {"paragraphs", ParagraphsDocument},
                       {"structure", StructureDocument},
                       {"dense", DenseDocument},
                       {"empty", EditorDocument}};

class LibreOfficeRoundTrip : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite() { converted_.clear(); }

    void SetUp() override {
        if (!skipReason_.isEmpty()) GTEST_SKIP() << skipReason_.toStdString();
    }
    static FlatOdf Read(const char* name) {
        EXPECT_TRUE(converted_.count(name)) << "LibreOffice did not convert " << name << ": "
                                            << conversionLog_.toStdString();
        return FlatOdf(converted_[name]);
    }
    static void ExpectSameParagraphs(const char* name, bool compareAlignment);

    static inline QString skipReason_;
    static inline QString conversionLog_;
    static inline std::map<std::string, QByteArray> converted_;
};

void LibreOfficeRoundTrip::SetUpTestSuite() {
    QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) soffice = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (soffice.isEmpty()) {
        skipReason_ = QStringLiteral("LibreOffice (soffice) is not installed");
        return;
    }
    static QTemporaryDir dir;
    QStringList inputs;
    for (const Case& c : kCases) {
        QFile file(dir.filePath(QString::fromLatin1(c.name) + QStringLiteral(".rtf")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(ExportRtf(*c.make(), [&file](const char* data, std::size_t size) {
            return file.write(data, static_cast<qint64>(size)) == static_cast<qint64>(size);
        }));
        inputs << file.fileName();
    }
    // A profile of its own, so that a running LibreOffice or a shared home does not interfere.
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), dir.path());
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(soffice, QStringList{QStringLiteral("-env:UserInstallation=file://") + dir.filePath("profile"),
                                       QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                                       QStringLiteral("fodt"), QStringLiteral("--outdir"), dir.filePath("out")}
                               + inputs);
    if (!process.waitForFinished(300000)) process.kill();
    conversionLog_ = QString::fromLocal8Bit(process.readAll());
    for (const Case& c : kCases) {
        QFile out(dir.filePath(QStringLiteral("out/") + QString::fromLatin1(c.name) + QStringLiteral(".fodt")));
        if (out.open(QIODevice::ReadOnly)) converted_[c.name] = out.readAll();
    }
}

const Case& CaseNamed(const char* name) {
    for (const Case& c : kCases)
        if (std::string(c.name) == name) return c;
    throw std::logic_error("no such case");
}

void LibreOfficeRoundTrip::ExpectSameParagraphs(const char* name, bool compareAlignment) {
    const std::vector<Paragraph> expected = Expected(*CaseNamed(name).make());
    const FlatOdf odf = Read(name);
    ASSERT_EQ(odf.paragraphs.size(), expected.size()) << name;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(std::string(name) + ", paragraph " + std::to_string(i));
        EXPECT_EQ(odf.paragraphs[i].text.toStdString(), expected[i].text.toStdString());
        EXPECT_EQ(Runs(odf.paragraphs[i]).join(u'\n').toStdString(), Runs(expected[i]).join(u'\n').toStdString());
        EXPECT_EQ(odf.paragraphs[i].links, expected[i].links);
        if (compareAlignment) EXPECT_EQ(odf.paragraphs[i].align, expected[i].align);
    }
}

TEST_F(LibreOfficeRoundTrip, CharacterFormatsTextAndEscapes) { ExpectSameParagraphs("formats", false); }

TEST_F(LibreOfficeRoundTrip, ParagraphAlignment) { ExpectSameParagraphs("paragraphs", true); }

TEST_F(LibreOfficeRoundTrip, ListTableLinkAndPicture) {
    ExpectSameParagraphs("structure", false);
    const FlatOdf odf = Read("structure");
    ASSERT_EQ(odf.frameWidths.size(), 1u);
    const QString width = odf.frameWidths.front();  // 96 px is one inch
    const double inches = width.endsWith(u"in") ? width.chopped(2).toDouble() : width.chopped(2).toDouble() / 2.54;
    EXPECT_NEAR(inches, 1.0, 0.01) << width.toStdString();
}

TEST_F(LibreOfficeRoundTrip, ManyShortRunsOfRandomFormats) { ExpectSameParagraphs("dense", false); }

TEST_F(LibreOfficeRoundTrip, EmptyDocumentIsOneEmptyParagraph) {
    const FlatOdf odf = Read("empty");
    ASSERT_EQ(odf.paragraphs.size(), 1u);
    EXPECT_TRUE(odf.paragraphs[0].text.isEmpty());
}

}  // namespace
}  // namespace quorlin
