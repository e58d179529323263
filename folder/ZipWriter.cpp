#include "folder/ZipWriter.h"

#include "folder/ReplacementFile.h"

#include <QFile>

#include <archive.h>
#include <archive_entry.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <new>
#include <optional>

namespace quorlin::folder {
namespace {

// What became of one collected item.
enum class ItemResult {
    Added,
    NoEntry,      // a folder: nothing to pack, nothing to report
    LeftOut,      // could not be packed; nothing of it was written
    Restart,      // failed after its header was written: this attempt is spoiled
    WriteFailed,  // the archive itself cannot be written
};

// The zip writer marks a non-ASCII name as UTF-8 only when the calling thread's
// character set is UTF-8; a thread-local UTF-8 locale makes that independent of
// the user's locale.
class Utf8Locale {
public:
    Utf8Locale() : locale_(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))) {}
    ~Utf8Locale() {
        if (locale_) freelocale(locale_);
    }
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;
    locale_t get() const { return locale_; }

private:
    locale_t locale_;
};

class ThreadLocaleScope {
public:
    explicit ThreadLocaleScope(locale_t locale) : previous_(locale ? uselocale(locale) : nullptr) {}
    ~ThreadLocaleScope() {
        if (previous_) uselocale(previous_);
    }
    ThreadLocaleScope(const ThreadLocaleScope&) = delete;
    ThreadLocaleScope& operator=(const ThreadLocaleScope&) = delete;

private:
    locale_t previous_;
};

struct ArchiveDeleter {
    void operator()(archive* a) const { archive_write_free(a); }
};
using ArchivePtr = std::unique_ptr<archive, ArchiveDeleter>;

struct EntryDeleter {
    void operator()(archive_entry* e) const { archive_entry_free(e); }
};
using EntryPtr = std::unique_ptr<archive_entry, EntryDeleter>;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Shared by all attempts of one run.
struct RunContext {
    const ArchiveJob& job;
    char* buffer;
    locale_t utf8;
    std::map<int, LeftOutFile> spoiled;  // items that failed after their header, by index
};

// One pass over the collected items into one temporary file.
struct Attempt {
    RunContext& run;
    archive* a;
    ArchiveReport report;
    LeftOutFile item;      // why the current item was left out
    QString writeFailure;  // why the archive could not be written
};

QString ArchiveReason(archive* a) {
    const char* text = archive_error_string(a);
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("Unknown archive error");
}

ssize_t ReadChunk(const RunContext& run, int fd, std::size_t size) {
    for (;;) {
        const ssize_t n = run.job.read ? run.job.read(fd, run.buffer, size) : ::read(fd, run.buffer, size);
        if (n >= 0 || errno != EINTR) return n;
    }
}

// O_NONBLOCK keeps a FIFO or a device from holding the run up at the open.
int OpenForPacking(const QString& path) {
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
}

ArchivePtr OpenArchive(int fd, QString& reason) {
    ArchivePtr a(archive_write_new());
    if (!a) {
        reason = SystemReason(ENOMEM);
        return nullptr;
    }
    // The level must be set before the open: afterwards the option spoils the archive.
    const QByteArray options = QByteArray("compression-level=") + QByteArray::number(kCompressionLevel);
    if (archive_write_set_format_zip(a.get()) != ARCHIVE_OK ||
        archive_write_set_options(a.get(), options.constData()) != ARCHIVE_OK ||
        archive_write_set_bytes_in_last_block(a.get(), 1) != ARCHIVE_OK ||
        archive_write_open_fd(a.get(), fd) != ARCHIVE_OK) {
        reason = ArchiveReason(a.get());
        return nullptr;
    }
    return a;
}

ItemResult LeaveOut(Attempt& attempt, LeftOutCause cause, int errorNumber = 0, const QString& writerText = {}) {
    attempt.item = {QString(), cause, errorNumber, writerText};
    return ItemResult::LeftOut;
}

ItemResult Spoil(Attempt& attempt, LeftOutCause cause, int errorNumber = 0, const QString& writerText = {}) {
    LeaveOut(attempt, cause, errorNumber, writerText);
    return ItemResult::Restart;
}

ItemResult WriteFailure(Attempt& attempt, const QString& reason) {
    attempt.writeFailure = reason;
    return ItemResult::WriteFailed;
}

// Names are validated before they reach the writer, which mishandles empty and
// over-long ones.
bool IsStorableName(const QString& name, const QByteArray& utf8) {
    return name.isValidUtf16() && !utf8.isEmpty() && utf8.size() <= 0xFFFF;
}

ItemResult WriteHeader(Attempt& attempt, const struct stat& st, const QByteArray& name) {
    EntryPtr entry(archive_entry_new());
    if (!entry) return WriteFailure(attempt, SystemReason(ENOMEM));
    archive_entry_copy_stat(entry.get(), &st);
    archive_entry_set_pathname(entry.get(), name.constData());
    archive_entry_set_size(entry.get(), st.st_size);
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    ThreadLocaleScope scope(attempt.run.utf8);
    const int status = archive_write_header(attempt.a, entry.get());
    if (status == ARCHIVE_OK) return ItemResult::Added;
    if (status == ARCHIVE_FATAL) return WriteFailure(attempt, ArchiveReason(attempt.a));
    return Spoil(attempt, LeftOutCause::WriterRejected, 0, ArchiveReason(attempt.a));
}

