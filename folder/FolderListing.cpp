#include "folder/FolderListing.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>


namespace quorlin::folder {
namespace {

// d_type is a hint; links and file systems without it need a stat of their own.
bool EntryIsDirectory(int dirFd, const dirent* entry) {
    if (entry->d_type == DT_DIR) return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) return false;
    struct stat st {};
    if (fstatat(dirFd, entry->d_name, &st, 0) != 0) return false;  // dangling: a file
    return S_ISDIR(st.st_mode);
}

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

class DirHandle {
public:
    explicit DirHandle(const QString& folder) {
        const QByteArray path = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
        dir_ = opendir(path.constData());
    }
    ~DirHandle() {
        if (dir_) closedir(dir_);
    }
    DirHandle(const DirHandle&) = delete;
    DirHandle& operator=(const DirHandle&) = delete;
    DIR* get() const { return dir_; }

private:
    DIR* dir_ = nullptr;
};

}  // namespace

bool ListFolder(const QString& folder, std::vector<FolderEntry>& entries) {
    DirHandle dir(folder);
    if (!dir.get()) return false;
    const int fd = dirfd(dir.get());
    while (const dirent* entry = readdir(dir.get())) {
        if (!IsDotOrDotDot(entry->d_name))
            entries.push_back({QFile::decodeName(entry->d_name), EntryIsDirectory(fd, entry)});
    }
    return true;
}

int32_t CountNonDirectoryEntries(const QString& folder) {
    std::vector<FolderEntry> entries;
    if (!ListFolder(folder, entries)) return -1;
    int32_t count = 0;
    for (const FolderEntry& entry : entries)
        if (!entry.isDirectory) ++count;
    return count;
}

bool IsExistingDirectory(const QString& path) {
    if (path.isEmpty()) return false;
    struct stat st {};
    return stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool VisitedFolders::enter(const QString& folder) {
    struct stat st {};
    const QString path = folder.isEmpty() ? QStringLiteral(".") : folder;
    if (stat(QFile::encodeName(path).constData(), &st) != 0) return false;
    return seen_.insert({st.st_dev, st.st_ino}).second;
}

QString JoinPath(const QString& folder, const QString& name) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/'))) return folder + name;
    return folder + QLatin1Char('/') + name;
}

}  // namespace quorlin::folder
