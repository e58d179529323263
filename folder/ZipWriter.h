#pragma once
// Writes the help archive: every collected regular file, deflated at level 6,
// under its path with backslash separators. No widgets here: the caller turns
// the report into what the user sees.

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include <sys/types.h>

namespace quorlin::folder {

enum class ArchiveOutcome {
    Complete,        // every collected file is in the archive
    Incomplete,      // the archive was written, some files were left out
    Cancelled,       // the user stopped it; the old archive is untouched
    CreationFailed,  // no archive could be written; the old one is untouched
};

// Why a file was left out; the caller words it for the user.
enum class LeftOutCause {
    SystemError,      // errorNumber says why (missing, no permission, read error)
    NotRegularFile,   // a FIFO, socket or device
    NameNotStorable,  // not valid as a zip entry name
    Shrank,           // the file got shorter while it was being packed
    WriterRejected,   // the archive writer refused its header; writerText says why
};

struct LeftOutFile {
    QString path;
    LeftOutCause cause = LeftOutCause::SystemError;
    int errorNumber = 0;
    QString writerText;
};

struct ArchiveReport {
    ArchiveOutcome outcome = ArchiveOutcome::Complete;
    std::vector<LeftOutFile> leftOut;  // in collected order
    QString reason;                    // the system's reason for CreationFailed, for diagnostics
    int entriesWritten = 0;
};

using ReadFunction = std::function<ssize_t(int fd, void* buffer, std::size_t size)>;

struct ArchiveJob {
    QStringList paths;    // collected paths relative to the working directory, '/'-separated
    QString archivePath;  // replaced only once the new archive is complete
    // Called after each item with the number handled so far; false cancels.
    std::function<bool(int done)> progress;
    // The size query of each item as it is reached: -1 nothing there, -2 a folder.
    std::function<void(int64_t size)> itemSize;
    // Reads file contents; ::read when unset (tests inject failures here).
    ReadFunction read;
};

inline constexpr std::size_t kCopyBufferSize = 2 * 1024 * 1024;
inline constexpr int kCompressionLevel = 6;

ArchiveReport WriteHelpArchive(const ArchiveJob& job);

// The entry name of a collected path: the same path with backslash separators.
QString EntryNameFor(const QString& path);

// -1 when nothing exists at the path, -2 for a folder, otherwise the size in bytes.
int64_t FileSizeQuery(const QString& path);

}  // namespace quorlin::folder
