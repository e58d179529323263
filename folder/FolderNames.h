#pragma once
// The fixed names of the topic folder and the archive, as startup set them in
// AppState; the same names when a caller runs a folder operation before startup.

#include "shell/AppState.h"

namespace quorlin::folder {

inline QString TopicFolderName() {
    return app.topicFolderName.isEmpty() ? QStringLiteral("RTF Folder") : app.topicFolderName;
}

inline QString ArchiveName() { return app.archiveName.isEmpty() ? QStringLiteral("Help.zip") : app.archiveName; }

}  // namespace quorlin::folder
