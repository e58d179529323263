// The start of the input: RTF or not. Input that is not RTF is shown as plain
// text, one paragraph per line.
#include "rtf/ReaderImpl.h"

namespace quorlin::rtf {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kMagic = "{\\rtf";
// Leading white space beyond this is not waited through: the input is text.
constexpr std::size_t kMaxLeadingSpace = 64 * 1024;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

void Reader::Impl::detect() {
    std::string_view head(head_);
    if (head.size() < kBom.size() && kBom.starts_with(head)) return;  // maybe a byte order mark, cut
    std::size_t start = head.starts_with(kBom) ? kBom.size() : 0;
    std::size_t first = start;
    while (first < head.size() && IsSpace(head[first])) ++first;
    std::string_view rest = head.substr(first);
    std::size_t n = std::min(rest.size(), kMagic.size());
    bool matches = rest.substr(0, n) == kMagic.substr(0, n);
    if (matches && n < kMagic.size() && head.size() < kMaxLeadingSpace) return;  // not decided yet
    if (matches && n == kMagic.size()) {
        mode_ = Mode::Rtf;
        std::string bytes = std::move(head_);
        scanner_.feed(bytes.data() + first, bytes.size() - first);
    } else {
        mode_ = Mode::Plain;
        plain_ = std::move(head_);
    }
    head_ = std::string();
}

void Reader::Impl::finishPlain() {
    std::string_view bytes(plain_);
    if (bytes.starts_with(kBom)) bytes.remove_prefix(kBom.size());
    std::string decoded;
    if (!IsValidUtf8(bytes)) {
        decoder_.decode(1252, bytes, decoded);
        bytes = decoded;
    }
    while (!bytes.empty()) {
        std::size_t end = std::min(bytes.find_first_of("\r\n"), bytes.size());
        emitPlainLine(bytes.substr(0, end));
        if (end < bytes.size() && bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ++end;
        bytes.remove_prefix(std::min(end + 1, bytes.size()));
    }
    plain_ = std::string();
}

void Reader::Impl::emitPlainLine(std::string_view line) {
    static const CharFormat kPlain;
    std::string text;
    for (char c : line) {
        if (c == '\t') {
            if (!text.empty()) sink_.text(text, kPlain);
            text.clear();
            sink_.tab(kPlain);
        } else if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) {
            text.push_back(c);
        }
    }
    if (!text.empty()) sink_.text(text, kPlain);
    sink_.paragraphEnd(ParaFormat());
}

}  // namespace quorlin::rtf
