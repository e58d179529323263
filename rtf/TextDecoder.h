#pragma once
// Turns the legacy bytes of an RTF file into UTF-8: Windows code pages through
// iconv (double-byte ones included), the Symbol font's letters, UTF-8 helpers.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace quorlin::rtf {

constexpr int kSymbolCodePage = -2;  // the Symbol font: its own encoding
constexpr char32_t kReplacement = 0xFFFD;

// \fcharset N to a code page; DEFAULT_CHARSET (1) and unknown ones follow \ansicpg.
int CodePageForCharset(int charset, int ansiCodePage);
bool IsDoubleByteCodePage(int codePage);
bool IsLeadByte(int codePage, uint8_t byte);

void AppendUtf8(std::string& out, char32_t codePoint);
bool IsValidUtf8(std::string_view bytes);
char32_t SymbolToUnicode(uint8_t byte);

class CodePageDecoder {
public:
    CodePageDecoder() = default;
    ~CodePageDecoder();
    CodePageDecoder(const CodePageDecoder&) = delete;
    CodePageDecoder& operator=(const CodePageDecoder&) = delete;

    // Appends bytes decoded from codePage; what cannot be decoded becomes U+FFFD.
    void decode(int codePage, std::string_view bytes, std::string& out);

private:
    void* converter(int codePage);
    void decodeWith(void* cd, std::string_view bytes, std::string& out);

    std::unordered_map<int, void*> converters_;  // iconv_t per code page, opened once
};

}  // namespace quorlin::rtf
