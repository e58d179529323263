#include "editor/RtfExport.h"

#include "rtf/Writer.h"

#include <QBuffer>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <unordered_map>

namespace quorlin {
namespace {

using rtf::CharFormat;
using rtf::ParaFormat;

constexpr double kTwipsPerPixel = 15.0;
constexpr int kTableWidth = 9000;  // twips over which variable and percentage columns are spread

int Twips(qreal pixels) { return qRound(pixels * kTwipsPerPixel); }

rtf::Color ToColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return {static_cast<uint8_t>(rgb.red()), static_cast<uint8_t>(rgb.green()), static_cast<uint8_t>(rgb.blue())};
}

// UTF-16 to UTF-8 into a buffer that is reused run after run; a lone
// surrogate becomes U+FFFD.
void AppendUtf8(std::string& out, const QChar* begin, const QChar* end) {
    for (const QChar* p = begin; p < end; ++p) {
        char32_t cp = p->unicode();
        if (cp < 0x80) {
            out += static_cast<char>(cp);
            continue;
        }
        if (QChar::isHighSurrogate(cp) && p + 1 < end && p[1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(p[0], p[1]);
            ++p;
        } else if (QChar::isSurrogate(cp)) {
            cp = 0xFFFD;
        }
        if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        }
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

QString FaceOf(const QTextCharFormat& format, const QFont& documentFont) {
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty()) return families.first();
    const QString single = format.stringProperty(QTextFormat::FontFamily);  // set by older code
    if (!single.isEmpty()) return single;
    return documentFont.family();
}

int HalfPointsOf(const QTextCharFormat& format, const QFont& documentFont) {
    qreal points = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : documentFont.pointSizeF();
    if (points <= 0) points = 12;  // a font sized in pixels: the editor's own default size
    return qRound(points * 2);
}

CharFormat ToCharFormat(const QTextCharFormat& format, const QFont& documentFont) {
    CharFormat c;
    c.face = FaceOf(format, documentFont).toStdString();
    c.sizeHalfPoints = HalfPointsOf(format, documentFont);
    c.bold = format.fontWeight() > QFont::Medium;
    c.italic = format.fontItalic();
    c.underline = format.fontUnderline();
    c.strike = format.fontStrikeOut();
    if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() == Qt::SolidPattern)
        c.color = ToColor(format.foreground().color());
    if (format.hasProperty(QTextFormat::BackgroundBrush) && format.background().style() != Qt::NoBrush)
        c.background = ToColor(format.background().color());
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        c.vertical = rtf::VerticalAlign::Superscript;
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        c.vertical = rtf::VerticalAlign::Subscript;
    if (format.isAnchor() && !format.anchorHref().isEmpty()) c.link = format.anchorHref().toStdString();
    return c;
}

rtf::Align ToAlign(Qt::Alignment alignment) {
    const Qt::Alignment horizontal = alignment & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignHCenter) return rtf::Align::Center;
    if (horizontal & Qt::AlignJustify) return rtf::Align::Justify;
    if (horizontal & Qt::AlignRight) return rtf::Align::Right;
    return rtf::Align::Left;
}

void SetLineSpacing(const QTextBlockFormat& format, ParaFormat& p) {
    const qreal height = format.lineHeight();
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        p.lineSpacing = qRound(240 * height / 100);
        p.lineMultiple = true;
        break;
    case QTextBlockFormat::MinimumHeight: p.lineSpacing = Twips(height); break;
    case QTextBlockFormat::FixedHeight: p.lineSpacing = -Twips(height); break;
    default: break;  // single, or extra distance RTF cannot say: automatic
    }
}

rtf::TabKind ToTabKind(QTextOption::TabType type) {
    switch (type) {
    case QTextOption::CenterTab: return rtf::TabKind::Center;
    case QTextOption::RightTab: return rtf::TabKind::Right;
    case QTextOption::DelimiterTab: return rtf::TabKind::Decimal;
    default: return rtf::TabKind::Left;
    }
}

