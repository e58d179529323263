// The startup scan of the topic folder: the plain-file count (through the command
// shell or directly), the topic search, and the rules for extensions and row texts.
#include "FolderTestSupport.h"
#include "folder/ShellListing.h"
#include "folder/TopicScan.h"
#include "folder/WindowsCommandLine.h"
#include "shell/AppState.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorlin {
namespace {

using foldertest::ScratchDirectory;

void StartFresh() {
    ResetAppState();
    app.topicFolderName = QStringLiteral("RTF Folder");
    app.archiveName = QStringLiteral("Help.zip");
    foldertest::UnsetComspec();
}

QSet<QString> NonEmpty(const QStringList& list) {
    QSet<QString> set;
    for (const QString& item : list)
        if (!item.isEmpty()) set.insert(item);
    return set;
}

// ---- ScanTopicFolder over a table of folder set-ups -----------------------------

struct ScanCase {
    const char* name;
    std::function<void(const ScratchDirectory&)> setUp;
    int32_t count;
    QStringList topics;  // expected found paths, any order
};

void NoFolder(const ScratchDirectory&) {}

const ScanCase kScanCases[] = {
    {"TopicsAndAnotherFile",
     [](const ScratchDirectory& d) {
         d.write("RTF Folder/Intro.rtf", "{\\rtf1 a}");
         d.write("RTF Folder/Setup.RTF", "{\\rtf1 b}");
         d.write("RTF Folder/notes.txt", "n");
     },
     3, {"RTF Folder/Intro.rtf", "RTF Folder/Setup.RTF"}},
    {"NoFolder", NoFolder, -1, {}},
    {"FolderIsAPlainFile", [](const ScratchDirectory& d) { d.write("RTF Folder", "x"); }, -1, {}},
    {"EmptyFolder", [](const ScratchDirectory& d) { d.makeFolder("RTF Folder"); }, 0, {}},
    {"OnlySubfolders",
     [](const ScratchDirectory& d) {
         d.write("RTF Folder/Sub/Deep.rtf", "x");
         d.makeFolder("RTF Folder/Other.rtf");
     },
     0, {}},
    {"FileNamedDotRtf", [](const ScratchDirectory& d) { d.write("RTF Folder/.rtf", "x"); }, 1, {}},
    {"NameWithTwoDots", [](const ScratchDirectory& d) { d.write("RTF Folder/my.topic.rtf", "x"); }, 1,
     {"RTF Folder/my.topic.rtf"}},
    {"HiddenFiles",
     [](const ScratchDirectory& d) {
         d.write("RTF Folder/.hidden.rtf", "x");
         d.write("RTF Folder/.profile", "x");
         d.write("RTF Folder/Shown.rtf", "x");
     },
     3, {"RTF Folder/.hidden.rtf", "RTF Folder/Shown.rtf"}},
    {"MixedCaseExtensions",
     [](const ScratchDirectory& d) {
         d.write("RTF Folder/A.Rtf", "x");
         d.write("RTF Folder/b.rTF", "x");
         d.write("RTF Folder/c.rtf.bak", "x");
         d.write("RTF Folder/d rtf", "x");
     },
     4, {"RTF Folder/A.Rtf", "RTF Folder/b.rTF"}},
    {"LinksCountAsWhatTheyPointTo",
     [](const ScratchDirectory& d) {
         d.write("Elsewhere/Real.rtf", "x");
         d.makeFolder("Elsewhere/Dir.rtf");
         d.link("../Elsewhere/Real.rtf", "RTF Folder/Linked.rtf");
         d.link("../Elsewhere/Dir.rtf", "RTF Folder/DirLink.rtf");
         d.link("../Elsewhere/Missing.rtf", "RTF Folder/Dangling.rtf");
     },
     2, {"RTF Folder/Linked.rtf", "RTF Folder/Dangling.rtf"}},
};

class ScanTopicFolderTest : public ::testing::TestWithParam<ScanCase> {
protected:
    void SetUp() override { StartFresh(); }
};

TEST_P(ScanTopicFolderTest, CountAndSlotsFollowTheFolder) {
    const ScanCase& c = GetParam();
    ScratchDirectory dir(QStringLiteral("a working dir"));
    c.setUp(dir);
    ScanTopicFolder();

    EXPECT_EQ(app.topicFolderPath, dir.path() + QStringLiteral("/RTF Folder"));
    EXPECT_EQ(app.folderFileCount, c.count);
    EXPECT_EQ(NonEmpty(app.foundTopics), QSet<QString>(c.topics.begin(), c.topics.end()));
    EXPECT_EQ(app.foundTopics.size(), c.topics.size());
    if (c.count < 0) {
        EXPECT_TRUE(app.topicFiles.isEmpty());
        return;
    }
    ASSERT_EQ(app.topicFiles.size(), c.count + 1);
    EXPECT_EQ(app.topicFiles.at(0), QString());
    // The found paths fill slots 1.. in search order; the rest stay empty.
    for (int i = 0; i < app.foundTopics.size(); ++i) EXPECT_EQ(app.topicFiles.at(i + 1), app.foundTopics.at(i));
    for (int i = app.foundTopics.size() + 1; i <= c.count; ++i) EXPECT_EQ(app.topicFiles.at(i), QString());
}

INSTANTIATE_TEST_SUITE_P(Folders, ScanTopicFolderTest, ::testing::ValuesIn(kScanCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- CountFolderFiles through a fake command shell -----------------------------

// A stand-in shell: records its arguments one per line, writes the requested
// output to standard output and some noise to standard error (which must not count).
const char* const kFakeShell =
    "#!/bin/sh\n"
    "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$QUORLIN_FAKE_RECORD\"\n"
    "printf 'noise on stderr\\n' >&2\n"
    "printf '%b' \"$QUORLIN_FAKE_OUTPUT\"\n";

class FakeShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        StartFresh();
        dir.write("RTF Folder/a.rtf", "x");
        dir.write("shell dir/fake shell.sh", kFakeShell);
        QFile::setPermissions(shellPath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("QUORLIN_FAKE_RECORD", QFile::encodeName(recordPath()));
    }
    void TearDown() override {
        foldertest::UnsetComspec();
        qunsetenv("QUORLIN_FAKE_RECORD");
        qunsetenv("QUORLIN_FAKE_OUTPUT");
    }
    QString shellPath() const { return dir.path() + QStringLiteral("/shell dir/fake shell.sh"); }
    QString recordPath() const { return dir.path() + QStringLiteral("/record.txt"); }
    QString folderPath() const { return dir.path() + QStringLiteral("/RTF Folder"); }
    QStringList recordedArguments() const {
        QString text = QString::fromUtf8(dir.read("record.txt"));
        text.chop(1);
        return text.split(QLatin1Char('\n'));
    }

    ScratchDirectory dir{QStringLiteral("cur dir with spaces")};
};

struct OutputCase {
    const char* output;  // printf %b escapes
    int32_t lines;
};

TEST_F(FakeShellTest, CountsTheLinesOfStandardOutput) {
    const OutputCase cases[] = {
        {"Intro.rtf\\nSetup.RTF\\nnotes.txt\\n", 3},
        {"one\\ntwo", 2},                 // no final newline
        {"one\\r\\ntwo\\r\\n", 2},        // CR LF
        {"one\\r\\n\\r\\nthree", 3},      // an empty line counts
        {"", 0},
        {"\\n", 1},
    };
    qputenv("comspec", QFile::encodeName(shellPath()));
    for (const OutputCase& c : cases) {
        qputenv("QUORLIN_FAKE_OUTPUT", c.output);
        EXPECT_EQ(CountFolderFiles(folderPath()), c.lines) << c.output;
    }
}

TEST_F(FakeShellTest, ShellGetsTheQuotedCommandLineWhateverTheVariablesSpelling) {
    struct Spelling {
        const char* variable;
        bool quoteProgram;
    };
    const Spelling spellings[] = {{"comspec", false}, {"COMSPEC", true}, {"ComSpec", false}};
    qputenv("QUORLIN_FAKE_OUTPUT", "x\\n");
    for (const Spelling& s : spellings) {
        foldertest::UnsetComspec();
        QFile::remove(recordPath());
        const QString value = s.quoteProgram ? QLatin1Char('"') + shellPath() + QLatin1Char('"') : shellPath();
        qputenv(s.variable, QFile::encodeName(value));
        EXPECT_EQ(CountFolderFiles(folderPath()), 1) << s.variable;
        EXPECT_EQ(recordedArguments(),
                  (QStringList{"/c", "dir", "/b", "/a-d", folderPath()}))
            << s.variable;
    }
}

TEST_F(FakeShellTest, WithoutAUsableShellTheFolderIsCountedDirectly) {
    dir.write("RTF Folder/.hidden", "x");
    dir.makeFolder("RTF Folder/sub");
    const char* const values[] = {nullptr, "", "/no/such/shell", "\"/no/such/shell\""};
    for (const char* value : values) {
        foldertest::UnsetComspec();
        if (value) qputenv("comspec", value);
        EXPECT_EQ(CountFolderFiles(folderPath()), 2) << (value ? value : "(unset)");
    }
    EXPECT_FALSE(QFile::exists(recordPath()));
}

TEST_F(FakeShellTest, NoFolderMeansMinusOneAndNoShell) {
    qputenv("comspec", QFile::encodeName(shellPath()));
    for (const QString& path : {QString(), dir.path() + "/Missing", dir.path() + "/RTF Folder/a.rtf"})
        EXPECT_EQ(CountFolderFiles(path), -1) << path.toStdString();
    EXPECT_FALSE(QFile::exists(recordPath()));
    foldertest::UnsetComspec();
    EXPECT_EQ(CountFolderFiles(folderPath() + "/"), 1);
    EXPECT_EQ(CountFolderFiles(folderPath() + "\\"), 1);
}

TEST_F(FakeShellTest, MorePathsThanCountedLinesAreDropped) {
    dir.write("RTF Folder/b.rtf", "x");
    dir.write("RTF Folder/c.rtf", "x");
    qputenv("comspec", QFile::encodeName(shellPath()));
    qputenv("QUORLIN_FAKE_OUTPUT", "only one line\\n");
    ScanTopicFolder();
    EXPECT_EQ(app.folderFileCount, 1);
    EXPECT_EQ(app.foundTopics.size(), 3);
    ASSERT_EQ(app.topicFiles.size(), 2);
    EXPECT_EQ(app.topicFiles.at(1), app.foundTopics.at(0));
}

TEST(LineCounterTest, PiecesOfAnySizeGiveTheSameCount) {
    const QByteArray output("a\r\nbb\n\nlast");
    for (int piece = 1; piece <= output.size(); ++piece) {
        folder::LineCounter counter;
        for (int i = 0; i < output.size(); i += piece) counter.feed(output.constData() + i, std::min<int>(piece, output.size() - i));
        EXPECT_EQ(counter.lines(), 4) << piece;
    }
}

// ---- FindFilesByExtension -----------------------------------------------------

struct SearchCase {
    const char* pattern;
    int32_t recurse;
    QStringList filters;
    QStringList found;  // relative to the searched folder, sorted
};

const SearchCase kSearchCases[] = {
    {"*.rtf", 0, {"RTF"}, {"a.rtf"}},
    {"*.rtf", 1, {"RTF"}, {"a.rtf", "sub/d.rtf", "sub/deeper/e.Rtf"}},
    {"*.rtf", 2, {"RTF"}, {"a.rtf"}},
    {"*.rtf", -1, {"RTF"}, {"a.rtf"}},
    {"*.rtf|*.txt", 0, {"RTF", "TXT"}, {"a.rtf", "b.TXT"}},
    {"*.*", 0, {"*"}, {".rtf", "NAME.", "README", "a.rtf", "b.TXT", "c.rtf.bak"}},
    {"*.rtf|", 0, {"RTF", ""}, {".rtf", "NAME.", "README", "a.rtf"}},
    {"*.rtf|*.RTF", 0, {"RTF", "RTF"}, {"a.rtf", "a.rtf"}},
    {"*.bak", 0, {"BAK"}, {"c.rtf.bak"}},
    {"rtf", 0, {"RTF"}, {"a.rtf"}},
    {"**.rtf", 0, {"*RTF"}, {}},
};

class FindFilesTest : public ::testing::TestWithParam<SearchCase> {
protected:
    void SetUp() override {
        StartFresh();
        for (const char* name : {"a.rtf", "b.TXT", "README", "c.rtf.bak", ".rtf", "NAME.", "sub/d.rtf",
                                 "sub/deeper/e.Rtf"})
            dir.write(QStringLiteral("top/") + name, "x");
    }
    ScratchDirectory dir;
};

TEST_P(FindFilesTest, FiltersAndRecursionDecideWhatIsFound) {
    const SearchCase& c = GetParam();
    QStringList results{"kept"};
    const int32_t total = FindFilesByExtension("top", results, c.pattern, c.recurse);
    EXPECT_EQ(app.extensionFilters, c.filters);
    EXPECT_TRUE(app.filtersBuilt);
    ASSERT_FALSE(results.isEmpty());
    EXPECT_EQ(results.takeFirst(), "kept");
    EXPECT_EQ(total, c.found.size());
    EXPECT_EQ(app.foundCount, c.found.size());
    QStringList expected;
    for (const QString& name : c.found) expected << "top/" + name;
    results.sort();
    EXPECT_EQ(results, expected);
}

INSTANTIATE_TEST_SUITE_P(Patterns, FindFilesTest, ::testing::ValuesIn(kSearchCases));

TEST(FindFilesRunTest, FiltersAreBuiltOnceAndTheCountRunsOn) {
    StartFresh();
    ScratchDirectory dir;
    dir.write("top/a.rtf", "x");
    dir.write("top/b.txt", "x");
    QStringList results;
    EXPECT_EQ(FindFilesByExtension("top", results, "*.rtf", 0), 1);
    EXPECT_EQ(FindFilesByExtension("top", results, "*.txt", 0), 2);  // the first filters stay
    EXPECT_EQ(results, (QStringList{"top/a.rtf", "top/a.rtf"}));
    EXPECT_EQ(FindFilesByExtension("missing", results, "*.rtf", 1), 2);
    EXPECT_EQ(results.size(), 2);
}

TEST(FindFilesRunTest, LinkCyclesAreEnteredOnce) {
    StartFresh();
    ScratchDirectory dir;
    dir.write("top/a.rtf", "x");
    dir.write("top/sub/b.rtf", "x");
    dir.write("outside/c.rtf", "x");
    dir.link("..", "top/sub/up");
    dir.link(".", "top/self");
    dir.link("../outside", "top/out");
    dir.link("../../outside", "top/sub/out again");
    QStringList results;
    FindFilesByExtension("top", results, "*.rtf", 1);
    EXPECT_EQ(results.size(), 3);
    EXPECT_TRUE(results.contains("top/a.rtf"));
    EXPECT_TRUE(results.contains("top/sub/b.rtf"));
    EXPECT_EQ(results.filter("c.rtf").size(), 1);
}

// ---- Pure rules ---------------------------------------------------------------

TEST(NameRulesTest, ExtensionOf) {
    const std::pair<const char*, const char*> cases[] = {
        {"INTRO.RTF", "RTF"},     {"A.B.RTF", "RTF"},      {"TOPIC.RTF.BAK", "BAK"}, {".RTF", ""},
        {"README", ""},           {"NAME.", ""},           {"", ""},                 {"MY FILE.RTF", "RTF"},
        {"MY.FILE RTF", ""},      {"DIR.X/FILE", ""},      {"DIR.X\\FILE", ""},      {"DIR/.RTF", ""},
        {"DIR\\.RTF", ""},        {"X.RTF\"", "RTF"},      {"X.rtf", "rtf"},         {"A..RTF", "RTF"},
    };
    for (const auto& [name, extension] : cases) EXPECT_EQ(ExtensionOf(name), QString(extension)) << name;
}

TEST(NameRulesTest, DisplayNameOf) {
    const std::pair<const char*, const char*> cases[] = {
        {"RTF Folder/Intro.rtf", "Intro"},
        {"RTF Folder\\my.topic.RTF", "my.topic"},
        {"RTF Folder/.rtf", ".rtf"},
        {"RTF Folder/NAME.", "NAME."},
        {"RTF Folder/a b.rtf", "a b"},
        {"RTF Folder/a.b c", "a.b c"},
        {"README", "README"},
        {"dir.d/README", "README"},
        {"\"Intro.rtf\"", "Intro"},
        {"\"C:\\x\\y.rtf\"", "y"},
        {"x.rtf/", ""},
        {"", ""},
    };
    for (const auto& [path, name] : cases) EXPECT_EQ(DisplayNameOf(path), QString(name)) << path;
}

TEST(CommandLineTest, ProgramIsQuotedOnce) {
    EXPECT_EQ(folder::BuildCommandLine("/bin/sh", "/c x"), "\"/bin/sh\" /c x");
    EXPECT_EQ(folder::BuildCommandLine("/my dir/sh", "/c x"), "\"/my dir/sh\" /c x");
    EXPECT_EQ(folder::BuildCommandLine("\"/bin/sh\"", "/c x"), "\"/bin/sh\" /c x");
}

TEST(CommandLineTest, SplitsTheWindowsWay) {
    const std::pair<const char*, QStringList> cases[] = {
        {R"("C:\Windows\cmd.exe" /c dir /b /a-d "C:\My Files\RTF Folder")",
         {R"(C:\Windows\cmd.exe)", "/c", "dir", "/b", "/a-d", R"(C:\My Files\RTF Folder)"}},
        {R"(prog a\\b c)", {"prog", R"(a\\b)", "c"}},             // backslashes before no quote
        {R"(prog a\"b)", {"prog", R"(a"b)"}},                     // odd count: literal quote
        {R"(prog a\\\"b)", {"prog", R"(a\"b)"}},
        {R"(prog a\\"b c")", {"prog", R"(a\b c)"}},               // even count: quote delimits
        {R"(prog "a""b")", {"prog", R"(a"b)"}},                   // "" inside quotes
        {R"(prog "a""b c")", {"prog", R"(a"b)", "c"}},            // ... and leaves the quotes
        {R"(prog """)", {"prog", R"(")"}},
        {R"(prog "" x)", {"prog", "", "x"}},                      // an empty argument
        {"prog  a\t b ", {"prog", "a", "b"}},
        {R"(prog "C:\x\")", {"prog", R"(C:\x")"}},
        {R"(prog "unterminated arg)", {"prog", "unterminated arg"}},
        {R"("C:\Program Files\x.exe"rest y)", {R"(C:\Program Files\x.exe)", "rest", "y"}},
        {R"(C:\dir\"x y)", {R"(C:\dir\"x)", "y"}},               // no escapes in the program
        {R"("/path/with space/sh)", {"/path/with space/sh"}},
        {"", {""}},
    };
    for (const auto& [line, args] : cases) EXPECT_EQ(folder::SplitCommandLine(line), args) << line;
}

}  // namespace
}  // namespace quorlin
