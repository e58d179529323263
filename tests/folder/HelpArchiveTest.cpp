// The archive command: Help.zip read back by an independent reader, the closing
// boxes, and the old archive kept whenever the new one cannot be completed.
#include "FolderTestSupport.h"
#include "folder/HelpArchive.h"
#include "folder/ZipWriter.h"
#include "shell/AppState.h"
#include "shell/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorlin {
namespace {

using foldertest::ReadZip;
using foldertest::ScratchDirectory;
using foldertest::ZipListing;

constexpr int kUtf8NameFlag = 0x800;
constexpr int kLevelFlags = 0x6;  // bits 1-2: 0 means the normal deflate level
constexpr int kDeflate = 8;

class HelpArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAppState();
        app.topicFolderName = QStringLiteral("RTF Folder");
        app.archiveName = QStringLiteral("Help.zip");
    }

    ZipListing zip() const { return ReadZip(dir.path() + QStringLiteral("/Help.zip")); }

    // The closing box, which must be the only message.
    std::pair<QString, QString> closingBox() const {
        if (dialogs.messages.size() != 1) {
            ADD_FAILURE() << dialogs.messages.size() << " messages";
            return {};
        }
        return {dialogs.messages.front().caption, dialogs.messages.front().text};
    }

    // Every packed entry's bytes equal the file on disk.
    void expectContentsMatch(const ZipListing& listing) const {
        EXPECT_TRUE(listing.readable);
        for (const foldertest::ZipEntry& entry : listing.entries) {
            const QByteArray bytes = dir.read(QString(entry.name).replace('\\', '/'));
            EXPECT_EQ(entry.size, bytes.size()) << entry.name.toStdString();
            EXPECT_EQ(entry.crc, foldertest::Crc32Of(bytes)) << entry.name.toStdString();
            EXPECT_EQ(entry.method, kDeflate);
            EXPECT_EQ(entry.flags & kLevelFlags, 0);
        }
    }

    // No temporary file stays beside the archive.
    void expectOnlyTopLevel(const QStringList& names) const {
        QStringList expected = names;
        expected.sort();
        EXPECT_EQ(dir.topLevelNames(), expected);
    }

    ScratchDirectory dir;
    foldertest::ScriptedDialogs dialogs;
};

QSet<QString> NameSet(const ZipListing& listing) {
    const QStringList names = listing.names();
    return QSet<QString>(names.begin(), names.end());
}

const std::pair<QString, QString> kEverythingCompressed{messages::kArchiveDoneCaption, messages::kArchiveDoneText};
const std::pair<QString, QString> kCompressionError{messages::kArchiveFailedCaption, messages::kArchiveFailedText};

TEST_F(HelpArchiveTest, NoTopicFolderGivesAnEmptyArchive) {
    EXPECT_EQ(ZipTopicFolder(), 0);
    EXPECT_EQ(closingBox(), kEverythingCompressed);
    EXPECT_EQ(QFileInfo(dir.path() + "/Help.zip").size(), 22);
    const ZipListing listing = zip();
    EXPECT_TRUE(listing.readable);
    EXPECT_TRUE(listing.entries.empty());
    EXPECT_TRUE(app.packEntries.isEmpty());
}

TEST_F(HelpArchiveTest, TwoTopicsGiveTwoDeflatedEntriesWithBackslashNames) {
    dir.write("RTF Folder/a.rtf", "{\\rtf1 alpha alpha alpha}");
    dir.write("RTF Folder/b.rtf", "{\\rtf1 beta}");
    ZipTopicFolder();
    EXPECT_EQ(closingBox(), kEverythingCompressed);
    const ZipListing listing = zip();
    QStringList expected = app.packEntries;
    expected.replaceInStrings("/", "\\");
    EXPECT_EQ(listing.names(), expected);
    EXPECT_EQ(QSet<QString>(expected.begin(), expected.end()),
              (QSet<QString>{"RTF Folder\\a.rtf", "RTF Folder\\b.rtf"}));
    expectContentsMatch(listing);
    for (const auto& entry : listing.entries) EXPECT_EQ(entry.flags & kUtf8NameFlag, 0);
    // One progress display, advanced after each item.
    ASSERT_EQ(dialogs.progressRequests.size(), 1u);
    EXPECT_EQ(dialogs.progressRequests.front().total, 2);
    EXPECT_EQ(dialogs.progressRequests.front().showAfterMs, 500);
    EXPECT_EQ(dialogs.advances, (std::vector<int>{1, 2}));
    EXPECT_EQ(app.packItemSize, QFileInfo(app.packEntries.last()).size());
}

