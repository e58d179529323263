// How the reader turns bytes into text: code pages, Unicode escapes with their
// fallbacks, special characters, the Symbol font and plain-text files.
#include "ReaderTestSupport.h"

#include <gtest/gtest.h>

namespace quorlin::rtf::test {
namespace {

struct TextCase {
    const char* name;
    std::string rtf;
    std::string text;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class ReaderText : public testing::TestWithParam<TextCase> {};

TEST_P(ReaderText, GivesTheVisibleText) { EXPECT_EQ(Text(GetParam().rtf), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    UnicodeFallbacks, ReaderText,
    testing::Values(
        TextCase{"DefaultSkipsOne", Doc("\\u8364?x\\par"), "\u20ACx\n"},
        TextCase{"HexFallbackCountsAsOne", Doc("\\uc1\\u233\\'e9x\\par"), "\u00E9x\n"},
        TextCase{"TwoFallbacks", Doc("\\uc2\\u233\\'e9\\'e9x\\par"), "\u00E9x\n"},
        TextCase{"ControlWordCountsAsOne", Doc("\\uc2\\u233\\par xy\\par"), "\u00E9y\n"},
        TextCase{"BraceStopsSkipping", Doc("{\\uc3\\u233ab}c\\par"), "\u00E9c\n"},
        TextCase{"NoFallback", Doc("\\uc0\\u233\\u234\\par"), "\u00E9\u00EA\n"},
        TextCase{"UcIsScopedToItsGroup", Doc("{\\uc2 \\u233ab}\\u234cd\\par"), "\u00E9\u00EAd\n"},
        TextCase{"NegativeValue", Doc("\\u-223?\\par"), "\uFF21\n"},
        TextCase{"SurrogatePairNegative", Doc("\\uc1\\u-10179?\\u-8704?\\par"), "\U0001F600\n"},
        TextCase{"SurrogatesAcrossUc", Doc("\\uc0 \\u55357\\uc1 \\u56832\\'3f!\\par"), "\U0001F600!\n"},
        TextCase{"LoneHighSurrogate", Doc("\\u55357?x\\par"), "\uFFFDx\n"},
        TextCase{"TwoHighSurrogates", Doc("\\u55357?\\u55357?\\u56832?\\par"), "\uFFFD\U0001F600\n"},
        TextCase{"HighSurrogateBeforeTab", Doc("\\u55357?\\tab\\par"), "\uFFFD\t\n"},
        TextCase{"LoneLowSurrogate", Doc("\\u56832?x\\par"), "\uFFFDx\n"},
        TextCase{"BinIsOneFallbackWithItsData", Doc("\\u233\\bin2 xyz\\par"), "\u00E9z\n"},
        TextCase{"OutOfRange", Doc("\\u99999999 u\\par"), "\uFFFD\n"}));

INSTANTIATE_TEST_SUITE_P(
    CodePages, ReaderText,
    testing::Values(
        TextCase{"AnsiDefault1252", Doc("Caf\\'e9 \\'80\\par"), "Caf\u00E9 \u20AC\n"},
        TextCase{"AnsiCpgWithoutFontCharset", "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\par}", "\u041F\u0440\n"},
        TextCase{"FontCharsetWins", "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset204 X;}}\\f0\\'cf\\par}", "\u041F\n"},
        TextCase{"CpgWins", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0\\cpg1251 X;}}\\f0\\'cf\\par}", "\u041F\n"},
        TextCase{"ShiftJisHexPairs", "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 G;}}\\f0\\'82\\'a0\\'82\\'61\\par}", "\u3042\uFF22\n"},
        TextCase{"ShiftJisLiteralTrailByte", "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 G;}}\\f0\\'83A!\\par}", "\u30A2!\n"},
        TextCase{"Gbk", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset134 S;}}\\f0\\'c4\\'e3\\par}", "\u4F60\n"},
        TextCase{"Uhc", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset129 M;}}\\f0\\'c7\\'d1\\par}", "\uD55C\n"},
        TextCase{"Big5", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset136 M;}}\\f0\\'a4\\'a4\\par}", "\u4E2D\n"},
        TextCase{"FontChangeBetweenBytes", "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset204 A;}{\\f1\\fcharset0 B;}}\\f0\\'cf\\f1\\'cf\\par}", "\u041F\u00CF\n"},
        TextCase{"RawHighBytes", Doc("caf\xe9\\par"), "caf\u00E9\n"},
        TextCase{"SymbolFont", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}\\f1 abg\\'b3\\f0 ab\\par}", "\u03B1\u03B2\u03B3\u2265ab\n"},
        TextCase{"SymbolPrivateUse", "{\\rtf1\\ansi{\\fonttbl{\\f1\\fcharset2 Symbol;}}\\f1\\u61548?\\par}", "\u03BB\n"},
        TextCase{"DingbatsAreNotGreek", "{\\rtf1\\ansi{\\fonttbl{\\f1\\fcharset2 Wingdings;}}\\f1 a\\par}", "a\n"}));

INSTANTIATE_TEST_SUITE_P(
    SpecialCharacters, ReaderText,
    testing::Values(
        TextCase{"Escapes", Doc("\\\\ \\{ \\}\\par"), "\\ { }\n"},
        TextCase{"Spaces", Doc("a\\~b\\-c\\_d\\par"), "a\u00A0b\u00ADc\u2011d\n"},
        TextCase{"Punctuation", Doc("\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\par"),
                 "\u2014\u2013\u2022\u2018\u2019\u201C\u201D\n"},
        TextCase{"TabAndLine", Doc("a\\tab b\\line c\\par"), "a\tb\nc\n"},
        TextCase{"LiteralTab", Doc("a\tb\\par"), "a\tb\n"},
        TextCase{"BackslashNewlineIsPar", Doc("a\\\nb\\par"), "a\nb\n"},
        TextCase{"LineEndsIgnored", Doc("a\r\nb\\par"), "ab\n"},
        TextCase{"NulBytesDropped", Doc(std::string("a\0b\\par", 7)), "ab\n"},
        TextCase{"HiddenTextSkipped", Doc("a{\\v hidden}b\\v c\\v0 d\\par"), "abd\n"},
        TextCase{"LastParagraphWithoutPar", Doc("a\\par b"), "a\nb\n"},
        TextCase{"NoExtraParagraphAfterLastPar", Doc("a\\par"), "a\n"}));

INSTANTIATE_TEST_SUITE_P(
    PlainText, ReaderText,
    testing::Values(
        TextCase{"Utf8Lines", "one\ncaf\xc3\xa9\r\nthree", "one\ncaf\u00E9\nthree\n"},
        TextCase{"Windows1252WhenNotUtf8", "caf\xe9\r\x93q\x94\r", "caf\u00E9\n\u201Cq\u201D\n"},
        TextCase{"ByteOrderMarkDropped", "\xEF\xBB\xBFhi\n", "hi\n"},
        TextCase{"BlankLinesKept", "a\n\nb\n", "a\n\nb\n"},
        TextCase{"TabsKept", "a\tb", "a\tb\n"},
        TextCase{"AlmostRtf", "{\\rtx1 a}", "{\\rtx1 a}\n"},
        TextCase{"RtfAfterWhitespaceAndBom", "\xEF\xBB\xBF \r\n{\\rtf1 x\\par}", "x\n"}));

}  // namespace
}  // namespace quorlin::rtf::test
