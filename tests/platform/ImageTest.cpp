// The pictures the program carries: their file formats as stored, and what the
// toolbar gets after decoding them.

#include "platform/Images.h"

#include <QBuffer>
#include <QColor>
#include <QSet>
#include <QtEndian>
#include <gtest/gtest.h>

#include <zlib.h>

using namespace quorlin::platform;

namespace {

// ---------------------------------------------------------------- header readers

struct PngHeader {
    bool valid = false;
    quint32 width = 0, height = 0;
    int bitDepth = 0, colourType = 0;
    QSet<QByteArray> chunks;
};

PngHeader ReadPngHeader(const QByteArray& bytes) {
    PngHeader header;
    if (!bytes.startsWith("\x89PNG\r\n\x1a\n")) return header;
    for (qsizetype at = 8; at + 12 <= bytes.size();) {
        const quint32 length = qFromBigEndian<quint32>(bytes.constData() + at);
        const QByteArray type = bytes.mid(at + 4, 4);
        if (type == "IHDR" && length == 13) {
            header.width = qFromBigEndian<quint32>(bytes.constData() + at + 8);
            header.height = qFromBigEndian<quint32>(bytes.constData() + at + 12);
            header.bitDepth = quint8(bytes[at + 16]);
            header.colourType = quint8(bytes[at + 17]);
        }
        header.chunks.insert(type);
        at += 12 + qsizetype(length);
    }
    header.valid = header.chunks.contains("IHDR") && header.chunks.contains("IEND");
    return header;
}

struct IcoHeader {
    bool valid = false;
    int type = 0, count = 0;
    int width = 0, height = 0;        // from the directory entry
    int infoHeight = 0, bitCount = 0;  // from the BITMAPINFOHEADER
    quint32 bytesInRes = 0, expectedBytes = 0;  // expected: header, colour table, XOR and AND rows
};

IcoHeader ReadIcoHeader(const QByteArray& bytes) {
    IcoHeader h;
    if (bytes.size() < 22 + 40) return h;
    const char* p = bytes.constData();
    h.type = qFromLittleEndian<quint16>(p + 2);
    h.count = qFromLittleEndian<quint16>(p + 4);
    h.width = quint8(p[6]) ? quint8(p[6]) : 256;
    h.height = quint8(p[7]) ? quint8(p[7]) : 256;
    h.bytesInRes = qFromLittleEndian<quint32>(p + 14);
    const quint32 offset = qFromLittleEndian<quint32>(p + 18);
    if (offset + 40 > quint32(bytes.size())) return h;
    const char* info = p + offset;
    const int infoWidth = qFromLittleEndian<qint32>(info + 4);
    h.infoHeight = qFromLittleEndian<qint32>(info + 8);
    h.bitCount = qFromLittleEndian<quint16>(info + 14);
    const quint32 coloursUsed = qFromLittleEndian<quint32>(info + 32);
    const quint32 table = h.bitCount <= 8 ? 4 * (coloursUsed ? coloursUsed : 1u << h.bitCount) : 0;
    const quint32 xorRow = (infoWidth * h.bitCount + 31) / 32 * 4;
    const quint32 andRow = (infoWidth + 31) / 32 * 4;
    h.expectedBytes = 40 + table + (xorRow + andRow) * quint32(h.infoHeight / 2);
    h.valid = offset + h.bytesInRes <= quint32(bytes.size()) && infoWidth == h.width;
    return h;
}

// ---------------------------------------------------------------- pixel helpers

bool IsDarkOpaque(QRgb p) { return qAlpha(p) >= 230 && qRed(p) < 60 && qGreen(p) < 60 && qBlue(p) < 60; }
bool IsDarkRed(QRgb p) { return qAlpha(p) == 255 && qRed(p) > 120 && qGreen(p) < 60 && qBlue(p) < 60; }

template <typename Predicate>
int CountPixels(const QImage& image, Predicate predicate) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += predicate(image.pixel(x, y)) ? 1 : 0;
    return n;
}

