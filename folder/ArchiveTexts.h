#pragma once
// Texts of the archive's progress display, waiting for their place among the
// program's other texts.

#include <QString>

namespace quorlin::folder::texts {

inline const QString kPackingTitle = QStringLiteral("Zip Folder");

inline QString PackingLabel(const QString& folderName, const QString& archiveName) {
    return QStringLiteral("Packing \"%1\" into %2 ...").arg(folderName, archiveName);
}

}  // namespace quorlin::folder::texts
