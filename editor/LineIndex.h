#pragma once
// Lines as the editor lays them out (wrapped lines counted), kept per block in
// a Fenwick tree so the caret queries of every loop pass stay cheap in long
// documents. Blocks whose text changed are recounted on the next query; a
// change of the layout as a whole (new width, lazy layout progressing) recounts
// everything once.

#include <QObject>
#include <vector>

class QTextDocument;
class QTextBlock;

namespace quorlin {

class LineIndex : public QObject {
    Q_OBJECT
public:
    // The index of the document, made on first use.
    static LineIndex& of(QTextDocument* document);

    int lineFromChar(int position);
    int lineIndex(int line);  // first character of the line, -1 past the end
    int lineCount();          // at least 1

private:
    explicit LineIndex(QTextDocument* document);
    void onContentsChange(int position, int removed, int added);
    void refresh();
    void rebuild();
    void setCount(int block, int count);
    int prefix(int blocks) const;     // lines in the first `blocks` blocks
    int blockOfLine(int line) const;  // the block holding line, by prefix search
    static int linesOf(const QTextBlock& block);

    QTextDocument* document_;
    std::vector<int> counts_;
    std::vector<int> tree_;
    std::vector<int> dirty_;
    int total_ = 0;
    bool stale_ = true;
    bool provisional_ = false;
};

}  // namespace quorlin
