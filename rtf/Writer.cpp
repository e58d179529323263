#include "rtf/Writer.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace quorlin::rtf {
namespace {

constexpr std::size_t kLineWidth = 200;  // soft limit; lines break only where it is safe
constexpr int kDefaultTableWidth = 9000;
constexpr int kMaxLevel = 8;

void AppendInt(std::string& out, long long value) {
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

// Bytes that cannot be copied to the output as they are.
constexpr std::array<bool, 256> MakeSpecialTable() {
    std::array<bool, 256> table{};
    for (int c = 0; c < 256; ++c) table[c] = c < 0x20 || c >= 0x80 || c == '\\' || c == '{' || c == '}';
    return table;
}
constexpr std::array<bool, 256> kSpecial = MakeSpecialTable();

// After a control word these would be read as part of it (letters, digits,
// a sign) or swallowed as its delimiter (a space).
bool ExtendsControlWord(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == '-';
}

// The code page 1252 byte for a code point, 0 when it has none.
unsigned char Cp1252Byte(char32_t cp) {
    if (cp >= 0xA0 && cp <= 0xFF) return static_cast<unsigned char>(cp);
    static constexpr std::pair<char32_t, unsigned char> kHigh[] = {
        {0x0152, 0x8C}, {0x0153, 0x9C}, {0x0160, 0x8A}, {0x0161, 0x9A}, {0x0178, 0x9F}, {0x017D, 0x8E},
        {0x017E, 0x9E}, {0x0192, 0x83}, {0x02C6, 0x88}, {0x02DC, 0x98}, {0x2013, 0x96}, {0x2014, 0x97},
        {0x2018, 0x91}, {0x2019, 0x92}, {0x201A, 0x82}, {0x201C, 0x93}, {0x201D, 0x94}, {0x201E, 0x84},
        {0x2020, 0x86}, {0x2021, 0x87}, {0x2022, 0x95}, {0x2026, 0x85}, {0x2030, 0x89}, {0x2039, 0x8B},
        {0x203A, 0x9B}, {0x20AC, 0x80}, {0x2122, 0x99}};
    for (const auto& [code, byte] : kHigh)
        if (code == cp) return byte;
    return 0;
}

// Decodes one UTF-8 sequence at p; invalid or truncated input yields U+FFFD
// for one byte so that nothing stalls and the rest still comes through.
char32_t DecodeUtf8(const char*& p, const char* end) {
    const auto* s = reinterpret_cast<const unsigned char*>(p);
    const std::size_t left = static_cast<std::size_t>(end - p);
    const unsigned char lead = s[0];
    int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (lead >= 0xF5 || length == 0 || static_cast<std::size_t>(length) > left) {
        ++p;
        return 0xFFFD;
    }
    char32_t cp = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i) {
        if ((s[i] & 0xC0) != 0x80) {
            ++p;
            return 0xFFFD;
        }
        cp = (cp << 6) | (s[i] & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[length] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
        ++p;
        return 0xFFFD;
    }
    p += length;
    return cp;
}

void AppendUnicode(std::string& out, char32_t unit, unsigned char fallback) {
    out += "\\u";
    AppendInt(out, unit > 32767 ? static_cast<long long>(unit) - 65536 : static_cast<long long>(unit));
    if (fallback == 0) {
        out += '?';
        return;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\'";
    out += kHex[fallback >> 4];
    out += kHex[fallback & 15];
}

// \uN with its fallback; above U+FFFF as a surrogate pair.
void AppendEscapedCodePoint(std::string& out, char32_t cp) {
    if (cp > 0xFFFF) {
        cp -= 0x10000;
        AppendUnicode(out, 0xD800 + (cp >> 10), 0);
        AppendUnicode(out, 0xDC00 + (cp & 0x3FF), 0);
        return;
    }
    AppendUnicode(out, cp, Cp1252Byte(cp));
}

// A face name for the font table: ';' ends the entry, so it is escaped too.
std::string EscapeFaceName(std::string_view name) {
    std::string out;
    const char* p = name.data();
    const char* end = p + name.size();
    while (p < end) {
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
            ++p;
        } else if (c == ';') {
            out += "\\'3b";
            ++p;
        } else if (c < 0x20) {
            ++p;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++p;
        } else {
            AppendEscapedCodePoint(out, DecodeUtf8(p, end));
        }
    }
    return out;
}

std::string Alphabetic(int n, char first) {
    std::string s;
    for (; n > 0; n = (n - 1) / 26) s.insert(s.begin(), static_cast<char>(first + (n - 1) % 26));
    return s;
}

std::string Roman(int n, bool upper) {
    static constexpr std::pair<int, const char*> kParts[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"},
                                                             {100, "c"},  {90, "xc"},  {50, "l"},  {40, "xl"},
                                                             {10, "x"},   {9, "ix"},   {5, "v"},   {4, "iv"},
                                                             {1, "i"}};
    std::string s;
    for (const auto& [value, letters] : kParts)
        for (; n >= value; n -= value) s += letters;
    if (upper) std::transform(s.begin(), s.end(), s.begin(), [](char c) { return static_cast<char>(c - 32); });
    return s;
}

// The visible marker of a list item: what readers without list tables show.
std::string ListMarker(ListKind kind, int n) {
    switch (kind) {
    case ListKind::Decimal: return std::to_string(n) + ".";
    case ListKind::LowerAlpha: return Alphabetic(n, 'a') + ".";
    case ListKind::UpperAlpha: return Alphabetic(n, 'A') + ".";
    case ListKind::LowerRoman: return Roman(n, false) + ".";
    case ListKind::UpperRoman: return Roman(n, true) + ".";
    default: return "\\u8226\\'95";
    }
}

int LevelNumberFormat(ListKind kind) {
    switch (kind) {
    case ListKind::Decimal: return 0;
    case ListKind::UpperRoman: return 1;
    case ListKind::LowerRoman: return 2;
    case ListKind::UpperAlpha: return 3;
    case ListKind::LowerAlpha: return 4;
    default: return 23;  // bullet
    }
}

uint16_t ReadBigEndian16(const unsigned char* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
uint32_t ReadBigEndian32(const unsigned char* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

PixelSize SniffPng(const unsigned char* p, std::size_t n) {
    static constexpr unsigned char kSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (n < 24 || std::memcmp(p, kSignature, 8) != 0 || std::memcmp(p + 12, "IHDR", 4) != 0) return {};
    const uint32_t w = ReadBigEndian32(p + 16), h = ReadBigEndian32(p + 20);
    if (w == 0 || h == 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF) return {};
    return {static_cast<int>(w), static_cast<int>(h)};
}

bool IsStartOfFrame(unsigned char marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

PixelSize SniffJpeg(const unsigned char* p, std::size_t n) {
    if (n < 4 || p[0] != 0xFF || p[1] != 0xD8) return {};
    std::size_t i = 2;
    while (i + 4 <= n) {
        if (p[i] != 0xFF) return {};
        const unsigned char marker = p[i + 1];
        if (marker == 0xFF) {  // fill byte
            ++i;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // markers without a length
            i += 2;
            continue;
        }
        const std::size_t length = ReadBigEndian16(p + i + 2);
        if (IsStartOfFrame(marker)) {
            if (length < 7 || i + 9 > n) return {};
            return {ReadBigEndian16(p + i + 7), ReadBigEndian16(p + i + 5)};
        }
        if (length < 2) return {};
        i += 2 + length;
    }
    return {};
}

}  // namespace

PixelSize SniffPixelSize(PictureFormat format, std::string_view data) {
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
    return format == PictureFormat::Png ? SniffPng(p, data.size()) : SniffJpeg(p, data.size());
}

Writer::Writer(Output out, std::string defaultFace) : out_(std::move(out)) {
    fontIds_.emplace(defaultFace, 0);
    fonts_.push_back(std::move(defaultFace));
}

// ---- events ---------------------------------------------------------------

void Writer::text(std::string_view utf8, const CharFormat& format) {
    // An empty run still sets the format: that is how the paragraph mark of an
    // empty paragraph gets its size and face.
    applyFormat(format);
    if (utf8.empty()) return;
    appendText(utf8);
    paraHasContent_ = true;
}

void Writer::tab(const CharFormat& format) {
    applyFormat(format);
    appendControl("\\tab");
    paraHasContent_ = true;
}

void Writer::lineBreak(const CharFormat& format) {
    applyFormat(format);
    appendControl("\\line");
    paraHasContent_ = true;
}

void Writer::picture(const Picture& picture, const CharFormat& format) {
    if (picture.data.empty()) return;
    applyFormat(format);
    PixelSize pixels{picture.pixelWidth, picture.pixelHeight};
    if (pixels.width <= 0 || pixels.height <= 0) pixels = SniffPixelSize(picture.format, picture.data);
    const int goalWidth = picture.goalWidth > 0 ? picture.goalWidth : pixels.width * 15;
    const int goalHeight = picture.goalHeight > 0 ? picture.goalHeight : pixels.height * 15;

    body_ += picture.format == PictureFormat::Jpeg ? "{\\pict\\jpegblip" : "{\\pict\\pngblip";
    if (pixels.width > 0 && pixels.height > 0) {
        appendControl("\\picw", pixels.width);
        appendControl("\\pich", pixels.height);
    }
    if (goalWidth > 0 && goalHeight > 0) {
        appendControl("\\picwgoal", goalWidth);
        appendControl("\\pichgoal", goalHeight);
    }
    appendHex(picture.data);
    body_ += '}';
    pendingDelimiter_ = false;
    paraHasContent_ = true;
}

void Writer::paragraphEnd(const ParaFormat& format) {
    if (!format.inTable && rowStart_ != std::string::npos) {
        // A table row that was never ended: close it before this paragraph.
        std::string content = body_.substr(paraStart_);
        body_.resize(paraStart_);
        closeOpenRow(nullptr);
        body_ += content;
    }
    endParagraph(format, "\\par");
}

void Writer::cellEnd(const ParaFormat& format) {
    ParaFormat inCell = format;
    inCell.inTable = true;
    endParagraph(inCell, "\\cell");
    ++rowCells_;
}

void Writer::rowEnd(const RowFormat& format) {
    if (paraHasContent_) {  // text after the row's last cell: keep it in a cell of its own
        ParaFormat inCell = haveLastPara_ ? lastPara_ : ParaFormat{};
        cellEnd(inCell);
    }
    if (rowStart_ != std::string::npos) closeOpenRow(&format);
}

void Writer::endDocument() {
    if (finished_) return;
    if (paraHasContent_) {
        ParaFormat last = haveLastPara_ ? lastPara_ : ParaFormat{};
        if (rowStart_ != std::string::npos) {
            cellEnd(last);
        } else {
            last.inTable = false;
            paragraphEnd(last);
        }
    }
    closeLink();
    if (rowStart_ != std::string::npos) closeOpenRow(nullptr);
    finished_ = true;
    // Each send does nothing once the output has asked to stop.
    send(header());
    for (const std::string& chunk : chunks_) send(chunk);
    send(body_);
    send("}\n");
    std::vector<std::string>().swap(chunks_);
    std::string().swap(body_);
}

// ---- character formatting -------------------------------------------------

void Writer::applyFormat(const CharFormat& format) {
    if (format.link != openLink_) {
        closeLink();
        if (!format.link.empty()) openLink(format.link);
    }
    CharState to;
    to.font = fontIndex(format.face);
    to.size = format.sizeHalfPoints > 0 ? std::min(format.sizeHalfPoints, 3276) : 24;
    to.bold = format.bold;
    to.italic = format.italic;
    to.underline = format.underline;
    to.strike = format.strike;
    to.color = format.color ? colorIndex(*format.color) : 0;
    to.background = format.background ? colorIndex(*format.background) : 0;
    to.vertical = format.vertical;
    writeStateChanges(to);
}

void Writer::writeStateChanges(const CharState& to) {
    CharState& s = state_;
    if (to.font != s.font) appendControl("\\f", to.font);
    if (to.size != s.size) appendControl("\\fs", to.size);
    if (to.bold != s.bold) appendControl(to.bold ? "\\b" : "\\b0");
    if (to.italic != s.italic) appendControl(to.italic ? "\\i" : "\\i0");
    if (to.underline != s.underline) appendControl(to.underline ? "\\ul" : "\\ulnone");
    if (to.strike != s.strike) appendControl(to.strike ? "\\strike" : "\\strike0");
    if (to.color != s.color) appendControl("\\cf", to.color);
    if (to.background != s.background) {
        // Shading for readers that take any colour, highlight for the rest.
        appendControl("\\chcbpat", to.background);
        appendControl("\\highlight", to.background);
    }
    if (to.vertical != s.vertical) {
        appendControl(to.vertical == VerticalAlign::Superscript ? "\\super"
                      : to.vertical == VerticalAlign::Subscript ? "\\sub"
                                                                : "\\nosupersub");
    }
    s = to;
}

void Writer::openLink(const std::string& url) {
    stateBeforeLink_ = state_;
    openLink_ = url;
    body_ += "{\\field{\\*\\fldinst HYPERLINK \"";
    pendingDelimiter_ = false;
    std::string quoted;  // a quote would end the field argument early
    for (char c : url) {
        if (c == '"') quoted += "%22";
        else quoted += c;
    }
    appendText(quoted);
    body_ += "\"}{\\fldrslt";
    pendingDelimiter_ = true;
}

// The field's group ends, and with it every format set inside it.
void Writer::closeLink() {
    if (openLink_.empty()) return;
    body_ += "}}";
    pendingDelimiter_ = false;
    state_ = stateBeforeLink_;
    openLink_.clear();
}

int Writer::fontIndex(const std::string& face) {
    if (face.empty()) return 0;
    auto [it, added] = fontIds_.emplace(face, static_cast<int>(fonts_.size()));
    if (added) fonts_.push_back(face);
    return it->second;
}

int Writer::colorIndex(const Color& color) {
    const uint32_t key = uint32_t(color.r) << 16 | uint32_t(color.g) << 8 | color.b;
    auto [it, added] = colorIds_.emplace(key, static_cast<int>(colors_.size()) + 1);
    if (added) colors_.push_back(color);
    return it->second;
}

// ---- paragraphs, lists, tables --------------------------------------------

void Writer::endParagraph(const ParaFormat& format, std::string_view mark) {
    closeLink();
    if (format.inTable && rowStart_ == std::string::npos) {
        rowStart_ = paraStart_;
        rowCells_ = 0;
        haveLastPara_ = false;  // every row restates \intbl after \pard
    }
    std::string prefix;
    if (!haveLastPara_ || !(format == lastPara_)) {
        prefix = paragraphProperties(format);
        lastPara_ = format;
        haveLastPara_ = true;
    }
    if (format.listKind != ListKind::None) prefix += listText(format);
    insertAtParagraphStart(prefix);
    appendControl(mark);
    newline();
    paraStart_ = body_.size();
    paraHasContent_ = false;
    sealChunkIfFull();
}

// A full body piece is set aside rather than grown further, so that a long
// document is not copied again at every doubling of one string.
void Writer::sealChunkIfFull() {
    if (body_.size() < kChunkSize || rowStart_ != std::string::npos) return;
    chunks_.push_back(std::move(body_));
    body_ = std::string();
    body_.reserve(kChunkSize + kChunkSize / 4);
    paraStart_ = lineStart_ = 0;
}

std::string Writer::paragraphProperties(const ParaFormat& f) {
    std::string p = "\\pard";
    auto add = [&p](const char* word, long long value) {
        p += word;
        AppendInt(p, value);
    };
    if (f.inTable) p += "\\intbl";
    if (f.align == Align::Center) p += "\\qc";
    else if (f.align == Align::Right) p += "\\qr";
    else if (f.align == Align::Justify) p += "\\qj";
    if (f.leftIndent != 0) add("\\li", f.leftIndent);
    if (f.rightIndent != 0) add("\\ri", f.rightIndent);
    if (f.firstIndent != 0) add("\\fi", f.firstIndent);
    if (f.spaceBefore != 0) add("\\sb", f.spaceBefore);
    if (f.spaceAfter != 0) add("\\sa", f.spaceAfter);
    if (f.lineSpacing != 0) {
        add("\\sl", f.lineSpacing);
        p += f.lineMultiple ? "\\slmult1" : "\\slmult0";
    }
    for (const TabStop& tab : f.tabs) {
        if (tab.kind == TabKind::Center) p += "\\tqc";
        else if (tab.kind == TabKind::Right) p += "\\tqr";
        else if (tab.kind == TabKind::Decimal) p += "\\tqdec";
        add("\\tx", tab.position);
    }
    if (f.listKind != ListKind::None) {
        add("\\ls", listFor(f).rtfId);
        add("\\ilvl", std::clamp(f.listLevel, 0, kMaxLevel));
    }
    return p;
}

Writer::ListDef& Writer::listFor(const ParaFormat& format) {
    auto [it, added] = listIds_.emplace(format.listId, lists_.size());
    if (added) {
        lists_.emplace_back();
        lists_.back().rtfId = static_cast<int>(lists_.size());
    }
    ListDef& list = lists_[it->second];
    ListKind& kind = list.kinds[std::clamp(format.listLevel, 0, kMaxLevel)];
    if (kind == ListKind::None) kind = format.listKind;
    return list;
}

// The marker as plain text, for readers that do not know list tables; those
// that do skip this group.
std::string Writer::listText(const ParaFormat& format) {
    ListDef& list = listFor(format);
    const int level = std::clamp(format.listLevel, 0, kMaxLevel);
    const int n = ++list.counters[level];
    std::fill(list.counters.begin() + level + 1, list.counters.end(), 0);
    return "{\\listtext\\plain " + ListMarker(format.listKind, n) + "\\tab}";
}

void Writer::insertAtParagraphStart(std::string prefix) {
    if (prefix.empty()) return;
    if (paraStart_ == body_.size()) {
        body_ += prefix;
        pendingDelimiter_ = prefix.back() != '}';
        return;
    }
    if (prefix.back() != '}' && ExtendsControlWord(body_[paraStart_])) prefix += ' ';
    body_.insert(paraStart_, prefix);
}

void Writer::closeOpenRow(const RowFormat* format) {
    const int cells = std::max(rowCells_, 1);
    std::vector<int> right = format ? format->cellRight : std::vector<int>{};
    while (static_cast<int>(right.size()) < cells) {
        right.push_back(right.empty() ? kDefaultTableWidth / cells : right.back() + kDefaultTableWidth / cells);
    }
    std::string definition = "\\trowd\\trgaph108";
    if (format && format->leftOffset != 0) {
        definition += "\\trleft";
        AppendInt(definition, format->leftOffset);
    }
    int previous = format ? format->leftOffset : 0;
    for (int boundary : right) {
        previous = std::max(boundary, previous + 1);  // readers need rising boundaries
        definition += "\\cellx";
        AppendInt(definition, previous);
    }
    definition += '\n';
    body_.insert(rowStart_, definition);
    appendControl("\\row");
    newline();
    rowStart_ = std::string::npos;
    rowCells_ = 0;
    paraStart_ = body_.size();
    haveLastPara_ = false;  // the next paragraph states whether it is in a table
    sealChunkIfFull();
}

// ---- output primitives ----------------------------------------------------

void Writer::appendControl(std::string_view word) {
    body_ += word;
    pendingDelimiter_ = true;
}

void Writer::appendControl(std::string_view word, long long value) {
    body_ += word;
    AppendInt(body_, value);
    pendingDelimiter_ = true;
}

void Writer::appendText(std::string_view utf8) {
    const char* p = utf8.data();
    const char* end = p + utf8.size();
    while (p < end) {
        const char* q = p;
        while (q < end && !kSpecial[static_cast<unsigned char>(*q)]) ++q;
        if (q != p) {
            appendPlain(p, q);
            p = q;
            continue;
        }
        const unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\\' || c == '{' || c == '}') {
            body_ += '\\';
            body_ += static_cast<char>(c);
            pendingDelimiter_ = false;
            ++p;
        } else if (c < 0x80) {  // control characters: only tab and newline mean something
            if (c == '\t') appendControl("\\tab");
            else if (c == '\n') appendControl("\\line");
            ++p;
        } else {
            const char32_t cp = DecodeUtf8(p, end);
            if (cp == 0x2028) {
                appendControl("\\line");
                continue;
            }
            AppendEscapedCodePoint(body_, cp);
            pendingDelimiter_ = false;
            breakLineIfLong();
        }
    }
}

// Copies text that needs no escaping, breaking long lines after a space,
// where a line end cannot change what is read.
void Writer::appendPlain(const char* begin, const char* end) {
    if (pendingDelimiter_ && ExtendsControlWord(*begin)) body_ += ' ';
    pendingDelimiter_ = false;
    while (begin < end) {
        const std::size_t n = static_cast<std::size_t>(end - begin);
        const std::size_t column = body_.size() - lineStart_;
        if (column + n <= kLineWidth) {
            body_.append(begin, n);
            return;
        }
        const std::size_t room = column < kLineWidth ? std::min(kLineWidth - column, n) : 0;
        const void* space = room ? memrchr(begin, ' ', room) : nullptr;
        if (!space && room < n) space = std::memchr(begin + room, ' ', n - room);
        if (!space) {
            body_.append(begin, n);
            return;
        }
        const char* cut = static_cast<const char*>(space) + 1;
        body_.append(begin, cut);
        newline();
        begin = cut;
    }
}

void Writer::appendHex(std::string_view data) {
    static constexpr char kHex[] = "0123456789abcdef";
    constexpr std::size_t kBytesPerLine = 64;
    body_.reserve(body_.size() + data.size() * 2 + data.size() / kBytesPerLine + 2);
    newline();
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
    for (std::size_t i = 0; i < data.size(); ++i) {
        body_ += kHex[p[i] >> 4];
        body_ += kHex[p[i] & 15];
        if (i % kBytesPerLine == kBytesPerLine - 1) newline();
    }
    if (data.size() % kBytesPerLine != 0) newline();
}

void Writer::breakLineIfLong() {
    if (body_.size() - lineStart_ > kLineWidth) newline();
}

void Writer::newline() {
    body_ += '\n';
    lineStart_ = body_.size();
    pendingDelimiter_ = false;
}

// ---- header and output ----------------------------------------------------

std::string Writer::header() const {
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\\deftab720\n" + fontTable() + colorTable() + listTables() +
           "{\\*\\generator Quorlin;}\\viewkind4\n";
}

std::string Writer::fontTable() const {
    std::string table = "{\\fonttbl";
    for (std::size_t i = 0; i < fonts_.size(); ++i) {
        table += "{\\f";
        AppendInt(table, static_cast<long long>(i));
        table += "\\fnil\\fcharset0 ";
        table += EscapeFaceName(fonts_[i]);
        table += ";}";
    }
    return table + "}\n";
}

std::string Writer::colorTable() const {
    std::string table = "{\\colortbl;";
    for (const Color& c : colors_) {
        table += "\\red";
        AppendInt(table, c.r);
        table += "\\green";
        AppendInt(table, c.g);
        table += "\\blue";
        AppendInt(table, c.b);
        table += ';';
    }
    return table + "}\n";
}

std::string Writer::listTables() const {
    if (lists_.empty()) return {};
    std::string table = "{\\*\\listtable\n";
    for (const ListDef& list : lists_) {
        ListKind fallback = ListKind::Bullet;
        for (ListKind k : list.kinds)
            if (k != ListKind::None) {
                fallback = k;
                break;
            }
        table += "{\\list\\listtemplateid";
        AppendInt(table, list.rtfId);
        for (int level = 0; level <= kMaxLevel; ++level) {
            const ListKind kind = list.kinds[level] != ListKind::None ? list.kinds[level] : fallback;
            table += listLevel(kind, level);
        }
        table += "\\listid";
        AppendInt(table, list.rtfId);
        table += "}\n";
    }
    table += "}{\\*\\listoverridetable";
    for (const ListDef& list : lists_) {
        table += "{\\listoverride\\listid";
        AppendInt(table, list.rtfId);
        table += "\\listoverridecount0\\ls";
        AppendInt(table, list.rtfId);
        table += '}';
    }
    return table + "}\n";
}

std::string Writer::listLevel(ListKind kind, int level) {
    std::string s = "{\\listlevel\\levelnfc";
    AppendInt(s, LevelNumberFormat(kind));
    s += "\\levelnfcn";
    AppendInt(s, LevelNumberFormat(kind));
    s += "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1";
    if (kind == ListKind::Bullet || kind == ListKind::None) {
        s += "{\\leveltext\\'01\\u8226\\'95;}{\\levelnumbers;}";
    } else {
        static constexpr char kHex[] = "0123456789abcdef";
        s += "{\\leveltext\\'02\\'0";
        s += kHex[level];
        s += ".;}{\\levelnumbers\\'01;}";
    }
    s += "\\fi-360\\li";
    AppendInt(s, 720LL * (level + 1));
    s += "\\lin";
    AppendInt(s, 720LL * (level + 1));
    return s + "}\n";
}

bool Writer::send(std::string_view bytes) {
    while (!bytes.empty() && !stopped_) {
        const std::size_t n = std::min(bytes.size(), kPieceSize);
        if (!out_(bytes.data(), n)) stopped_ = true;
        bytes.remove_prefix(n);
    }
    return !stopped_;
}

}  // namespace quorlin::rtf