rtf::ListKind ToListKind(QTextListFormat::Style style) {
    switch (style) {
    case QTextListFormat::ListDecimal: return rtf::ListKind::Decimal;
    case QTextListFormat::ListLowerAlpha: return rtf::ListKind::LowerAlpha;
    case QTextListFormat::ListUpperAlpha: return rtf::ListKind::UpperAlpha;
    case QTextListFormat::ListLowerRoman: return rtf::ListKind::LowerRoman;
    case QTextListFormat::ListUpperRoman: return rtf::ListKind::UpperRoman;
    default: return rtf::ListKind::Bullet;
    }
}

// Right cell boundaries in twips: fixed columns keep their width, the others
// share what is left of the standard table width.
std::vector<int> ColumnBoundaries(const QTextTable& table) {
    const int columns = table.columns();
    const QList<QTextLength> constraints = table.format().columnWidthConstraints();
    std::vector<int> widths(columns, -1);
    int known = 0;
    for (int c = 0; c < columns && c < constraints.size(); ++c) {
        const QTextLength& length = constraints[c];
        if (length.type() == QTextLength::FixedLength) widths[c] = Twips(length.rawValue());
        else if (length.type() == QTextLength::PercentageLength) widths[c] = qRound(length.rawValue() * kTableWidth / 100);
        if (widths[c] >= 0) known += widths[c];
    }
    const int open = static_cast<int>(std::count(widths.begin(), widths.end(), -1));
    const int share = open ? std::max((kTableWidth - known) / open, 360) : 0;
    std::vector<int> right(columns + 1, 0);
    for (int c = 0; c < columns; ++c) right[c + 1] = right[c] + std::max(widths[c] < 0 ? share : widths[c], 15);
    return right;
}

bool LooksLike(const QByteArray& bytes, const char* magic, int size) {
    return bytes.size() >= size && std::equal(magic, magic + size, bytes.constData());
}

QByteArray EncodePng(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {};
    return png;
}

class DocumentWalker {
public:
    DocumentWalker(const QTextDocument& document, rtf::Writer& writer)
        : document_(document), writer_(writer), font_(document.defaultFont()) {}

    void walkFrame(const QTextFrame& frame);

private:
    enum class End { Paragraph, Cell };

    void walkTable(const QTextTable& table);
    void walkCell(const QTextTableCell& cell);
    void collectBlocks(const QTextFrame::iterator& begin, std::vector<QTextBlock>& blocks);
    void writeBlock(const QTextBlock& block, bool inTable, End end);
    void writeFragment(const QTextFragment& fragment, QStringView text);
    void flushText(const QChar* begin, const QChar* end, const CharFormat& format);
    void writeImage(const QTextImageFormat& format, const CharFormat& charFormat);
    bool loadResourceImage(const QString& name, rtf::Picture& picture);

    template <typename Item>
    const CharFormat& charFormat(const Item& item);
    const ParaFormat& paraFormat(const QTextBlock& block, bool inTable);

    const QTextDocument& document_;
    rtf::Writer& writer_;
    const QFont font_;
    std::unordered_map<int, CharFormat> charFormats_;
    std::unordered_map<long long, ParaFormat> paraFormats_;
    std::unordered_map<const QTextList*, int> listIds_;
    std::string utf8_;
};

void DocumentWalker::walkFrame(const QTextFrame& frame) {
    for (auto it = frame.begin(); !it.atEnd(); ++it) {
        if (const QTextFrame* child = it.currentFrame()) {
            if (const auto* table = qobject_cast<const QTextTable*>(child)) walkTable(*table);
            else walkFrame(*child);
        } else if (it.currentBlock().isValid()) {
            writeBlock(it.currentBlock(), false, End::Paragraph);
        }
    }
}

// Flat rows: a cell spanning columns ends at its last column's boundary; the
// rows a tall cell covers below its first get an empty cell in its place.
void DocumentWalker::walkTable(const QTextTable& table) {
    const std::vector<int> boundaries = ColumnBoundaries(table);
    for (int row = 0; row < table.rows(); ++row) {
        rtf::RowFormat rowFormat;
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            if (!cell.isValid() || cell.column() != column) continue;
            if (cell.row() == row) {
                walkCell(cell);
            } else {
                ParaFormat empty;
                empty.inTable = true;
                writer_.cellEnd(empty);
            }
            rowFormat.cellRight.push_back(boundaries[std::min(column + cell.columnSpan(), table.columns())]);
        }
        writer_.rowEnd(rowFormat);
    }
}

