#include "editor/RtfImport.h"

#include "rtf/Reader.h"

#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <map>
#include <vector>

namespace quorlin {
namespace {

constexpr double kTwipsPerPixel = 15.0;
constexpr std::size_t kFormatCacheSize = 16;

QColor ToQColor(const rtf::Color& c) { return QColor(c.r, c.g, c.b); }

Qt::Alignment ToQtAlignment(rtf::Align align) {
    switch (align) {
    case rtf::Align::Center: return Qt::AlignHCenter;
    case rtf::Align::Right: return Qt::AlignRight;
    case rtf::Align::Justify: return Qt::AlignJustify;
    default: return Qt::AlignLeft;
    }
}

QTextOption::TabType ToQtTab(rtf::TabKind kind) {
    switch (kind) {
    case rtf::TabKind::Center: return QTextOption::CenterTab;
    case rtf::TabKind::Right: return QTextOption::RightTab;
    case rtf::TabKind::Decimal: return QTextOption::DelimiterTab;
    default: return QTextOption::LeftTab;
    }
}

QTextListFormat::Style ToQtListStyle(rtf::ListKind kind) {
    switch (kind) {
    case rtf::ListKind::Decimal: return QTextListFormat::ListDecimal;
    case rtf::ListKind::LowerAlpha: return QTextListFormat::ListLowerAlpha;
    case rtf::ListKind::UpperAlpha: return QTextListFormat::ListUpperAlpha;
    case rtf::ListKind::LowerRoman: return QTextListFormat::ListLowerRoman;
    case rtf::ListKind::UpperRoman: return QTextListFormat::ListUpperRoman;
    default: return QTextListFormat::ListDisc;
    }
}

void SetLineSpacing(QTextBlockFormat& q, const rtf::ParaFormat& p) {
    if (p.lineSpacing == 0) return;
    if (p.lineMultiple && p.lineSpacing > 0)
        q.setLineHeight(p.lineSpacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
    else if (p.lineSpacing > 0)
        q.setLineHeight(p.lineSpacing / kTwipsPerPixel, QTextBlockFormat::MinimumHeight);
    else
        q.setLineHeight(-p.lineSpacing / kTwipsPerPixel, QTextBlockFormat::FixedHeight);
}

QTextBlockFormat ToQtBlockFormat(const rtf::ParaFormat& p) {
    QTextBlockFormat q;
    q.setAlignment(ToQtAlignment(p.align));
    if (p.leftIndent != 0) q.setLeftMargin(p.leftIndent / kTwipsPerPixel);
    if (p.rightIndent != 0) q.setRightMargin(p.rightIndent / kTwipsPerPixel);
    if (p.firstIndent != 0) q.setTextIndent(p.firstIndent / kTwipsPerPixel);
    if (p.spaceBefore != 0) q.setTopMargin(p.spaceBefore / kTwipsPerPixel);
    if (p.spaceAfter != 0) q.setBottomMargin(p.spaceAfter / kTwipsPerPixel);
    SetLineSpacing(q, p);
    if (!p.tabs.empty()) {
        QList<QTextOption::Tab> tabs;
        for (const rtf::TabStop& t : p.tabs)
            tabs.append(QTextOption::Tab(t.position / kTwipsPerPixel, ToQtTab(t.kind),
                                         t.kind == rtf::TabKind::Decimal ? QChar('.') : QChar()));
        q.setTabPositions(tabs);
    }
    return q;
}

// A piece of a paragraph waiting for the paragraph's end, which tells where it goes.
struct Inline {
    QString text;  // empty: an image
    QTextCharFormat format;
};

}  // namespace

struct RtfImporter::Impl final : rtf::Sink {
    Impl(QTextDocument& document, const QTextCharFormat& hostDefault);

    void start();
    void finish();

    // rtf::Sink
    void text(std::string_view utf8, const rtf::CharFormat& format) override;
    void tab(const rtf::CharFormat& format) override;
    void lineBreak(const rtf::CharFormat& format) override;
    void picture(const rtf::Picture& picture, const rtf::CharFormat& format) override;
    void paragraphEnd(const rtf::ParaFormat& format) override;
    void cellEnd(const rtf::ParaFormat& format) override;
    void rowEnd(const rtf::RowFormat& format) override;
    void endDocument() override;

    const QTextCharFormat& charFormat(const rtf::CharFormat& format);
    const QTextBlockFormat& blockFormat(const rtf::ParaFormat& format);
    void placeInlines();
    void finishBlock(const rtf::ParaFormat& format);
    void addToList(const rtf::ParaFormat& format);
    void enterCell();
    void leaveTable();

