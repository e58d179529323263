#pragma once
// What the RTF reader reports and the RTF writer accepts: a document as a stream
// of events (text runs with their character format, paragraph ends with their
// paragraph format, breaks, tabs, pictures, table cells and rows). No Qt here.
//
// Text is UTF-8. Measurements are twips (1/20 point) unless named otherwise.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorlin::rtf {

struct Color {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Color&) const = default;
};

enum class VerticalAlign : uint8_t { Normal, Superscript, Subscript };

struct CharFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;  // every underline variant reads as underline
    bool strike = false;
    std::string face;        // UTF-8 face name; empty: the reader's host default
    int sizeHalfPoints = 24; // \fs, 24 = 12 pt
    std::optional<Color> color;       // nullopt: automatic
    std::optional<Color> background;  // highlight / character shading
    VerticalAlign vertical = VerticalAlign::Normal;
    std::string link;        // hyperlink target of a field result; empty: none
    bool operator==(const CharFormat&) const = default;
};

enum class Align : uint8_t { Left, Center, Right, Justify };

enum class TabKind : uint8_t { Left, Center, Right, Decimal };

struct TabStop {
    int position = 0;  // twips from the left indent
    TabKind kind = TabKind::Left;
    bool operator==(const TabStop&) const = default;
};

enum class ListKind : uint8_t { None, Bullet, Decimal, LowerAlpha, UpperAlpha, LowerRoman, UpperRoman };

struct ParaFormat {
    Align align = Align::Left;
    int leftIndent = 0;
    int rightIndent = 0;
    int firstIndent = 0;   // relative to leftIndent, may be negative
    int spaceBefore = 0;
    int spaceAfter = 0;
    // \sl: 0 = single (automatic). Positive: at least this many twips; negative:
    // exactly. With lineMultiple the value is 240ths of a line (\slmult1).
    int lineSpacing = 0;
    bool lineMultiple = false;
    std::vector<TabStop> tabs;
    // List membership: kind None means not in a list. listId tells lists apart.
    ListKind listKind = ListKind::None;
    int listId = 0;
    int listLevel = 0;     // 0-based
    bool inTable = false;  // \intbl
    bool operator==(const ParaFormat&) const = default;
};

struct RowFormat {
    std::vector<int> cellRight;  // \cellx right boundaries, twips from the row's left edge
    int leftOffset = 0;          // \trleft
    bool operator==(const RowFormat&) const = default;
};

enum class PictureFormat : uint8_t { Png, Jpeg };

struct Picture {
    PictureFormat format = PictureFormat::Png;
    std::string data;     // the image file's bytes
    int pixelWidth = 0;   // \picw (pixels for bitmaps), 0 when unknown
    int pixelHeight = 0;
    int goalWidth = 0;    // \picwgoal x \picscalex / 100, twips; 0 when unknown
    int goalHeight = 0;
};

// Receives the document in reading order. The reader guarantees:
// - text() never holds tabs, line breaks or paragraph marks (those are events);
// - every paragraph ends with paragraphEnd() or, inside a table, cellEnd() for
//   the cell's last paragraph; content after the last \par gets a paragraphEnd()
//   of its own at the end, so a file ending in \par has no extra empty paragraph;
// - rowEnd() follows the cellEnd() of the row's last cell;
// - endDocument() comes last, exactly once.
class Sink {
public:
    virtual ~Sink() = default;
    virtual void text(std::string_view utf8, const CharFormat& format) = 0;
    virtual void tab(const CharFormat& format) = 0;
    virtual void lineBreak(const CharFormat& format) = 0;
    virtual void picture(const Picture& picture, const CharFormat& format) = 0;
    virtual void paragraphEnd(const ParaFormat& format) = 0;
    virtual void cellEnd(const ParaFormat& format) = 0;
    virtual void rowEnd(const RowFormat& format) = 0;
    virtual void endDocument() = 0;
};

}  // namespace quorlin::rtf
