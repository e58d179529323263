#pragma once
// Texts of the archive's progress display and of the reasons a file was left
// out, waiting for their place among the program's other texts.

#include <QString>

namespace quorlin::folder::texts {

inline const QString kPackingTitle = QStringLiteral("Zip Folder");

inline QString PackingLabel(const QString& folderName, const QString& archiveName) {
    return QStringLiteral("Packing \"%1\" into %2 ...").arg(folderName, archiveName);
}

inline const QString kNotRegularFile = QStringLiteral("not a regular file");
inline const QString kNameNotStorable = QStringLiteral("its name cannot be stored in a zip archive");
inline const QString kFileShrank = QStringLiteral("the file got shorter while it was being packed");

// One line of the closing box: the path and why it was left out.
inline QString LeftOutLine(const QString& path, const QString& reason) {
    return QStringLiteral("%1 (%2)").arg(path, reason);
}

}  // namespace quorlin::folder::texts
