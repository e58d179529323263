#include "folder/ReplacementFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quorlin::folder {
namespace {

QByteArray DirectoryOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

void SyncDirectory(const QByteArray& directory) {
    const int fd = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // best effort: the rename has already happened
    ::close(fd);
}

}  // namespace

QString SystemReason(int errorNumber) { return QString::fromLocal8Bit(std::strerror(errorNumber)); }

ReplacementFile::ReplacementFile(const QString& target) : target_(target) {}

ReplacementFile::~ReplacementFile() { discard(); }

bool ReplacementFile::fail(int errorNumber) {
    error_ = SystemReason(errorNumber);
    return false;
}

bool ReplacementFile::open() {
    const QByteArray target = QFile::encodeName(target_);
    struct stat st {};
    // A folder in the archive's place cannot be replaced: fail before any work.
    if (::stat(target.constData(), &st) == 0 && S_ISDIR(st.st_mode)) return fail(EISDIR);
    const QByteArray stem = DirectoryOf(target) + "/." + QFileInfo(target_).fileName().toUtf8();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QByteArray candidate = stem + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        // Mode 0666 less the umask: the finished archive gets ordinary permissions.
        fd_ = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            tempPath_ = candidate;
            return true;
        }
        if (errno != EEXIST) return fail(errno);
    }
    return fail(EEXIST);
}

bool ReplacementFile::commit() {
    if (::fsync(fd_) != 0) return fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail(errno);
    if (::rename(tempPath_.constData(), QFile::encodeName(target_).constData()) != 0) return fail(errno);
    tempPath_.clear();
    SyncDirectory(DirectoryOf(QFile::encodeName(target_)));
    return true;
}

void ReplacementFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tempPath_.isEmpty()) ::unlink(tempPath_.constData());
    tempPath_.clear();
}

}  // namespace quorlin::folder
