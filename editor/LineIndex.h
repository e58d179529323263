#pragma once
// Lines as the editor lays them out (wrapped lines counted), kept per block in
// a Fenwick tree so the caret queries of every loop pass stay cheap in long
// documents. Blocks whose text changed are recounted on the next query. The
// editor lays long documents out in steps from the top, so blocks not yet laid
// out count as one line until the layout reaches them; a change of the layout
// as a whole (new width, font or text options) recounts everything once.

#include <QFont>
#include <QObject>
#include <QTextBlock>
#include <vector>

class QTextDocument;

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
    // What the layout of every block depends on besides the block's own text.
    struct LayoutInputs {
        qreal textWidth = -1;
        QFont font;
        int wrapMode = 0;
        int flags = 0;
        qreal tabStop = 0;
        qreal margin = 0;
        qreal indentWidth = 0;
        bool designMetrics = false;
        bool operator==(const LayoutInputs&) const = default;
    };

    explicit LineIndex(QTextDocument* document);
    void watchLayout();
    void onLayoutSized();
    void onContentsChange(int position, int removed, int added);
    void refresh();
    void rebuild();
    void advanceFrontier();
    bool layoutRestarted() const;
    LayoutInputs currentInputs() const;
    void setCount(int block, int count);
    int prefix(int blocks) const;     // lines in the first `blocks` blocks
    int blockOfLine(int line) const;  // the block holding line, by prefix search
    static int linesOf(const QTextBlock& block);
    void remember(const QTextBlock& block, int number, int firstLine);

    QTextDocument* document_;
    std::vector<int> counts_;
    std::vector<int> tree_;
    std::vector<int> dirty_;
    int total_ = 0;
    // The first block the layout had not reached when counted; counts_.size()
    // once the whole document was laid out.
    int frontier_ = 0;
    LayoutInputs inputs_;
    bool stale_ = true;
    bool layoutMoved_ = false;  // the layout reported a new size since the last query
    // Bumped by every edit and recount. The block of the last answer is kept
    // while it holds, because a pass asks about the caret's line twice and the
    // caret seldom leaves its block between passes.
    int version_ = 0;
    struct Recent {
        int version = -1;
        QTextBlock block;
        int number = 0;
        int position = 0;
        int length = 0;
        int firstLine = 0;
    } recent_;
};

}  // namespace quorlin
