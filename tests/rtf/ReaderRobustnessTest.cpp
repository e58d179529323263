// The reader on input cut into pieces and on damaged input: the same events
// whatever the pieces, and never a crash, a hang or unbounded growth.
#include "ReaderTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quorlin::rtf::test {
namespace {

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(QUORLIN_CORPUS_DIR))
        if (entry.path().extension() == ".rtf") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(ReaderPieces, EveryCorpusFileGivesTheSameEventsInAnyPieces) {
    for (const std::string& path : CorpusFiles()) {
        const std::string rtf = ReadFile(path);
        const std::string whole = Events(rtf);
        for (std::size_t piece : {1, 2, 3, 5, 7, 64, 4096}) EXPECT_EQ(Events(rtf, piece), whole) << path << " in pieces of " << piece;
    }
}

TEST(ReaderPieces, TokensCutAnywhere) {
    const std::string rtf = Doc("\\fs36\\'e9\\u-10179?\\u-8704?{\\*\\x \\bin5 {{{{{}a\\uc2\\u233\\'41\\'42b\\par");
    const std::string whole = Events(rtf);
    EXPECT_NE(whole.find("\u00E9\U0001F600a\u00E9b"), std::string::npos) << whole;
    for (std::size_t piece = 1; piece < 12; ++piece) EXPECT_EQ(Events(rtf, piece), whole) << piece;
}

TEST(ReaderPieces, ByteOrderMarkCutIntoPieces) {
    const std::string rtf = "\xEF\xBB\xBF{\\rtf1 caf\\'e9\\par}";
    for (std::size_t piece = 1; piece < 5; ++piece) EXPECT_EQ(Events(rtf, piece), Events(rtf)) << piece;
    EXPECT_EQ(Text(rtf), "caf\u00E9\n");
}

TEST(ReaderPieces, RunawayFontNameIsCutTheSameWay) {
    // Found by fuzzing: a font name without its ';' ran on, and was cut where a piece ended.
    std::string name;
    for (int i = 0; i < 300; ++i) name += "abc\\'e9";
    const std::string rtf = "{\\rtf1{\\fonttbl{\\f0\\fcharset128 " + name + "}}\\f0 x}";
    const std::string whole = Events(rtf);
    for (std::size_t piece : {1, 7, 11, 13}) EXPECT_EQ(Events(rtf, piece), whole) << piece;
    EXPECT_LT(whole.size(), 1200u);
}

TEST(ReaderDamage, DeepNestingIsBoundedAndBalanced) {
    const std::size_t depth = 20000;
    const std::string rtf = "{\\rtf1 " + std::string(depth, '{') + "\\b deep" + std::string(depth, '}') + " after\\par}";
    EXPECT_EQ(Text(rtf), "deep after\n");
    EXPECT_NE(Events(rtf).find("text \" after\" [face= size=24]"), std::string::npos) << "bold must not leak out";
}

TEST(ReaderDamage, DeepSkippedDestination) {
    const std::string rtf = "{\\rtf1 a{\\*\\x " + std::string(50000, '{') + std::string(50000, '}') + "}b\\par}";
    EXPECT_EQ(Text(rtf), "ab\n");
}

TEST(ReaderDamage, BinaryData) {
    EXPECT_EQ(Text(Doc("a{\\*\\foo\\bin3 }}}b}c\\par")), "ac\n") << "braces inside \\bin data are data";
    EXPECT_EQ(Text(Doc("x{\\*\\foo\\bin2147483647 abc")), "x\n") << "\\bin longer than the file";
    EXPECT_EQ(Text(Doc("x\\bin-5 y\\par")), "xy\n");
}

TEST(ReaderDamage, ParametersAndWords) {
    EXPECT_NE(Events(Doc("\\fs99999999999999 x")).find("size=3276"), std::string::npos);
    EXPECT_NE(Events(Doc("\\li-99999999999 x\\par")).find("li=-100000"), std::string::npos);
    EXPECT_NE(Events(Doc("\\fs0 x")).find("size=24"), std::string::npos);
    EXPECT_EQ(Text(Doc("\\" + std::string(40, 'b') + " text\\par")), "text\n") << "an overlong word is no word";
    EXPECT_EQ(Text(Doc("\\" + std::string(40, 'b') + "1 text\\par")), "text\n");
    EXPECT_EQ(Text(Doc("a\\'zzb\\'4\\par")), "azzb\n");
}

TEST(ReaderDamage, TruncatedAndUnbalanced) {
    EXPECT_EQ(Text("{\\rtf1{\\fonttbl{\\f0 Arial;}}\\f0 Cut off{\\b in the mid"), "Cut offin the mid\n");
    EXPECT_EQ(Text("{\\rtf1 a}}} b\\par}"), "a b\n");
    EXPECT_EQ(Text("{\\rtf1 x\\"), "x\n");
    EXPECT_EQ(Text("{\\rtf1 x\\u"), "x\n");
    EXPECT_EQ(Text("{\\rtf1 x{\\pict\\pngblip 0"), "x\n");
    EXPECT_EQ(Text("{\\rtf"), "");
    EXPECT_EQ(Text(""), "");
}

TEST(ReaderDamage, EveryEventEndsOnceAfterFinish) {
    EventLog log;
    Reader reader(log);
    reader.feed("{\\rtf1 a", 8);
    reader.finish();
    reader.finish();
    reader.feed("more", 4);
    EXPECT_EQ(log.str(), "text \"a\" [face= size=24]\npar [left li=0 ri=0 fi=0 sb=0 sa=0 sl=0]\nend\n");
}

TEST(ReaderDamage, BadCorpusFilesReadWhatTheyCan) {
    const std::string dir = QUORLIN_CORPUS_DIR;
    EXPECT_EQ(Text(ReadFile(dir + "/bad-huge-bin.rtf")), "before \n");
    EXPECT_EQ(Text(ReadFile(dir + "/bad-truncated.rtf")), "Cut off in the mid\n");
    EXPECT_EQ(Text(ReadFile(dir + "/bad-unbalanced.rtf")), "Extra closing braces\n");
    EXPECT_EQ(Text(ReadFile(dir + "/bad-empty.rtf")), "");
    EXPECT_EQ(Text(ReadFile(dir + "/bad-plain-text.rtf")), "This file is not RTF at all.\nSecond line: caf\u00E9\n");
    EXPECT_EQ(Text(ReadFile(dir + "/bad-deep-nesting.rtf")), "deep\n");
}

}  // namespace
}  // namespace quorlin::rtf::test
