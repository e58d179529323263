#include "rtf/Scanner.h"

#include <algorithm>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorlin::rtf {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsSpecial(unsigned char c) { return c < 0x20 || c >= 0x80 || c == '\\' || c == '{' || c == '}'; }

// The format allows ten digits; anything longer is clamped, never overflowed.
constexpr int kMaxDigits = 10;

}  // namespace

const char* FindSpecial(const char* p, const char* end) {
#if defined(__SSE2__)
    // Signed compare: bytes >= 0x80 are negative, so one test catches them and
    // the control characters together.
    const __m128i space = _mm_set1_epi8(0x20);
    const __m128i backslash = _mm_set1_epi8('\\');
    const __m128i open = _mm_set1_epi8('{');
    const __m128i close = _mm_set1_epi8('}');
    while (end - p >= 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i hit = _mm_or_si128(_mm_cmplt_epi8(v, space),
                                   _mm_or_si128(_mm_cmpeq_epi8(v, backslash),
                                                _mm_or_si128(_mm_cmpeq_epi8(v, open), _mm_cmpeq_epi8(v, close))));
        int mask = _mm_movemask_epi8(hit);
        if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
        p += 16;
    }
#endif
    while (p < end && !IsSpecial(static_cast<unsigned char>(*p))) ++p;
    return p;
}

void Scanner::feed(const char* data, std::size_t size) {
    const char* p = data;
    const char* end = data + size;
    while (p < end) {
        switch (state_) {
        case State::Text: p = scanText(p, end); break;
        case State::Backslash: p = afterBackslash(p); break;
        case State::Word: p = inWord(p, end); break;
        case State::Sign:
        case State::Param: p = inParam(p, end); break;
        case State::Hex1:
        case State::Hex2: p = inHex(p); break;
        case State::Binary: p = inBinary(p, end); break;
        }
    }
}

void Scanner::finish() {
    if (state_ == State::Word || state_ == State::Sign) endWord(false);
    else if (state_ == State::Param) endWord(true);
    state_ = State::Text;
}

const char* Scanner::scanText(const char* p, const char* end) {
    const char* stop = FindSpecial(p, end);
    if (stop > p) handler_.text(p, static_cast<std::size_t>(stop - p));
    return stop < end ? special(stop, end) : stop;
}

const char* Scanner::special(const char* p, const char* end) {
    unsigned char c = static_cast<unsigned char>(*p);
    if (c >= 0x80) {
        const char* q = p;
        while (q < end && static_cast<unsigned char>(*q) >= 0x80) ++q;
        handler_.rawBytes(p, static_cast<std::size_t>(q - p));
        return q;
    }
    switch (c) {
    case '\\': state_ = State::Backslash; break;
    case '{': handler_.groupOpen(); break;
    case '}': handler_.groupClose(); break;
    case '\t': handler_.controlSymbol('\t'); break;
    default: break;  // line ends and other control characters (NUL too) carry nothing
    }
    return p + 1;
}

const char* Scanner::afterBackslash(const char* p) {
    char c = *p;
    if (IsLetter(c)) {
        word_[0] = c;
        wordLength_ = 1;
        state_ = State::Word;
    } else if (c == '\'') {
        state_ = State::Hex1;
    } else {
        handler_.controlSymbol(c == '\r' ? '\n' : c);
        state_ = State::Text;
    }
    return p + 1;
}

const char* Scanner::inWord(const char* p, const char* end) {
    for (; p < end && IsLetter(*p); ++p) {
        if (wordLength_ < kMaxWordLength) word_[wordLength_] = *p;
        // Past the limit the word is cut, still counted so it cannot match a real one.
        if (wordLength_ <= kMaxWordLength) ++wordLength_;
    }
    if (p == end) return p;
    negative_ = false;
    digits_ = 0;
    param_ = 0;
    if (*p == '-') {
        negative_ = true;
        state_ = State::Sign;
        return p + 1;
    }
    if (IsDigit(*p)) {
        state_ = State::Param;
        return p;
    }
    endWord(false);
    return *p == ' ' ? p + 1 : p;
}

const char* Scanner::inParam(const char* p, const char* end) {
    for (; p < end && IsDigit(*p); ++p) {
        if (digits_ < kMaxDigits) param_ = param_ * 10 + (*p - '0');
        ++digits_;
        state_ = State::Param;
    }
    if (p == end) return p;
    bool hasParam = state_ == State::Param;
    endWord(hasParam);
    return hasParam && *p == ' ' ? p + 1 : p;
}

void Scanner::endWord(bool hasParam) {
    state_ = State::Text;
    int64_t value = negative_ ? -param_ : param_;
    if (digits_ > kMaxDigits) value = negative_ ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
    value = std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    std::string_view name(word_, std::min(wordLength_, kMaxWordLength));
    if (wordLength_ > kMaxWordLength) name = {};  // overlong: no word of ours
    handler_.controlWord(name, hasParam, static_cast<int32_t>(value));
    if (hasParam && value > 0 && name == "bin") {
        binaryLeft_ = value;
        state_ = State::Binary;
    }
}

const char* Scanner::inHex(const char* p) {
    int v = HexValue(*p);
    if (v < 0) {
        // A broken \'x: drop it and read the byte as ordinary input.
        state_ = State::Text;
        return p;
    }
    if (state_ == State::Hex1) {
        hexHigh_ = static_cast<uint8_t>(v);
        state_ = State::Hex2;
    } else {
        state_ = State::Text;
        handler_.hexByte(static_cast<uint8_t>(hexHigh_ * 16 + v));
    }
    return p + 1;
}

const char* Scanner::inBinary(const char* p, const char* end) {
    auto n = static_cast<std::size_t>(std::min<int64_t>(binaryLeft_, end - p));
    handler_.binary(p, n);
    binaryLeft_ -= static_cast<int64_t>(n);
    if (binaryLeft_ == 0) state_ = State::Text;
    return p + n;
}

}  // namespace quorlin::rtf