TEST_F(HelpArchiveTest, SubfolderFilesComeAtTheirPlaceInThePreOrderWalk) {
    dir.write("RTF Folder/a.rtf", "a");
    dir.write("RTF Folder/Images/Logo.png", foldertest::RandomBytes(3000, 1));
    dir.write("RTF Folder/Images/Deep/x.rtf", "x");
    dir.write("RTF Folder/.hidden", "h");
    dir.makeFolder("RTF Folder/Empty");
    dir.write("RTF Folder/z.rtf", "z");
    ZipTopicFolder();
    EXPECT_EQ(closingBox(), kEverythingCompressed);

    // Pre-order: everything below a folder follows it directly.
    const QStringList& entries = app.packEntries;
    EXPECT_EQ(entries.size(), 8);
    for (int i = 0; i < entries.size(); ++i) {
        if (!QFileInfo(entries[i]).isDir()) continue;
        int j = i + 1;
        while (j < entries.size() && entries[j].startsWith(entries[i] + "/")) ++j;
        for (int k = j; k < entries.size(); ++k) EXPECT_FALSE(entries[k].startsWith(entries[i] + "/"));
    }
    QStringList files;
    for (const QString& entry : entries)
        if (QFileInfo(entry).isFile()) files << QString(entry).replace('/', '\\');
    const ZipListing listing = zip();
    EXPECT_EQ(listing.names(), files);
    EXPECT_TRUE(files.contains("RTF Folder\\Images\\Logo.png"));
    EXPECT_TRUE(files.contains("RTF Folder\\Images\\Deep\\x.rtf"));
    EXPECT_TRUE(files.contains("RTF Folder\\.hidden"));
    expectContentsMatch(listing);
}

TEST_F(HelpArchiveTest, OnlyNonAsciiNamesAreMarkedUtf8WhateverTheLocale) {
    dir.write(QStringLiteral("RTF Folder/Über Straße.rtf"), "u");
    dir.write("RTF Folder/plain.rtf", "p");
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    for (const char* locale : {"C", "C.UTF-8"}) {
        ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr) << locale;
        dialogs.messages.clear();
        ZipTopicFolder();
        EXPECT_EQ(closingBox(), kEverythingCompressed);
        const ZipListing listing = zip();
        ASSERT_EQ(listing.entries.size(), 2u) << locale;
        for (const auto& entry : listing.entries) {
            const bool ascii = entry.name == "RTF Folder\\plain.rtf";
            EXPECT_EQ(entry.flags & kUtf8NameFlag, ascii ? 0 : kUtf8NameFlag) << locale;
            EXPECT_EQ(entry.rawName, entry.name.toUtf8()) << locale;
        }
        EXPECT_TRUE(listing.names().contains(QStringLiteral("RTF Folder\\Über Straße.rtf"))) << locale;
    }
    std::setlocale(LC_ALL, previous.c_str());
}

TEST_F(HelpArchiveTest, EmptyAndLargeFilesAreCopiedWhole) {
    dir.write("RTF Folder/empty.rtf", "");
    dir.write("RTF Folder/large.bin", foldertest::RandomBytes(5 * 1024 * 1024 + 123, 7));
    ZipTopicFolder();
    EXPECT_EQ(closingBox(), kEverythingCompressed);
    const ZipListing listing = zip();
    ASSERT_EQ(listing.entries.size(), 2u);
    expectContentsMatch(listing);
}

TEST_F(HelpArchiveTest, RunningTwiceGivesTheSameEntries) {
    dir.write("RTF Folder/a.rtf", "a");
    dir.write("RTF Folder/sub/b.rtf", "b");
    ZipTopicFolder();
    const QStringList firstEntries = app.packEntries;
    const QStringList firstNames = zip().names();
    ZipTopicFolder();
    EXPECT_EQ(app.packEntries, firstEntries);
    EXPECT_EQ(zip().names(), firstNames);
    EXPECT_EQ(firstNames.size(), 2);
}

