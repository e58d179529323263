#pragma once
// Splits RTF bytes into tokens. A push scanner: input arrives in pieces of any
// size and a token cut between two pieces is completed by the next one.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace quorlin::rtf {

class ScanHandler {
public:
    virtual ~ScanHandler() = default;
    // A run of printable ASCII text (no control characters, no \ { }).
    virtual void text(const char* data, std::size_t size) = 0;
    // A run of literal bytes >= 0x80.
    virtual void rawBytes(const char* data, std::size_t size) = 0;
    virtual void groupOpen() = 0;
    virtual void groupClose() = 0;
    // A word longer than kMaxWordLength letters arrives with an empty name.
    virtual void controlWord(std::string_view name, bool hasParam, int32_t param) = 0;
    // \x for a non-letter x; a literal tab arrives as '\t', \<newline> as '\n'.
    virtual void controlSymbol(char symbol) = 0;
    virtual void hexByte(uint8_t byte) = 0;
    // The data following \binN, in as many calls as the pieces require.
    virtual void binary(const char* data, std::size_t size) = 0;
};

class Scanner {
public:
    static constexpr std::size_t kMaxWordLength = 32;

    explicit Scanner(ScanHandler& handler) : handler_(handler) {}
    void feed(const char* data, std::size_t size);
    // Completes a control word cut off by the end of the input.
    void finish();

private:
    enum class State : uint8_t { Text, Backslash, Word, Sign, Param, Hex1, Hex2, Binary };

    const char* scanText(const char* p, const char* end);
    const char* special(const char* p, const char* end);
    const char* afterBackslash(const char* p);
    const char* inWord(const char* p, const char* end);
    const char* inParam(const char* p, const char* end);
    const char* inHex(const char* p);
    const char* inBinary(const char* p, const char* end);
    void endWord(bool hasParam);

    ScanHandler& handler_;
    State state_ = State::Text;
    char word_[kMaxWordLength];
    std::size_t wordLength_ = 0;
    bool negative_ = false;
    int digits_ = 0;
    int64_t param_ = 0;
    uint8_t hexHigh_ = 0;
    int64_t binaryLeft_ = 0;
};

// The first byte in [p, end) that is not plain text: a control character,
// '\\', '{', '}' or a byte >= 0x80; end when there is none.
const char* FindSpecial(const char* p, const char* end);

}  // namespace quorlin::rtf