    QTextDocument& document;
    QStringList defaultFamilies;
    rtf::Reader reader;
    QTextCursor cursor;
    bool started = false;
    bool finished = false;
    bool undoWasEnabled = true;
    bool blockUsed = false;  // the cursor's block holds a finished paragraph

    std::vector<Inline> inlines;
    std::vector<std::pair<rtf::CharFormat, QTextCharFormat>> charFormats;  // most recent last
    rtf::ParaFormat lastPara;
    QTextBlockFormat lastBlockFormat;
    bool haveLastPara = false;
    std::map<std::pair<int, int>, QTextList*> lists;
    int images = 0;

    QTextTable* table = nullptr;
    int row = -1;
    int column = 0;
    bool rowOpen = false;
    bool cellUsed = false;  // the current cell already holds a paragraph
    QList<QTextLength> columnWidths;
};

RtfImporter::Impl::Impl(QTextDocument& document, const QTextCharFormat& hostDefault)
    : document(document), reader(*this) {
    defaultFamilies = hostDefault.fontFamilies().toStringList();
    if (defaultFamilies.isEmpty()) defaultFamilies = hostDefault.font().families();
    if (defaultFamilies.isEmpty()) defaultFamilies = document.defaultFont().families();
}

// The load replaces everything and cannot be undone into the old content.
void RtfImporter::Impl::start() {
    if (started) return;
    started = true;
    undoWasEnabled = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    cursor = QTextCursor(&document);
    cursor.beginEditBlock();
}

void RtfImporter::Impl::finish() {
    if (finished) return;
    start();
    reader.finish();
    finished = true;
}

const QTextCharFormat& RtfImporter::Impl::charFormat(const rtf::CharFormat& f) {
    for (auto it = charFormats.rbegin(); it != charFormats.rend(); ++it)
        if (it->first == f) return it->second;
    QTextCharFormat q;
    q.setFontFamilies(f.face.empty() ? defaultFamilies : QStringList{QString::fromStdString(f.face)});
    q.setFontPointSize(f.sizeHalfPoints / 2.0);
    q.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
    q.setFontItalic(f.italic);
    q.setFontUnderline(f.underline);
    q.setFontStrikeOut(f.strike);
    if (f.color) q.setForeground(ToQColor(*f.color));
    if (f.background) q.setBackground(ToQColor(*f.background));
    if (f.vertical == rtf::VerticalAlign::Superscript) q.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    if (f.vertical == rtf::VerticalAlign::Subscript) q.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (!f.link.empty()) {
        q.setAnchor(true);
        q.setAnchorHref(QString::fromStdString(f.link));
    }
    if (charFormats.size() == kFormatCacheSize) charFormats.erase(charFormats.begin());
    charFormats.emplace_back(f, q);
    return charFormats.back().second;
}

const QTextBlockFormat& RtfImporter::Impl::blockFormat(const rtf::ParaFormat& f) {
    if (!haveLastPara || !(f == lastPara)) {
        lastPara = f;
        lastBlockFormat = ToQtBlockFormat(f);
        haveLastPara = true;
    }
    return lastBlockFormat;
}

void RtfImporter::Impl::text(std::string_view utf8, const rtf::CharFormat& format) {
    inlines.push_back({QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())), charFormat(format)});
}

void RtfImporter::Impl::tab(const rtf::CharFormat& format) { inlines.push_back({QStringLiteral("\t"), charFormat(format)}); }

void RtfImporter::Impl::lineBreak(const rtf::CharFormat& format) {
    inlines.push_back({QString(QChar::LineSeparator), charFormat(format)});
}

void RtfImporter::Impl::picture(const rtf::Picture& picture, const rtf::CharFormat& format) {
    QByteArray bytes(picture.data.data(), static_cast<qsizetype>(picture.data.size()));
    const bool png = picture.format == rtf::PictureFormat::Png;
    QImage image;
    if (!image.loadFromData(bytes, png ? "PNG" : "JPG")) return;  // nothing we could show or write back
    const QUrl name(QStringLiteral("rtfimage:%1").arg(++images));
    document.addResource(QTextDocument::ImageResource, name, image);
    QTextImageFormat f;
    f.merge(charFormat(format));
    f.setName(name.toString());
    f.setWidth(picture.goalWidth > 0 ? picture.goalWidth / kTwipsPerPixel : image.width());
    f.setHeight(picture.goalHeight > 0 ? picture.goalHeight / kTwipsPerPixel : image.height());
    f.setProperty(QTextFormat::UserProperty + 1, bytes);
    f.setProperty(QTextFormat::UserProperty + 2, png ? QStringLiteral("png") : QStringLiteral("jpeg"));
    inlines.push_back({QString(), f});
}