void DocumentWalker::walkCell(const QTextTableCell& cell) {
    std::vector<QTextBlock> blocks;
    collectBlocks(cell.begin(), blocks);
    if (blocks.empty()) {
        ParaFormat empty;
        empty.inTable = true;
        writer_.cellEnd(empty);
        return;
    }
    for (std::size_t i = 0; i < blocks.size(); ++i)
        writeBlock(blocks[i], true, i + 1 == blocks.size() ? End::Cell : End::Paragraph);
}

// A table inside a cell is not kept as a table: its text becomes paragraphs of the cell.
void DocumentWalker::collectBlocks(const QTextFrame::iterator& begin, std::vector<QTextBlock>& blocks) {
    for (auto it = begin; !it.atEnd(); ++it) {
        if (const QTextFrame* child = it.currentFrame()) collectBlocks(child->begin(), blocks);
        else if (it.currentBlock().isValid()) blocks.push_back(it.currentBlock());
    }
}

void DocumentWalker::writeBlock(const QTextBlock& block, bool inTable, End end) {
    // The block's text once, sliced per run: cheaper than a string per run.
    const QString text = block.text();
    const int blockStart = block.position();
    bool empty = true;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid() || fragment.length() == 0) continue;
        writeFragment(fragment, QStringView(text).mid(fragment.position() - blockStart, fragment.length()));
        empty = false;
    }
    // The paragraph mark's format, so that an empty line keeps its height.
    if (empty) writer_.text({}, charFormat(block));
    const ParaFormat& format = paraFormat(block, inTable);
    if (end == End::Cell) writer_.cellEnd(format);
    else writer_.paragraphEnd(format);
}

void DocumentWalker::writeFragment(const QTextFragment& fragment, QStringView text) {
    const CharFormat& format = charFormat(fragment);
    const QChar* runStart = text.data();
    const QChar* end = runStart + text.size();
    for (const QChar* p = runStart; p < end; ++p) {
        const char16_t u = p->unicode();
        const bool special = u == u'\t' || u == 0x2028 || u == 0xFFFC || u == 0x2029 || u == 0xFDD0 || u == 0xFDD1;
        if (!special) continue;
        flushText(runStart, p, format);
        runStart = p + 1;
        if (u == u'\t') {
            writer_.tab(format);
        } else if (u == 0x2028) {
            writer_.lineBreak(format);
        } else if (u == 0xFFFC) {
            const QTextCharFormat object = fragment.charFormat();
            if (object.isImageFormat()) writeImage(object.toImageFormat(), format);
        }
        // paragraph and frame markers inside a block carry no content
    }
    flushText(runStart, end, format);
}

void DocumentWalker::flushText(const QChar* begin, const QChar* end, const CharFormat& format) {
    if (begin == end) return;
    utf8_.clear();
    AppendUtf8(utf8_, begin, end);
    writer_.text(utf8_, format);
}

void DocumentWalker::writeImage(const QTextImageFormat& format, const CharFormat& charFormat) {
    rtf::Picture picture;
    const QByteArray original = format.property(QTextFormat::UserProperty + 1).toByteArray();
    const QString kind = format.property(QTextFormat::UserProperty + 2).toString();
    if (!original.isEmpty() && (kind == QLatin1String("png") || kind == QLatin1String("jpeg"))) {
        picture.format = kind == QLatin1String("jpeg") ? rtf::PictureFormat::Jpeg : rtf::PictureFormat::Png;
        picture.data.assign(original.constData(), static_cast<std::size_t>(original.size()));
    } else if (!loadResourceImage(format.name(), picture)) {
        return;  // nothing to show: an image that cannot be found is left out
    }
    if (picture.pixelWidth <= 0) {
        const rtf::PixelSize size = rtf::SniffPixelSize(picture.format, picture.data);
        picture.pixelWidth = size.width;
        picture.pixelHeight = size.height;
    }
    const qreal width = format.width(), height = format.height();
    if (width > 0) picture.goalWidth = Twips(width);
    if (height > 0) picture.goalHeight = Twips(height);
    // One side given: the other keeps the picture's proportions.
    if (width > 0 && height <= 0 && picture.pixelWidth > 0)
        picture.goalHeight = qRound(picture.goalWidth * double(picture.pixelHeight) / picture.pixelWidth);
    if (height > 0 && width <= 0 && picture.pixelHeight > 0)
        picture.goalWidth = qRound(picture.goalHeight * double(picture.pixelWidth) / picture.pixelHeight);
    writer_.picture(picture, charFormat);
}

