#include "platform/Images.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSysInfo>
#include <QtEndian>
#include <optional>
#include <png.h>

namespace quorlin::platform {

namespace {

// Larger claims are not plausible for the program's pictures; refusing them
// keeps damaged headers from asking for gigabytes.
constexpr quint64 kMaxPngPixels = 4096ull * 4096ull;

const char* ResourcePath(ToolbarImage image) {
    switch (image) {
    case ToolbarImage::SaveFile: return ":/images/save-file.ico";
    case ToolbarImage::SaveFileAs: return ":/images/save-file-as.ico";
    case ToolbarImage::Bold: return ":/images/bold.png";
    case ToolbarImage::Italic: return ":/images/italic.png";
    case ToolbarImage::Underline: return ":/images/underline.png";
    case ToolbarImage::ChangeFont: return ":/images/change-font.png";
    case ToolbarImage::TextColor: return ":/images/text-color.png";
    case ToolbarImage::ZipFolder: return ":/images/zip-folder.png";
    }
    return "";
}

QByteArray ReadResource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

bool IsPngData(const QByteArray& bytes) {
    return bytes.startsWith(QByteArrayLiteral("\x89PNG\r\n\x1a\n"));
}

// The byte order of Format_ARGB32's 0xAARRGGBB words in memory.
constexpr png_uint_32 kArgb32Layout =
    QSysInfo::ByteOrder == QSysInfo::LittleEndian ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;

QImage FinishPngRead(png_image& png) {
    QImage image(int(png.width), int(png.height), QImage::Format_ARGB32);
    if (image.isNull()) return {};
    // 8-bit output from the simplified reader is straight (not premultiplied) alpha.
    png.format = kArgb32Layout;
    if (!png_image_finish_read(&png, nullptr, image.bits(), png_int_32(image.bytesPerLine()), nullptr))
        return {};
    return image;
}

// Where the first image of an ICO file keeps its AND mask.
struct IcoMask {
    qsizetype offset = 0;
    qsizetype stride = 0;
    int width = 0, height = 0;
};

// Only 24-bit images need it: the reader applies the mask of palette images,
// 32-bit images carry alpha of their own, and 16-bit ones it does not read.
std::optional<IcoMask> TrueColourMask(const QByteArray& bytes) {
    constexpr qsizetype kDirectory = 6, kEntry = 16;
    if (bytes.size() < kDirectory + kEntry) return std::nullopt;
    const char* entry = bytes.constData() + kDirectory;
    const qsizetype image = qFromLittleEndian<quint32>(entry + 12);
    if (image < 0 || image + 40 > bytes.size()) return std::nullopt;
    const char* info = bytes.constData() + image;
    const int bits = qFromLittleEndian<quint16>(info + 14);
    if (bits != 24) return std::nullopt;
    IcoMask mask;
    mask.width = quint8(entry[0]) ? quint8(entry[0]) : 256;
    mask.height = quint8(entry[1]) ? quint8(entry[1]) : 256;
    const qsizetype colourStride = (qsizetype(mask.width) * bits + 31) / 32 * 4;
    mask.stride = (mask.width + 31) / 32 * 4;
    mask.offset = image + qFromLittleEndian<quint32>(info) + colourStride * mask.height;
    if (mask.offset + mask.stride * mask.height > bytes.size()) return std::nullopt;
    return mask;
}

// The platform's icon reader shows 24-bit icons fully opaque; their mask
// says which pixels lie outside the picture.
void ApplyTrueColourMask(QImage& image, const QByteArray& bytes) {
    const std::optional<IcoMask> mask = TrueColourMask(bytes);
    if (!mask || image.size() != QSize(mask->width, mask->height)) return;
    for (int y = 0; y < mask->height; ++y) {
        const auto* row = reinterpret_cast<const uchar*>(bytes.constData() + mask->offset +
                                                         mask->stride * (mask->height - 1 - y));
        auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < mask->width; ++x)
            if (row[x / 8] & (0x80 >> (x % 8))) pixels[x] = qRgba(0, 0, 0, 0);
    }
}

QPixmap PixmapResource(const QString& path) {
    return QPixmap::fromImage(DecodeImageData(ReadResource(path)));
}

}  // namespace

QByteArray ToolbarImageData(ToolbarImage image) {
    return ReadResource(QString::fromLatin1(ResourcePath(image)));
}

