#pragma once
// The program's pictures: the eight toolbar images it carries as complete ICO
// and PNG files (compiled in, never read from disk), their decoding into the
// toolbar's 24 x 24 images, the application icon, and the standard New and
// Open images.

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <array>

namespace quorlin::platform {

// The values are the image numbers the toolbar's table refers to.
enum class ToolbarImage {
    SaveFile = 2,
    SaveFileAs = 3,
    Bold = 7,
    Italic = 8,
    Underline = 9,
    ChangeFont = 10,
    TextColor = 11,
    ZipFolder = 12,
};

inline constexpr std::array<ToolbarImage, 8> kToolbarImages = {
    ToolbarImage::SaveFile,  ToolbarImage::SaveFileAs, ToolbarImage::Bold,      ToolbarImage::Italic,
    ToolbarImage::Underline, ToolbarImage::ChangeFont, ToolbarImage::TextColor, ToolbarImage::ZipFolder,
};

// The toolbar's images are this many pixels square.
inline constexpr int kToolbarImageSize = 24;

// The complete file bytes the program carries for the image.
QByteArray ToolbarImageData(ToolbarImage image);

// The image as the toolbar shows it: 24 x 24, QImage::Format_ARGB32 (straight alpha).
QImage DecodeToolbarImage(ToolbarImage image);
QIcon ToolbarIcon(ToolbarImage image);

// PNG data through libpng, into Format_ARGB32 with its alpha. Damaged,
// truncated or implausibly large data give a null image.
QImage DecodePng(const QByteArray& bytes);
// ICO data through the platform's icon reader, into Format_ARGB32; the AND
// mask becomes the alpha. A null image when the data cannot be read.
QImage DecodeIco(const QByteArray& bytes);
// PNG or ICO data, told apart by their signatures, at their own size.
QImage DecodeImageData(const QByteArray& bytes);

// Exactly 24 x 24 in Format_ARGB32: resampled smoothly with alpha kept and
// proportions not kept; an image already 24 x 24 keeps its pixels.
QImage ResampleTo24(const QImage& image);

// The application icon (32 and 256 pixels), for the main window.
QIcon ApplicationIcon();
// The icon file itself: one 32 x 32 image in 256 colours.
QByteArray ApplicationIconData();

enum class StandardImage { NewFile, OpenFile };

// The icon theme's "document-new" / "document-open", or our drawing of them
// when the theme has none.
QIcon StandardToolbarIcon(StandardImage image);
// The drawn fallback: 24 x 24, Format_ARGB32.
QImage DrawStandardImage(StandardImage image);

}  // namespace quorlin::platform