TEST_F(HelpArchiveTest, ReadOnlyOldArchiveIsReplaced) {
    dir.write("Help.zip", "old and not a zip");
    ASSERT_EQ(chmod(QFile::encodeName(dir.path() + "/Help.zip").constData(), 0444), 0);
    dir.write("RTF Folder/a.rtf", "a");
    ZipTopicFolder();
    EXPECT_EQ(closingBox(), kEverythingCompressed);
    EXPECT_EQ(zip().names(), QStringList{"RTF Folder\\a.rtf"});
    expectOnlyTopLevel({"Help.zip", "RTF Folder"});
}

TEST_F(HelpArchiveTest, FolderNamedLikeTheArchiveIsACreationFailure) {
    dir.write("Help.zip/inside.txt", "keep");
    dir.write("RTF Folder/a.rtf", "a");
    EXPECT_EQ(ZipTopicFolder(), 0);
    EXPECT_EQ(closingBox(), kCompressionError);
    EXPECT_EQ(dir.read("Help.zip/inside.txt"), "keep");
    EXPECT_EQ(dir.read("RTF Folder/a.rtf"), "a");
    expectOnlyTopLevel({"Help.zip", "RTF Folder"});
}

TEST_F(HelpArchiveTest, UnpackableFilesAreNamedAndTheRestArePacked) {
    dir.write("RTF Folder/a.rtf", "a");
    dir.write("RTF Folder/vanishing.rtf", "v");
    dir.write("RTF Folder/z.rtf", "z");
    dir.link("nowhere.rtf", "RTF Folder/dangling.rtf");
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.path() + "/RTF Folder/pipe.rtf").constData(), 0644), 0);
    const bool root = geteuid() == 0;  // root reads through any mode bits
    if (!root) {
        dir.write("RTF Folder/locked.rtf", "l");
        chmod(QFile::encodeName(dir.path() + "/RTF Folder/locked.rtf").constData(), 0);
    }
    CollectFolderEntries("RTF Folder", 0);
    QFile::remove(dir.path() + "/RTF Folder/vanishing.rtf");
    AddEntriesToArchive();

    const auto [caption, text] = closingBox();
    EXPECT_EQ(caption, messages::kArchiveDoneCaption);
    QStringList leftOut{"RTF Folder/vanishing.rtf", "RTF Folder/dangling.rtf", "RTF Folder/pipe.rtf"};
    if (!root) leftOut << "RTF Folder/locked.rtf";
    EXPECT_TRUE(text.startsWith(QStringLiteral("%1 files could not be packed").arg(leftOut.size()))) << text.toStdString();
    for (const QString& name : leftOut) EXPECT_TRUE(text.contains(name)) << name.toStdString();
    const ZipListing listing = zip();
    EXPECT_EQ(NameSet(listing),
              (QSet<QString>{"RTF Folder\\a.rtf", "RTF Folder\\z.rtf"}));
    expectContentsMatch(listing);
}

TEST_F(HelpArchiveTest, CancellingKeepsTheOldArchive) {
    dir.write("Help.zip", "previous archive");
    dir.write("RTF Folder/a.rtf", "a");
    dir.write("RTF Folder/b.rtf", "b");
    dialogs.cancelAtAdvance = 1;
    ZipTopicFolder();
    EXPECT_EQ(closingBox(), std::make_pair(messages::kArchiveCancelledCaption, messages::ArchiveCancelledText("Help.zip")));
    EXPECT_EQ(dir.read("Help.zip"), "previous archive");
    expectOnlyTopLevel({"Help.zip", "RTF Folder"});
}