QByteArray EncodePng(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Rewrites a chunk's CRC after its data were changed, so libpng reads the change.
void FixCrc(QByteArray& bytes, qsizetype chunkStart) {
    const quint32 length = qFromBigEndian<quint32>(bytes.constData() + chunkStart);
    const auto* data = reinterpret_cast<const Bytef*>(bytes.constData() + chunkStart + 4);
    const quint32 crc = quint32(crc32(0, data, uInt(length + 4)));
    qToBigEndian(crc, bytes.data() + chunkStart + 8 + length);
}

QImage TestImage(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.setPixel(x, y, qRgba(x * 7 % 256, y * 11 % 256, (x + y) % 256, (x * y) % 256));
    return image;
}

}  // namespace

// ---------------------------------------------------------------- the stored files

TEST(ImageFiles, PngImagesHaveTheirFormatsAndSizes) {
    struct Case { ToolbarImage image; quint32 width, height; int colourType; bool transparencyChunk; };
    const Case cases[] = {
        {ToolbarImage::Bold, 512, 346, 3, true},       {ToolbarImage::Italic, 512, 346, 3, true},
        {ToolbarImage::Underline, 512, 346, 3, true},  {ToolbarImage::ChangeFont, 512, 346, 3, true},
        {ToolbarImage::TextColor, 24, 24, 6, false},   {ToolbarImage::ZipFolder, 32, 32, 6, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.image));
        const PngHeader h = ReadPngHeader(ToolbarImageData(c.image));
        ASSERT_TRUE(h.valid);
        EXPECT_EQ(h.width, c.width);
        EXPECT_EQ(h.height, c.height);
        EXPECT_EQ(h.bitDepth, 8);
        EXPECT_EQ(h.colourType, c.colourType);
        EXPECT_EQ(h.chunks.contains("PLTE"), c.colourType == 3);
        EXPECT_EQ(h.chunks.contains("tRNS"), c.transparencyChunk);
    }
}