// Copies exactly the size the header declared; a file that fails or shrinks
// meanwhile spoils its entry.
ItemResult CopyContents(Attempt& attempt, int fd, int64_t size) {
    int64_t remaining = size;
    while (remaining > 0) {
        const auto want = static_cast<std::size_t>(std::min<int64_t>(remaining, kCopyBufferSize));
        const ssize_t got = ReadChunk(attempt.run, fd, want);
        if (got < 0) return Spoil(attempt, LeftOutCause::SystemError, errno);
        if (got == 0) return Spoil(attempt, LeftOutCause::Shrank);
        if (archive_write_data(attempt.a, attempt.run.buffer, static_cast<std::size_t>(got)) != got)
            return WriteFailure(attempt, ArchiveReason(attempt.a));
        remaining -= got;
    }
    if (archive_write_finish_entry(attempt.a) == ARCHIVE_OK) return ItemResult::Added;
    return WriteFailure(attempt, ArchiveReason(attempt.a));
}

ItemResult AddOpenFile(Attempt& attempt, int fd, const QString& path) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return LeaveOut(attempt, LeftOutCause::SystemError, errno);
    if (S_ISDIR(st.st_mode)) return ItemResult::NoEntry;
    if (!S_ISREG(st.st_mode)) return LeaveOut(attempt, LeftOutCause::NotRegularFile);
    const QString name = EntryNameFor(path);
    const QByteArray utf8 = name.toUtf8();
    if (!IsStorableName(name, utf8)) return LeaveOut(attempt, LeftOutCause::NameNotStorable);
    const ItemResult header = WriteHeader(attempt, st, utf8);
    if (header != ItemResult::Added) return header;
    return CopyContents(attempt, fd, st.st_size);
}

ItemResult AddItem(Attempt& attempt, const QString& path) {
    const int64_t size = FileSizeQuery(path);
    if (attempt.run.job.itemSize) attempt.run.job.itemSize(size);
    if (size == -2) return ItemResult::NoEntry;
    FileDescriptor fd(OpenForPacking(path));
    if (fd.get() < 0) return LeaveOut(attempt, LeftOutCause::SystemError, errno);
    return AddOpenFile(attempt, fd.get(), path);
}

enum class AttemptEnd { Finished, Restart, Cancelled, Failed };

// Runs the items through the open archive. On Restart the spoiled item is recorded
// in the run so that the next attempt leaves it out from the start.
ItemResult HandleItem(Attempt& attempt, int index) {
    const auto spoiled = attempt.run.spoiled.find(index);
    if (spoiled == attempt.run.spoiled.end()) return AddItem(attempt, attempt.run.job.paths.at(index));
    attempt.item = spoiled->second;
    return ItemResult::LeftOut;
}

AttemptEnd AddItems(Attempt& attempt) {
    const QStringList& paths = attempt.run.job.paths;
    for (int i = 0; i < paths.size(); ++i) {
        const ItemResult result = HandleItem(attempt, i);
        attempt.item.path = paths.at(i);
        switch (result) {
        case ItemResult::Added: ++attempt.report.entriesWritten; break;
        case ItemResult::NoEntry: break;
        case ItemResult::LeftOut: attempt.report.leftOut.push_back(attempt.item); break;
        case ItemResult::Restart: attempt.run.spoiled[i] = attempt.item; return AttemptEnd::Restart;
        case ItemResult::WriteFailed: return AttemptEnd::Failed;
        }
        if (attempt.run.job.progress && !attempt.run.job.progress(i + 1)) return AttemptEnd::Cancelled;
    }
    return AttemptEnd::Finished;
}

ArchiveReport Failure(const QString& reason) {
    ArchiveReport report;
    report.outcome = ArchiveOutcome::CreationFailed;
    report.reason = reason;
    return report;
}

// Closes the writer; a failed close means the archive's end never reached the file.
bool CloseArchive(ArchivePtr& a, QString& reason) {
    if (archive_write_close(a.get()) != ARCHIVE_OK) {
        reason = ArchiveReason(a.get());
        return false;
    }
    return true;
}

// One attempt from an empty temporary file to the renamed archive; nullopt when
// it must be repeated without a spoiled item.
std::optional<ArchiveReport> RunAttempt(RunContext& run) {
    ReplacementFile file(run.job.archivePath);
    if (!file.open()) return Failure(file.error());
    QString reason;
    ArchivePtr a = OpenArchive(file.fd(), reason);
    if (!a) return Failure(reason);
    Attempt attempt{run, a.get(), {}, {}, {}};
    const AttemptEnd end = AddItems(attempt);
    if (end != AttemptEnd::Finished) archive_write_fail(a.get());  // nothing more reaches the file
    if (end == AttemptEnd::Restart) return std::nullopt;
    if (end == AttemptEnd::Cancelled) return ArchiveReport{ArchiveOutcome::Cancelled, {}, {}, 0};
    if (end == AttemptEnd::Failed) return Failure(attempt.writeFailure);
    if (!CloseArchive(a, reason)) return Failure(reason);
    if (!file.commit()) return Failure(file.error());
    ArchiveReport report = std::move(attempt.report);
    report.outcome = report.leftOut.empty() ? ArchiveOutcome::Complete : ArchiveOutcome::Incomplete;
    return report;
}

}  // namespace

QString EntryNameFor(const QString& path) {
    QString name = path;
    return name.replace(QLatin1Char('/'), QLatin1Char('\\'));
}

int64_t FileSizeQuery(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return -1;
    return S_ISDIR(st.st_mode) ? -2 : static_cast<int64_t>(st.st_size);
}

ArchiveReport WriteHelpArchive(const ArchiveJob& job) {
    // One copy buffer for the whole run, however many attempts it takes.
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kCopyBufferSize]);
    if (!buffer) return Failure(SystemReason(ENOMEM));
    Utf8Locale utf8;
    RunContext run{job, buffer.get(), utf8.get(), {}};
    // Each repeat leaves out one more spoiled file, so this ends.
    for (;;) {
        if (std::optional<ArchiveReport> report = RunAttempt(run)) return std::move(*report);
    }
}

}  // namespace quorlin::folder
