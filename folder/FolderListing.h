#pragma once
// Directory listing shared by the topic search, the file count and the archive
// walk. Entries come in the file system's own order, unsorted.

#include <QString>
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include <sys/types.h>

namespace quorlin::folder {

struct FolderEntry {
    QString name;
    // A symbolic link counts as what it points to; a dangling one as a file.
    bool isDirectory = false;
};

// Every entry of the folder but "." and "..", hidden ones included. False when
// the folder cannot be listed (missing, not a folder, no permission).
bool ListFolder(const QString& folder, std::vector<FolderEntry>& entries);

// The number of entries a bare listing of plain files prints: everything that is
// not a folder (nor a link to one). -1 when the folder cannot be listed.
int32_t CountNonDirectoryEntries(const QString& folder);

// True when the path names an existing folder (links followed).
bool IsExistingDirectory(const QString& path);

// Folders already entered by one walk, by device and inode, so that symbolic-link
// cycles and links to an ancestor end.
class VisitedFolders {
public:
    // True the first time a folder is offered; false when it was entered before
    // or cannot be looked up.
    bool enter(const QString& folder);

private:
    std::set<std::pair<dev_t, ino_t>> seen_;
};

// folder + "/" + name, without doubling a separator already there.
QString JoinPath(const QString& folder, const QString& name);

}  // namespace quorlin::folder