void RtfImporter::Impl::placeInlines() {
    for (const Inline& piece : inlines) {
        if (piece.text.isEmpty()) cursor.insertImage(piece.format.toImageFormat());
        else cursor.insertText(piece.text, piece.format);
    }
    inlines.clear();
}

void RtfImporter::Impl::finishBlock(const rtf::ParaFormat& format) {
    placeInlines();
    cursor.setBlockFormat(blockFormat(format));
    if (format.listKind != rtf::ListKind::None) addToList(format);
}

void RtfImporter::Impl::addToList(const rtf::ParaFormat& format) {
    const auto key = std::make_pair(format.listId, format.listLevel);
    auto found = lists.find(key);
    if (found != lists.end()) return found->second->add(cursor.block());
    QTextListFormat listFormat;
    listFormat.setStyle(ToQtListStyle(format.listKind));
    listFormat.setIndent(format.listLevel + 1);
    lists.emplace(key, cursor.createList(listFormat));
}

void RtfImporter::Impl::paragraphEnd(const rtf::ParaFormat& format) {
    if (format.inTable) {
        enterCell();
        finishBlock(format);
        cellUsed = true;
        return;
    }
    if (table != nullptr) leaveTable();
    if (blockUsed) cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    finishBlock(format);
    blockUsed = true;
}

void RtfImporter::Impl::cellEnd(const rtf::ParaFormat& format) {
    paragraphEnd(format);
    ++column;
    cellUsed = false;
}

void RtfImporter::Impl::rowEnd(const rtf::RowFormat& format) {
    rowOpen = false;
    column = 0;
    if (format.cellRight.size() < static_cast<std::size_t>(columnWidths.size())) return;
    // The row with the most cells gives the widths.
    columnWidths.clear();
    int left = 0;
    for (int right : format.cellRight) {
        columnWidths.append(QTextLength(QTextLength::FixedLength, std::max(right - left, 0) / kTwipsPerPixel));
        left = right;
    }
}

// Puts the cursor where the next paragraph of the current cell goes, opening
// the table, its next row or a further column as needed.
void RtfImporter::Impl::enterCell() {
    if (table == nullptr) {
        // At the end of a finished paragraph the table goes after it, with no
        // empty paragraph in between.
        blockUsed = false;
        table = cursor.insertTable(1, 1);
        row = 0;
        rowOpen = true;
        column = 0;
        cellUsed = false;
    } else if (!rowOpen) {
        table->appendRows(1);
        row = table->rows() - 1;
        rowOpen = true;
    }
    if (column >= table->columns()) table->appendColumns(column - table->columns() + 1);
    cursor = table->cellAt(row, column).lastCursorPosition();
    if (cellUsed) cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
}

// After a table Qt keeps an empty block; the next paragraph goes there.
void RtfImporter::Impl::leaveTable() {
    if (!columnWidths.isEmpty()) {
        QTextTableFormat format = table->format();
        while (columnWidths.size() < table->columns()) columnWidths.append(QTextLength());
        format.setColumnWidthConstraints(columnWidths.mid(0, table->columns()));
        table->setFormat(format);
    }
    cursor.setPosition(table->lastPosition());
    cursor.movePosition(QTextCursor::NextBlock);
    table = nullptr;
    columnWidths.clear();
    rowOpen = false;
    blockUsed = false;
}

void RtfImporter::Impl::endDocument() {
    if (!inlines.empty()) paragraphEnd(rtf::ParaFormat());
    if (table != nullptr) leaveTable();
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undoWasEnabled);
}

RtfImporter::RtfImporter(QTextDocument& document, const QTextCharFormat& hostDefault)
    : impl_(std::make_unique<Impl>(document, hostDefault)) {}

RtfImporter::~RtfImporter() {
    // A load given up half-way still leaves a whole, editable document.
    if (impl_->started) impl_->finish();
}

void RtfImporter::feed(const char* data, std::size_t size) {
    impl_->start();
    impl_->reader.feed(data, size);
}

void RtfImporter::finish() { impl_->finish(); }

}  // namespace quorlin