QImage DecodePng(const QByteArray& bytes) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (bytes.isEmpty() || !png_image_begin_read_from_memory(&png, bytes.constData(), size_t(bytes.size())))
        return {};
    QImage image;
    if (quint64(png.width) * png.height <= kMaxPngPixels) image = FinishPngRead(png);
    png_image_free(&png);  // harmless after a finished read, needed after a refusal
    return image;
}

QImage DecodeIco(const QByteArray& bytes) {
    const QImage image = QImage::fromData(bytes, "ICO");
    if (image.isNull()) return {};
    QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    ApplyTrueColourMask(argb, bytes);
    return argb;
}

QImage DecodeImageData(const QByteArray& bytes) {
    return IsPngData(bytes) ? DecodePng(bytes) : DecodeIco(bytes);
}

QImage ResampleTo24(const QImage& image) {
    if (image.isNull()) return {};
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    if (argb.size() == QSize(kToolbarImageSize, kToolbarImageSize)) return argb;
    return argb.scaled(kToolbarImageSize, kToolbarImageSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

QImage DecodeToolbarImage(ToolbarImage image) {
    return ResampleTo24(DecodeImageData(ToolbarImageData(image)));
}

QIcon ToolbarIcon(ToolbarImage image) {
    return QIcon(QPixmap::fromImage(DecodeToolbarImage(image)));
}

QByteArray ApplicationIconData() {
    return ReadResource(QStringLiteral(":/images/quorlin.ico"));
}

QIcon ApplicationIcon() {
    QIcon icon;
    // The PNGs carry soft edges; the 256-colour ICO stands in if one is missing.
    for (const char* path : {":/images/quorlin-32.png", ":/images/quorlin-256.png"}) {
        const QPixmap pixmap = PixmapResource(QString::fromLatin1(path));
        if (!pixmap.isNull()) icon.addPixmap(pixmap);
    }
    if (icon.isNull()) icon.addPixmap(QPixmap::fromImage(DecodeIco(ApplicationIconData())));
    return icon;
}

// ---------------------------------------------------------------- standard images

namespace {

QImage BlankImage() {
    QImage image(kToolbarImageSize, kToolbarImageSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// A sheet of paper with its top right corner folded over.
void DrawNewPage(QPainter& painter) {
    QPainterPath page;
    page.moveTo(5.5, 1.5);
    page.lineTo(14.5, 1.5);
    page.lineTo(19.5, 6.5);
    page.lineTo(19.5, 22.5);
    page.lineTo(5.5, 22.5);
    page.closeSubpath();
    painter.setPen(QPen(QColor(96, 102, 112), 1.0));
    painter.setBrush(QColor(255, 255, 255));
    painter.drawPath(page);
    QPainterPath fold;
    fold.moveTo(14.5, 1.5);
    fold.lineTo(14.5, 6.5);
    fold.lineTo(19.5, 6.5);
    painter.setBrush(QColor(214, 220, 230));
    painter.drawPath(fold);
}

// A yellow folder with its front flap swung open.
void DrawOpenFolder(QPainter& painter) {
    const QPen edge(QColor(150, 104, 0), 1.0);
    painter.setPen(edge);
    QPainterPath back;
    back.moveTo(1.5, 20.5);
    back.lineTo(1.5, 4.5);
    back.lineTo(8.5, 4.5);
    back.lineTo(10.5, 6.5);
    back.lineTo(19.5, 6.5);
    back.lineTo(19.5, 10.5);
    painter.setBrush(QColor(226, 168, 20));
    painter.drawPath(back);
    QPainterPath front;
    front.moveTo(1.5, 20.5);
    front.lineTo(5.5, 10.5);
    front.lineTo(22.5, 10.5);
    front.lineTo(18.5, 20.5);
    front.closeSubpath();
    painter.setBrush(QColor(252, 206, 58));
    painter.drawPath(front);
}

}  // namespace

QImage DrawStandardImage(StandardImage image) {
    QImage picture = BlankImage();
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    if (image == StandardImage::NewFile)
        DrawNewPage(painter);
    else
        DrawOpenFolder(painter);
    return picture;
}

QIcon StandardToolbarIcon(StandardImage image) {
    const QString name = image == StandardImage::NewFile ? QStringLiteral("document-new")
                                                          : QStringLiteral("document-open");
    const QIcon themed = QIcon::fromTheme(name);
    if (!themed.isNull()) return themed;
    return QIcon(QPixmap::fromImage(DrawStandardImage(image)));
}

}  // namespace quorlin::platform
