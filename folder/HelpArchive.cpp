#include "folder/HelpArchive.h"

#include "shell/Messages.h"
#include "folder/FolderListing.h"
#include "folder/FolderNames.h"
#include "folder/ReplacementFile.h"
#include "folder/ZipWriter.h"
#include "platform/Dialogs.h"
#include "shell/AppState.h"
#include "shell/Messages.h"

#include <QDir>

#include <vector>

namespace quorlin {
namespace {

void CollectInto(const QString& folder, int depth, folder::VisitedFolders& visited) {
    std::vector<folder::FolderEntry> entries;
    if (!folder::ListFolder(folder, entries)) return;
    for (const folder::FolderEntry& entry : entries) {
        const QString path = folder::JoinPath(folder, entry.name);
        app.packEntries.append(path);
        if (entry.isDirectory && visited.enter(path)) CollectInto(path, depth + 1, visited);
    }
}

void ShowMessage(const QString& caption, const QString& text) {
    platform::Dialogs().message({caption, text, platform::MessageButtons::Ok, platform::MessageIcon::None});
}

QString LeftOutReason(const folder::LeftOutFile& file) {
    switch (file.cause) {
    case folder::LeftOutCause::SystemError: return folder::SystemReason(file.errorNumber);
    case folder::LeftOutCause::NotRegularFile: return messages::kNotRegularFile;
    case folder::LeftOutCause::NameNotStorable: return messages::kNameNotStorable;
    case folder::LeftOutCause::Shrank: return messages::kFileShrank;
    case folder::LeftOutCause::WriterRejected: return file.writerText;
    }
    return QString();
}

QStringList LeftOutLines(const std::vector<folder::LeftOutFile>& leftOut) {
    QStringList lines;
    for (const folder::LeftOutFile& file : leftOut) lines << messages::LeftOutLine(file.path, LeftOutReason(file));
    return lines;
}

// The one place where the archive's outcome becomes a message.
void ShowArchiveOutcome(const folder::ArchiveReport& report) {
    switch (report.outcome) {
    case folder::ArchiveOutcome::CreationFailed:
        ShowMessage(messages::kArchiveFailedCaption, messages::kArchiveFailedText);
        break;
    case folder::ArchiveOutcome::Complete:
        ShowMessage(messages::kArchiveDoneCaption, messages::kArchiveDoneText);
        break;
    case folder::ArchiveOutcome::Incomplete:
        ShowMessage(messages::kArchiveDoneCaption, messages::ArchiveIncompleteText(LeftOutLines(report.leftOut)));
        break;
    case folder::ArchiveOutcome::Cancelled:
        ShowMessage(messages::kArchiveCancelledCaption, messages::ArchiveCancelledText(folder::ArchiveName()));
        break;
    }
}

}  // namespace

int ZipTopicFolder() {
    app.packEntries.clear();
    CollectFolderEntries(folder::TopicFolderName(), 0);
    return AddEntriesToArchive();
}

void CollectFolderEntries(const QString& folder, int depth) {
    // An empty name would walk the file system's root.
    if (folder.isEmpty()) return;
    folder::VisitedFolders visited;
    visited.enter(folder);
    CollectInto(folder, depth, visited);
}

int AddEntriesToArchive() {
    const QString archiveName = folder::ArchiveName();
    std::unique_ptr<platform::Progress> progress = platform::Dialogs().progress(
        {messages::kPackingTitle, messages::PackingLabel(folder::TopicFolderName(), archiveName),
         static_cast<int>(app.packEntries.size()), 500});
    folder::ArchiveJob job;
    job.paths = app.packEntries;
    job.archivePath = folder::JoinPath(QDir::currentPath(), archiveName);
    job.progress = [&progress](int done) { return !progress || progress->advance(done); };
    job.itemSize = [](int64_t size) { app.packItemSize = size; };
    const folder::ArchiveReport report = folder::WriteHelpArchive(job);
    progress.reset();  // gone before the closing box
    ShowArchiveOutcome(report);
    return 0;
}

}  // namespace quorlin
