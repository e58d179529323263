// The destinations that are read rather than shown: font, colour and list tables,
// field instructions, pictures.
#include "rtf/ReaderImpl.h"

#include <algorithm>
#include <cctype>

namespace quorlin::rtf {
namespace {

constexpr std::size_t kMaxColors = 1u << 16;
constexpr std::size_t kMaxListLevels = 9;
constexpr std::size_t kMaxFaceBytes = 1024;  // a face name is short; a runaway one is cut

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

// Fonts whose 8-bit codes are the Symbol font's letters; other symbol-charset
// fonts (dingbats) have no Unicode letters to map to.
bool IsSymbolFont(std::string_view face, int charset) {
    if (EqualsNoCase(face, "Symbol")) return true;
    if (charset != 2) return false;
    for (std::string_view other : {"Wingdings", "Webdings", "OpenSymbol", "Marlett", "ZapfDingbats", "Zapf Dingbats"})
        if (face.size() >= other.size() && EqualsNoCase(face.substr(0, other.size()), other)) return false;
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One argument of a field instruction: a quoted string (with \\ and \" escapes)
// or a word.
std::string_view NextToken(std::string_view& s, std::string& out) {
    s = Trim(s);
    out.clear();
    if (s.empty()) return {};
    if (s.front() != '"') {
        std::size_t end = std::min(s.find_first_of(" \t"), s.size());
        out.assign(s.substr(0, end));
        s.remove_prefix(end);
        return out;
    }
    std::size_t i = 1;
    for (; i < s.size() && s[i] != '"'; ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) ++i;
        out.push_back(s[i]);
    }
    s.remove_prefix(std::min(i + 1, s.size()));
    return out;
}

// The target of HYPERLINK "url" or HYPERLINK \l "anchor"; empty for other fields.
std::string HyperlinkTarget(std::string_view instruction) {
    std::string token;
    if (!EqualsNoCase(NextToken(instruction, token), "HYPERLINK")) return {};
    std::string url, anchor;
    while (!NextToken(instruction, token).empty()) {
        if (token == "\\l") anchor = NextToken(instruction, token);
        else if (token == "\\o" || token == "\\t") NextToken(instruction, token);
        else if (token.front() != '\\' && url.empty()) url = token;
    }
    return anchor.empty() ? url : url + "#" + anchor;
}

}  // namespace

void Reader::Impl::endDestination(const GroupState& closed) {
    Dest parent = state().dest;
    if (closed.dest == Dest::FontTable) commitFont();
    if (closed.dest == parent) return;
    switch (closed.dest) {
    case Dest::ListLevel:
        if (list_.levels.size() < kMaxListLevels) list_.levels.push_back(levelKind_);
        break;
    case Dest::List: lists_[list_.id] = list_.levels; break;
    case Dest::Override: overrides_[overrideLs_] = overrideListId_; break;
    case Dest::FieldInst: finishField(); break;
    case Dest::Pict: finishPicture(); break;
    case Dest::Pn:
        state().para.pnKind = closed.para.pnKind;
        state().para.pnLevel = closed.para.pnLevel;
        break;
    default: break;
    }
}

void Reader::Impl::beginFont(int32_t index) {
    commitFont();
    fontInProgress_ = true;
    fontIndex_ = index;
    font_ = FontEntry();
}

void Reader::Impl::commitFont() {
    if (!fontInProgress_) return;
    fontInProgress_ = false;
    if (font_.face.size() == kMaxFaceBytes) {
        // Cut at the limit: drop the last character, which may be incomplete.
        while (!font_.face.empty() && (font_.face.back() & 0xC0) == 0x80) font_.face.pop_back();
        if (!font_.face.empty() && (font_.face.back() & 0x80)) font_.face.pop_back();
    }
    font_.face = std::string(Trim(font_.face));
    font_.symbol = IsSymbolFont(font_.face, font_.charset);
    fonts_[fontIndex_] = std::move(font_);
    font_ = FontEntry();
    ++fontsVersion_;
}

void Reader::Impl::fontTableText(std::string_view utf8) {
    auto append = [this](std::string_view part) {
        if (fontInProgress_) font_.face.append(part.substr(0, kMaxFaceBytes - std::min(kMaxFaceBytes, font_.face.size())));
    };
    for (std::size_t semicolon; (semicolon = utf8.find(';')) != std::string_view::npos;) {
        append(utf8.substr(0, semicolon));
        commitFont();
        utf8.remove_prefix(semicolon + 1);
    }
    append(utf8);
}

void Reader::Impl::colorTableText(std::string_view utf8) {
    for (char c : utf8) {
        if (c != ';') continue;
        if (colors_.size() < kMaxColors) colors_.push_back(colorSet_ ? std::optional<Color>(color_) : std::nullopt);
        color_ = Color();
        colorSet_ = false;
        ++fontsVersion_;
    }
}

void Reader::Impl::pictureText(const char* data, std::size_t size) {
    if (pictureTooBig_ || !pictureKnown_) return;  // a kind we cannot show is not kept
    std::string& out = picture_.data;
    for (const char* end = data + size; data < end; ++data) {
        int v = HexDigit(*data);
        if (v < 0) continue;
        if (pictureHigh_ < 0) {
            pictureHigh_ = v;
        } else {
            out.push_back(static_cast<char>(pictureHigh_ * 16 + v));
            pictureHigh_ = -1;
        }
    }
    if (out.size() > kMaxPictureBytes) {
        pictureTooBig_ = true;
        out = std::string();
    }
}

void Reader::Impl::finishPicture() {
    if (!pictureKnown_ || pictureTooBig_ || picture_.data.empty()) return;
    if (state().dest != Dest::Text || state().hidden) return;
    picture_.goalWidth = static_cast<int>(int64_t{goalW_} * scaleX_ / 100);
    picture_.goalHeight = static_cast<int>(int64_t{goalH_} * scaleY_ / 100);
    beforeEvent();
    sink_.picture(picture_, resolve(state().run));
    paraHasContent_ = true;
    picture_ = Picture();
}

void Reader::Impl::finishField() {
    std::string target = HyperlinkTarget(fieldInstruction_);
    fieldInstruction_.clear();
    if (target.empty()) return;
    links_.push_back(std::move(target));
    state().fieldLink = static_cast<int32_t>(links_.size() - 1);
}

}  // namespace quorlin::rtf