TEST(ImageFiles, IcoImagesHoldOneImageWithColourAndMask) {
    struct Case { QByteArray bytes; int size, bitCount; };
    const Case cases[] = {
        {ToolbarImageData(ToolbarImage::SaveFile), 24, 24},
        {ToolbarImageData(ToolbarImage::SaveFileAs), 24, 24},
        {ApplicationIconData(), 32, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const IcoHeader h = ReadIcoHeader(c.bytes);
        ASSERT_TRUE(h.valid);
        EXPECT_EQ(h.type, 1);
        EXPECT_EQ(h.count, 1);
        EXPECT_EQ(h.width, c.size);
        EXPECT_EQ(h.height, c.size);
        EXPECT_EQ(h.bitCount, c.bitCount);
        EXPECT_EQ(h.infoHeight, 2 * c.size);  // colour rows and mask rows
        EXPECT_EQ(h.bytesInRes, h.expectedBytes);  // the AND mask is really there
    }
}

TEST(ImageFiles, ZipFolderIsOpaqueAtItsOwnSize) {
    const QImage folder = DecodeImageData(ToolbarImageData(ToolbarImage::ZipFolder));
    ASSERT_EQ(folder.size(), QSize(32, 32));
    EXPECT_EQ(CountPixels(folder, [](QRgb p) { return qAlpha(p) != 255; }), 0);
}

// ---------------------------------------------------------------- decoded for the toolbar

TEST(ToolbarImages, EveryImageDecodesTo24By24Argb) {
    for (ToolbarImage image : kToolbarImages) {
        SCOPED_TRACE(int(image));
        const QImage decoded = DecodeToolbarImage(image);
        EXPECT_EQ(decoded.size(), QSize(24, 24));
        EXPECT_EQ(decoded.format(), QImage::Format_ARGB32);
        EXPECT_FALSE(ToolbarIcon(image).isNull());
    }
}

TEST(ToolbarImages, LettersAreDarkGlyphsOnTransparentGround) {
    for (ToolbarImage image : {ToolbarImage::Bold, ToolbarImage::Italic, ToolbarImage::Underline,
                               ToolbarImage::ChangeFont}) {
        SCOPED_TRACE(int(image));
        const QImage decoded = DecodeToolbarImage(image);
        for (QPoint corner : {QPoint(0, 0), QPoint(23, 0), QPoint(0, 23), QPoint(23, 23)})
            EXPECT_EQ(qAlpha(decoded.pixel(corner)), 0);
        EXPECT_GE(CountPixels(decoded, IsDarkOpaque), 12);
        // Squeezed across, the glyph still fills most of the height.
        int top = 24, bottom = -1;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                if (qAlpha(decoded.pixel(x, y)) > 128) top = std::min(top, y), bottom = std::max(bottom, y);
        EXPECT_GE(bottom - top + 1, 16);
    }
}

TEST(ToolbarImages, FloppiesAreOpaqueOnTheDiskAndClearOutsideIt) {
    for (ToolbarImage image : {ToolbarImage::SaveFile, ToolbarImage::SaveFileAs}) {
        SCOPED_TRACE(int(image));
        const QImage decoded = DecodeToolbarImage(image);
        EXPECT_EQ(qAlpha(decoded.pixel(12, 12)), 255);
        EXPECT_EQ(qAlpha(decoded.pixel(3, 20)), 255);
        EXPECT_EQ(qAlpha(decoded.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(decoded.pixel(23, 23)), 0);
        EXPECT_EQ(qAlpha(decoded.pixel(22, 1)), 0);  // the cut corner
        // A 1-bit mask: nothing half transparent.
        EXPECT_EQ(CountPixels(decoded, [](QRgb p) { return qAlpha(p) != 0 && qAlpha(p) != 255; }), 0);
    }
    EXPECT_EQ(CountPixels(DecodeToolbarImage(ToolbarImage::SaveFile), IsDarkRed), 0);
    EXPECT_GE(CountPixels(DecodeToolbarImage(ToolbarImage::SaveFileAs), IsDarkRed), 12);  // the plus sign
}

TEST(ToolbarImages, TextColorAndZipFolderKeepTheirGrounds) {
    const QImage colour = DecodeToolbarImage(ToolbarImage::TextColor);
    EXPECT_EQ(qAlpha(colour.pixel(2, 2)), 255);  // the grey square
    EXPECT_EQ(qAlpha(colour.pixel(12, 12)), 255);
    EXPECT_GE(CountPixels(colour, IsDarkRed), 20);
    const QImage folder = DecodeToolbarImage(ToolbarImage::ZipFolder);
    EXPECT_EQ(CountPixels(folder, [](QRgb p) { return qAlpha(p) != 255; }), 0);
    EXPECT_GE(CountPixels(folder, [](QRgb p) { return qBlue(p) > 80 && qRed(p) < 60 && qGreen(p) < 80; }), 10);
}

// ---------------------------------------------------------------- decoders

TEST(DecodePng, KeepsColoursAndStraightAlpha) {
    const QImage original = TestImage(37, 19);
    const QImage decoded = DecodePng(EncodePng(original));
    ASSERT_EQ(decoded.format(), QImage::Format_ARGB32);
    ASSERT_EQ(decoded.size(), original.size());
    for (int y = 0; y < original.height(); ++y)
        for (int x = 0; x < original.width(); ++x) {
            if (qAlpha(original.pixel(x, y)) == 0) {
                EXPECT_EQ(qAlpha(decoded.pixel(x, y)), 0);
                continue;
            }
            ASSERT_EQ(decoded.pixel(x, y), original.pixel(x, y)) << x << "," << y;
        }
}

TEST(DecodePng, ReadsPalettesWithTransparency) {
    QImage indexed(4, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(0, 0, 0, 0), qRgba(0, 0, 0, 128), qRgba(0, 0, 0, 255), qRgba(200, 10, 10, 255)});
    for (int x = 0; x < 4; ++x) indexed.setPixel(x, 0, uint(x));
    const QByteArray bytes = EncodePng(indexed);
    ASSERT_EQ(ReadPngHeader(bytes).colourType, 3);
    const QImage decoded = DecodePng(bytes);
    ASSERT_EQ(decoded.size(), QSize(4, 1));
    EXPECT_EQ(qAlpha(decoded.pixel(0, 0)), 0);
    EXPECT_EQ(decoded.pixel(1, 0), qRgba(0, 0, 0, 128));
    EXPECT_EQ(decoded.pixel(2, 0), qRgba(0, 0, 0, 255));
    EXPECT_EQ(decoded.pixel(3, 0), qRgba(200, 10, 10, 255));
}

TEST(DecodePng, DamagedDataGiveANullImage) {
    const QByteArray good = EncodePng(TestImage(64, 64));
    const qsizetype idat = good.indexOf("IDAT") - 4;
    ASSERT_GT(idat, 0);

    QByteArray badCrc = good;
    badCrc[idat + 8 + 5] = char(badCrc[idat + 8 + 5] ^ 0x5a);
    QByteArray badStream = good;  // a broken zlib stream under a valid CRC
    for (int i = 2; i < 12; ++i) badStream[idat + 8 + i] = char(0xff);
    FixCrc(badStream, idat);
    QByteArray hugeClaim = good;  // 60000 x 60000 pixels from a few bytes
    qToBigEndian<quint32>(60000, hugeClaim.data() + 16);
    qToBigEndian<quint32>(60000, hugeClaim.data() + 20);
    FixCrc(hugeClaim, 8);
    QByteArray zeroWidth = good;
    qToBigEndian<quint32>(0, zeroWidth.data() + 16);
    FixCrc(zeroWidth, 8);

    const struct { const char* name; QByteArray bytes; } cases[] = {
        {"empty", QByteArray()},
        {"not a PNG", QByteArray("GIF89a, or anything else")},
        {"signature only", good.left(8)},
        {"header only", good.left(33)},
        {"cut in the image data", good.left(idat + 20)},
        {"image data CRC wrong", badCrc},
        {"image data stream broken", badStream},
        {"implausible size", hugeClaim},
        {"zero width", zeroWidth},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(DecodePng(c.bytes).isNull());
    }
}

// A 2 x 2 icon, 24-bit colour: top row red, bottom row blue; the mask clears
// the top right and bottom left pixels.
QByteArray TwoByTwoIco() {
    QByteArray bytes;
    auto put16 = [&](quint16 v) { bytes.append(char(v & 0xff)).append(char(v >> 8)); };
    auto put32 = [&](quint32 v) { put16(quint16(v & 0xffff)); put16(quint16(v >> 16)); };
    put16(0), put16(1), put16(1);                                  // ICONDIR
    bytes.append("\x02\x02\x00\x00", 4), put16(1), put16(24);       // ICONDIRENTRY
    put32(40 + 2 * 8 + 2 * 4), put32(22);
    put32(40), put32(2), put32(4), put16(1), put16(24), put32(0);  // BITMAPINFOHEADER
    put32(2 * 8 + 2 * 4), put32(0), put32(0), put32(0), put32(0);
    bytes.append(QByteArray("\xff\0\0\xff\0\0\0\0", 8));             // bottom row: blue, blue
    bytes.append(QByteArray("\0\0\xff\0\0\xff\0\0", 8));             // top row: red, red
    bytes.append(QByteArray("\x80\0\0\0", 4));                      // bottom row mask: left clear
    bytes.append(QByteArray("\x40\0\0\0", 4));                      // top row mask: right clear
    return bytes;
}

TEST(DecodeIco, TrueColourIconsKeepTheirMask) {
    const QImage icon = DecodeIco(TwoByTwoIco());
    ASSERT_EQ(icon.size(), QSize(2, 2));
    EXPECT_EQ(icon.format(), QImage::Format_ARGB32);
    EXPECT_EQ(icon.pixel(0, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(qAlpha(icon.pixel(1, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(0, 1)), 0);
    EXPECT_EQ(icon.pixel(1, 1), qRgba(0, 0, 255, 255));
}

TEST(DecodeIco, DamagedDataGiveANullImage) {
    const QByteArray good = ToolbarImageData(ToolbarImage::SaveFile);
    const QByteArray cases[] = {QByteArray(), QByteArray("not an icon at all"), good.left(10),
                                good.left(good.size() - 40) /* the mask cut short */};
    for (const QByteArray& bytes : cases) EXPECT_TRUE(DecodeIco(bytes).isNull());
}

TEST(ResampleTo24, AnySizeBecomesExactly24By24) {
    for (QSize size : {QSize(512, 346), QSize(32, 32), QSize(10, 10), QSize(1, 300)}) {
        SCOPED_TRACE(size.width());
        const QImage resampled = ResampleTo24(TestImage(size.width(), size.height()));
        EXPECT_EQ(resampled.size(), QSize(24, 24));
        EXPECT_EQ(resampled.format(), QImage::Format_ARGB32);
    }
    EXPECT_TRUE(ResampleTo24(QImage()).isNull());
}

TEST(ResampleTo24, ImageAlready24By24KeepsItsPixels) {
    const QImage original = TestImage(24, 24);
    EXPECT_EQ(ResampleTo24(original), original);
    EXPECT_EQ(ResampleTo24(original.convertToFormat(QImage::Format_ARGB32_Premultiplied)).format(),
              QImage::Format_ARGB32);
}

TEST(ResampleTo24, KeepsAlphaWithoutDarkFringesAndIgnoresProportions) {
    // Left half opaque red, right half clear (and black underneath, which must not bleed in).
    QImage wide(512, 346, QImage::Format_ARGB32);
    wide.fill(qRgba(0, 0, 0, 0));
    for (int y = 0; y < wide.height(); ++y)
        for (int x = 0; x < 256; ++x) wide.setPixel(x, y, qRgba(255, 0, 0, 255));
    const QImage resampled = ResampleTo24(wide);
    EXPECT_EQ(resampled.pixel(0, 12), qRgba(255, 0, 0, 255));
    EXPECT_EQ(qAlpha(resampled.pixel(23, 12)), 0);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const QRgb p = resampled.pixel(x, y);
            if (qAlpha(p) > 16) {
                EXPECT_GE(qRed(p), 240) << x << "," << y;  // straight colour stays red
            }
        }
    // The halves are squeezed, not letter-boxed: the edge sits in the middle column.
    EXPECT_EQ(qAlpha(resampled.pixel(11, 0)), 255);
    EXPECT_EQ(qAlpha(resampled.pixel(12, 23)), 0);
}

// ---------------------------------------------------------------- icons

TEST(ApplicationIcon, HasThe32And256PixelDrawings) {
    const QIcon icon = ApplicationIcon();
    ASSERT_FALSE(icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(256, 256)));
    const QImage ico = DecodeIco(ApplicationIconData());
    ASSERT_EQ(ico.size(), QSize(32, 32));
    EXPECT_EQ(qAlpha(ico.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(ico.pixel(16, 24)), 255);  // the pot
}

TEST(StandardImages, FallbackDrawingsAndIconsExist) {
    for (StandardImage image : {StandardImage::NewFile, StandardImage::OpenFile}) {
        SCOPED_TRACE(int(image));
        const QImage drawn = DrawStandardImage(image);
        EXPECT_EQ(drawn.size(), QSize(24, 24));
        EXPECT_EQ(drawn.format(), QImage::Format_ARGB32);
        EXPECT_EQ(qAlpha(drawn.pixel(0, 0)), 0);
        EXPECT_GE(CountPixels(drawn, [](QRgb p) { return qAlpha(p) == 255; }), 150);
        EXPECT_FALSE(StandardToolbarIcon(image).isNull());
    }
    EXPECT_NE(DrawStandardImage(StandardImage::NewFile), DrawStandardImage(StandardImage::OpenFile));
}
