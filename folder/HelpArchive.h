#pragma once
// The archive command: packs every file below the topic folder into the help
// archive in the working directory and tells the user how it went.

#include <QString>

namespace quorlin {

// The command. Returns 0; the program keeps running whatever happened.
int ZipTopicFolder();

// Appends the path of every entry below `folder` (files and folders, hidden ones
// too, "." and ".." left out) to app.packEntries in pre-order. Links to folders
// are followed, but no folder is entered twice. `depth` is 0 for the top folder.
void CollectFolderEntries(const QString& folder, int depth);

// Packs app.packEntries into the archive, replacing the old one only when the new
// one is complete, and shows the closing message. Returns 0.
int AddEntriesToArchive();

}  // namespace quorlin
