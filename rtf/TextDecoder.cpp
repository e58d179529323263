#include "rtf/TextDecoder.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>

namespace quorlin::rtf {
namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// Windows-1252's 0x80-0x9F; the rest of its upper half is Latin-1. Zero: unassigned.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The Symbol font from 0x20 to 0xFF; zero where the font has no character.
constexpr char16_t kSymbol[224] = {
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, 0x0028, 0x0029, 0x2217, 0x002B,
    0x002C, 0x2212, 0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F, 0x2245, 0x0391, 0x0392, 0x03A7,
    0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F,
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396, 0x005B,
    0x2234, 0x005D, 0x22A5, 0x005F, 0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,
    0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3,
    0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0,
    0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,
    0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,      0,
    0,      0,      0,      0,      0,      0,      0,      0,      0x20AC, 0x03D2, 0x2032, 0x2264,
    0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193,
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022, 0x00F7, 0x2260, 0x2261, 0x2248,
    0x2026, 0x23D0, 0x23AF, 0x21B5, 0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229,
    0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209, 0x2220, 0x2207, 0x00AE, 0x00A9,
    0x2122, 0x220F, 0x221A, 0x22C5, 0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2, 0x23A3,
    0x23A7, 0x23A8, 0x23A9, 0x23AA, 0,      0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F,
    0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0};

void DecodeCp1252(std::string_view bytes, std::string& out) {
    for (char c : bytes) {
        auto b = static_cast<uint8_t>(c);
        if (b < 0x80) out.push_back(c);
        else if (b < 0xA0) AppendUtf8(out, kCp1252High[b - 0x80] ? kCp1252High[b - 0x80] : kReplacement);
        else AppendUtf8(out, b);
    }
}

void DecodeSymbol(std::string_view bytes, std::string& out) {
    for (char c : bytes) {
        char32_t u = SymbolToUnicode(static_cast<uint8_t>(c));
        AppendUtf8(out, u ? u : kReplacement);
    }
}

}  // namespace

int CodePageForCharset(int charset, int ansiCodePage) {
    switch (charset) {
    case 0: return 1252;
    case 2: return kSymbolCodePage;
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return ansiCodePage;
    }
}

bool IsDoubleByteCodePage(int codePage) {
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 || codePage == 1361;
}

bool IsLeadByte(int codePage, uint8_t byte) {
    if (codePage == 932) return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    if (codePage == 1361) return (byte >= 0x84 && byte <= 0xD3) || (byte >= 0xD8 && byte <= 0xF9);
    return IsDoubleByteCodePage(codePage) && byte >= 0x81 && byte <= 0xFE;
}

void AppendUtf8(std::string& out, char32_t u) {
    if (u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) u = kReplacement;
    if (u < 0x80) {
        out.push_back(static_cast<char>(u));
    } else if (u < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (u >> 6)));
        out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else if (u < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (u >> 12)));
        out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (u >> 18)));
        out.push_back(static_cast<char>(0x80 | ((u >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
    }
}

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        auto b = static_cast<uint8_t>(s[i]);
        if (b < 0x80) { ++i; continue; }
        int n = b >= 0xF0 && b <= 0xF4 ? 3 : b >= 0xE0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : -1;
        if (n < 0 || i + n >= s.size()) return false;
        char32_t u = b & (0x3F >> n);
        for (int k = 1; k <= n; ++k) {
            auto c = static_cast<uint8_t>(s[i + k]);
            if ((c & 0xC0) != 0x80) return false;
            u = (u << 6) | (c & 0x3F);
        }
        if ((n == 2 && (u < 0x800 || (u >= 0xD800 && u <= 0xDFFF))) || (n == 3 && (u < 0x10000 || u > 0x10FFFF)))
            return false;
        i += n + 1;
    }
    return true;
}

char32_t SymbolToUnicode(uint8_t byte) { return byte < 0x20 ? 0 : kSymbol[byte - 0x20]; }

CodePageDecoder::~CodePageDecoder() {
    for (auto& [page, cd] : converters_)
        if (cd != kNoConverter) iconv_close(static_cast<iconv_t>(cd));
}

void* CodePageDecoder::converter(int codePage) {
    auto found = converters_.find(codePage);
    if (found != converters_.end()) return found->second;
    char name[32];
    if (codePage == 10000) std::snprintf(name, sizeof name, "MACINTOSH");
    else std::snprintf(name, sizeof name, "CP%d", codePage);
    iconv_t cd = iconv_open("UTF-8", name);
    converters_.emplace(codePage, cd);
    return cd;
}

void CodePageDecoder::decode(int codePage, std::string_view bytes, std::string& out) {
    if (codePage == kSymbolCodePage) return DecodeSymbol(bytes, out);
    void* cd = codePage == 1252 ? kNoConverter : converter(codePage);
    if (cd == kNoConverter) return DecodeCp1252(bytes, out);
    decodeWith(cd, bytes, out);
}

void CodePageDecoder::decodeWith(void* handle, std::string_view bytes, std::string& out) {
    auto cd = static_cast<iconv_t>(handle);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* o = buffer;
        size_t oLeft = sizeof buffer;
        size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
        out.append(buffer, static_cast<size_t>(o - buffer));
        if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
        // An invalid or cut-off sequence: one replacement character, then go on.
        AppendUtf8(out, kReplacement);
        ++in;
        --inLeft;
    }
}

}  // namespace quorlin::rtf
