#include "shell/Messages.h"

namespace quorlin::messages {

QString SaveFailedText(const QString& path, const QString& reason) {
    return QStringLiteral("UNABLE TO SAVE FILE\n%1: %2").arg(path, reason);
}

QString ArchiveIncompleteText(const QStringList& leftOut) {
    constexpr int kNamed = 10;
    QString text = leftOut.size() == 1
                       ? QStringLiteral("1 file could not be packed and was left out:")
                       : QStringLiteral("%1 files could not be packed and were left out:").arg(leftOut.size());
    for (int i = 0; i < leftOut.size() && i < kNamed; ++i) text += QLatin1Char('\n') + leftOut.at(i);
    if (leftOut.size() > kNamed) text += QStringLiteral("\nand %1 more").arg(leftOut.size() - kNamed);
    return text;
}

QString ArchiveCancelledText(const QString& archiveName) {
    return QStringLiteral("Packing was cancelled; %1 was left as it was.").arg(archiveName);
}

QString PackingLabel(const QString& folderName, const QString& archiveName) {
    return QStringLiteral("Packing \"%1\" into %2 ...").arg(folderName, archiveName);
}

QString LeftOutLine(const QString& path, const QString& reason) {
    return QStringLiteral("%1 (%2)").arg(path, reason);
}

QString CaretPositionText(int caretColumn, int caretLine, int lineCount) {
    return QStringLiteral("Char %1 Line %2 of %3 lines").arg(caretColumn + 1).arg(caretLine + 1).arg(lineCount);
}

}  // namespace quorlin::messages