// An image known only by name: PNG and JPEG bytes pass through, anything else
// is drawn into a PNG.
bool DocumentWalker::loadResourceImage(const QString& name, rtf::Picture& picture) {
    const QVariant resource = document_.resource(QTextDocument::ImageResource, QUrl(name));
    QImage image;
    if (resource.typeId() == QMetaType::QByteArray) {
        const QByteArray bytes = resource.toByteArray();
        if (LooksLike(bytes, "\x89PNG", 4) || LooksLike(bytes, "\xFF\xD8\xFF", 3)) {
            picture.format = bytes.startsWith('\x89') ? rtf::PictureFormat::Png : rtf::PictureFormat::Jpeg;
            picture.data.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
            return true;
        }
        image = QImage::fromData(bytes);
    } else if (resource.typeId() == QMetaType::QImage) {
        image = resource.value<QImage>();
    } else if (resource.typeId() == QMetaType::QPixmap) {
        image = resource.value<QPixmap>().toImage();
    }
    if (image.isNull()) return false;
    const QByteArray png = EncodePng(image);
    if (png.isEmpty()) return false;
    picture.format = rtf::PictureFormat::Png;
    picture.data.assign(png.constData(), static_cast<std::size_t>(png.size()));
    picture.pixelWidth = image.width();
    picture.pixelHeight = image.height();
    return true;
}

// Formats are converted once per distinct format, not once per run; the
// item (a fragment or a block) is asked for its format only on a miss.
template <typename Item>
const CharFormat& DocumentWalker::charFormat(const Item& item) {
    const int index = item.charFormatIndex();
    auto it = charFormats_.find(index);
    if (it == charFormats_.end()) it = charFormats_.emplace(index, ToCharFormat(item.charFormat(), font_)).first;
    return it->second;
}

const ParaFormat& DocumentWalker::paraFormat(const QTextBlock& block, bool inTable) {
    const long long key = static_cast<long long>(block.blockFormatIndex()) * 2 + (inTable ? 1 : 0);
    if (auto it = paraFormats_.find(key); it != paraFormats_.end()) return it->second;

    const QTextBlockFormat f = block.blockFormat();
    ParaFormat p;
    p.align = ToAlign(f.alignment());
    p.leftIndent = Twips(f.leftMargin());
    p.rightIndent = Twips(f.rightMargin());
    p.firstIndent = Twips(f.textIndent());
    p.spaceBefore = Twips(f.topMargin());
    p.spaceAfter = Twips(f.bottomMargin());
    SetLineSpacing(f, p);
    for (const QTextOption::Tab& tab : f.tabPositions()) p.tabs.push_back({Twips(tab.position), ToTabKind(tab.type)});
    if (const QTextList* list = block.textList()) {
        const QTextListFormat listFormat = list->format();
        p.listKind = ToListKind(listFormat.style());
        p.listLevel = std::clamp(listFormat.indent() - 1, 0, 8);
        p.listId = listIds_.emplace(list, static_cast<int>(listIds_.size()) + 1).first->second;
    }
    p.inTable = inTable;
    return paraFormats_.emplace(key, std::move(p)).first->second;
}

}  // namespace

bool ExportRtf(const QTextDocument& document, const RtfOutput& out) {
    rtf::Writer writer(out, document.defaultFont().family().toStdString());
    DocumentWalker walker(document, writer);
    if (const QTextFrame* root = document.rootFrame()) walker.walkFrame(*root);
    writer.endDocument();
    return writer.succeeded();
}

}  // namespace quorlin