// A file-size limit below the archive's size makes a write fail part-way.
TEST_F(HelpArchiveTest, WriteFailurePartWayKeepsTheOldArchiveByteForByte) {
    const QByteArray old = foldertest::RandomBytes(4096, 3);
    dir.write("Help.zip", old);
    dir.write("RTF Folder/a.rtf", "a");
    dir.write("RTF Folder/big.bin", foldertest::RandomBytes(3 * 1024 * 1024, 4));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{256 * 1024, 256 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        ZipTopicFolder();
        const bool failedBox = dialogs.messages.size() == 1 && dialogs.messages[0].text == messages::kArchiveFailedText;
        _exit(failedBox ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the child did not show the compression error";
    EXPECT_EQ(dir.read("Help.zip"), old);
    expectOnlyTopLevel({"Help.zip", "RTF Folder"});
}

TEST_F(HelpArchiveTest, LinkedFoldersAreFollowedAndCyclesEnd) {
    dir.write("RTF Folder/a.rtf", "a");
    dir.write("RTF Folder/sub/b.rtf", "b");
    dir.write("Shared/c.rtf", "c");
    dir.link("..", "RTF Folder/sub/up");
    dir.link(".", "RTF Folder/self");
    dir.link("../Shared", "RTF Folder/shared");
    ZipTopicFolder();
    EXPECT_EQ(closingBox(), kEverythingCompressed);
    const ZipListing listing = zip();
    EXPECT_EQ(NameSet(listing),
              (QSet<QString>{"RTF Folder\\a.rtf", "RTF Folder\\sub\\b.rtf", "RTF Folder\\shared\\c.rtf"}));
    EXPECT_EQ(listing.entries.size(), 3u);
    expectContentsMatch(listing);
}

// ---- The core: a read that fails after the entry's header was written ----------

struct ReadFault {
    const char* name;
    int failOnCall;      // the n-th read of the file (1-based)
    ssize_t result;      // what that read returns
    folder::LeftOutCause cause;
    int errorNumber;
};

class ReadFaultTest : public HelpArchiveTest, public ::testing::WithParamInterface<ReadFault> {};

TEST_P(ReadFaultTest, TheSpoiledFileIsLeftOutAndTheArchiveRebuilt) {
    const ReadFault& fault = GetParam();
    dir.write("RTF Folder/a.rtf", "a");
    dir.write("RTF Folder/b.bin", foldertest::RandomBytes(5 * 1024 * 1024, 9));
    dir.write("RTF Folder/c.rtf", "c");
    folder::ArchiveJob job;
    job.paths = QStringList{"RTF Folder/a.rtf", "RTF Folder/b.bin", "RTF Folder/c.rtf"};
    job.archivePath = dir.path() + "/Help.zip";
    int readsOfB = 0;
    const QByteArray bName = QFile::encodeName(dir.path() + "/RTF Folder/b.bin");
    job.read = [&](int fd, void* buffer, std::size_t size) -> ssize_t {
        struct stat st {}, bSt {};
        fstat(fd, &st);
        stat(bName.constData(), &bSt);
        if (st.st_ino == bSt.st_ino && ++readsOfB == fault.failOnCall) {
            errno = EIO;
            return fault.result;
        }
        return ::read(fd, buffer, size);
    };
    const folder::ArchiveReport report = folder::WriteHelpArchive(job);
    EXPECT_EQ(report.outcome, folder::ArchiveOutcome::Incomplete);
    ASSERT_EQ(report.leftOut.size(), 1u);
    EXPECT_EQ(report.leftOut[0].path, "RTF Folder/b.bin");
    EXPECT_EQ(report.leftOut[0].cause, fault.cause);
    EXPECT_EQ(report.leftOut[0].errorNumber, fault.errorNumber);
    EXPECT_EQ(report.entriesWritten, 2);
    const ZipListing listing = zip();
    EXPECT_EQ(listing.names(), (QStringList{"RTF Folder\\a.rtf", "RTF Folder\\c.rtf"}));
    expectContentsMatch(listing);
    expectOnlyTopLevel({"Help.zip", "RTF Folder"});
}

INSTANTIATE_TEST_SUITE_P(Faults, ReadFaultTest,
                         ::testing::Values(ReadFault{"FirstReadFails", 1, -1, folder::LeftOutCause::SystemError, EIO},
                                           ReadFault{"SecondChunkFails", 2, -1, folder::LeftOutCause::SystemError, EIO},
                                           ReadFault{"FileEndsEarly", 2, 0, folder::LeftOutCause::Shrank, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quorlin
