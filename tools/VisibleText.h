#pragma once
// The text a reader of a topic sees, one paragraph or table cell per line:
// what `quorlin-rtf text` prints and what the corpus tests compare.

#include <QString>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

namespace quorlin {

inline void AppendBlockText(const QTextBlock& block, QString& out) {
    for (QChar c : block.text()) {
        if (c == QChar::LineSeparator) out += QLatin1Char('\n');
        else if (c != QChar::ObjectReplacementCharacter) out += c;  // pictures carry no text
    }
    out += QLatin1Char('\n');
}

inline void AppendFrameText(const QTextFrame& frame, QString& out);

inline void AppendTableText(const QTextTable& table, QString& out) {
    for (int row = 0; row < table.rows(); ++row) {
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            if (cell.row() != row || cell.column() != column) continue;  // covered by a spanning cell
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (it.currentBlock().isValid()) AppendBlockText(it.currentBlock(), out);
                else if (it.currentFrame() != nullptr) AppendFrameText(*it.currentFrame(), out);
            }
        }
    }
}

inline void AppendFrameText(const QTextFrame& frame, QString& out) {
    if (const auto* table = qobject_cast<const QTextTable*>(&frame)) return AppendTableText(*table, out);
    for (auto it = frame.begin(); !it.atEnd(); ++it) {
        if (it.currentBlock().isValid()) AppendBlockText(it.currentBlock(), out);
        else if (it.currentFrame() != nullptr) AppendFrameText(*it.currentFrame(), out);
    }
}

inline QString VisibleText(const QTextDocument& document) {
    QString out;
    AppendFrameText(*document.rootFrame(), out);
    return out;
}

}  // namespace quorlin
