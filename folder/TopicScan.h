#pragma once
// The startup look at the topic folder: how many plain files it holds and which
// of them are topics.

#include <QString>
#include <QStringList>
#include <cstdint>

namespace quorlin {

// The number of lines the command shell's bare listing of the folder's plain files
// prints; -1 when the path (trailing separators removed) is not an existing folder.
// Without a usable "comspec" the folder's non-folder entries are counted directly.
int32_t CountFolderFiles(const QString& folderPath);

// Appends folder + "/" + name for every plain file whose extension is one of the
// pattern's ("*.rtf|*.txt"), descending into sub-folders only when recurse is
// exactly 1. The filters are built once per run (app.extensionFilters). Returns
// the running total app.foundCount.
int32_t FindFilesByExtension(const QString& folder, QStringList& results, const QString& pattern, int32_t recurse);

// The extension of a name, as written: "A.B.rtf" gives "rtf"; ".rtf", "README"
// and "NAME." give "".
QString ExtensionOf(const QString& name);

// A topic's row text: the file name without its folder and final extension.
QString DisplayNameOf(const QString& path);

// Sets topicFolderPath, folderFileCount, foundTopics and topicFiles.
void ScanTopicFolder();

}  // namespace quorlin
