#include "editor/LineIndex.h"

#include <QAbstractTextDocumentLayout>
#include <QPointer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextOption>

namespace quorlin {

LineIndex& LineIndex::of(QTextDocument* document) {
    // Every pass asks three times about the same document; skip the child search.
    static QPointer<QTextDocument> lastDocument;
    static LineIndex* lastIndex = nullptr;
    if (lastIndex && lastDocument == document) return *lastIndex;
    static const QString kName = QStringLiteral("quorlinLineIndex");
    auto* index = document->findChild<LineIndex*>(kName, Qt::FindDirectChildrenOnly);
    if (!index) {
        index = new LineIndex(document);
        index->setObjectName(kName);
    }
    lastDocument = document;
    lastIndex = index;
    return *index;
}

LineIndex::LineIndex(QTextDocument* document) : QObject(document), document_(document) {
    connect(document, &QTextDocument::contentsChange, this, &LineIndex::onContentsChange);
    connect(document, &QTextDocument::documentLayoutChanged, this, [this] {
        stale_ = true;
        watchLayout();
    });
    watchLayout();
}

// A new document size is how the layout shows both a change of the layout as a
// whole and its stepwise progress through a long document; refresh() tells
// which. Edits are known from contentsChange already.
void LineIndex::watchLayout() {
    connect(document_->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &LineIndex::onLayoutSized, Qt::UniqueConnection);
}

int LineIndex::linesOf(const QTextBlock& block) {
    const QTextLayout* layout = block.layout();
    const int lines = layout ? layout->lineCount() : 0;
    return lines > 0 ? lines : 1;
}

void LineIndex::onLayoutSized() { layoutMoved_ = true; }

void LineIndex::onContentsChange(int position, int, int added) {
    ++version_;
    if (stale_) return;
    const int blocks = int(counts_.size());
    if (blocks != document_->blockCount()) {
        stale_ = true;
        return;
    }
    const QTextBlock firstBlock = document_->findBlock(std::max(position, 0));
    QTextBlock lastBlock = document_->findBlock(position + added);
    if (!lastBlock.isValid()) lastBlock = document_->lastBlock();
    const int first = firstBlock.isValid() ? firstBlock.blockNumber() : 0;
    const int last = std::min(lastBlock.blockNumber(), blocks - 1);
    // Changes over much of the document are cheaper to recount in one walk.
    const int limit = std::max(64, blocks / 8);
    if (last - first >= limit || int(dirty_.size()) >= limit) {
        stale_ = true;
        dirty_.clear();
        return;
    }
    for (int b = first; b <= last; ++b) dirty_.push_back(b);
}

LineIndex::LayoutInputs LineIndex::currentInputs() const {
    const QTextOption option = document_->defaultTextOption();
    LayoutInputs inputs;
    inputs.textWidth = document_->textWidth();
    inputs.font = document_->defaultFont();
    inputs.wrapMode = int(option.wrapMode());
    inputs.flags = int(option.flags());
    inputs.tabStop = option.tabStopDistance();
    inputs.margin = document_->documentMargin();
    inputs.indentWidth = document_->indentWidth();
    inputs.designMetrics = document_->useDesignMetrics();
    return inputs;
}

// A layout started anew clears every block past the part it lays out at once,
// so a block counted as laid out that has lost its lines gives it away.
bool LineIndex::layoutRestarted() const {
    if (frontier_ == 0) return false;
    const QTextLayout* layout = document_->findBlockByNumber(frontier_ - 1).layout();
    return !layout || layout->lineCount() == 0;
}

void LineIndex::rebuild() {
    const int blocks = document_->blockCount();
    counts_.assign(blocks, 1);
    tree_.assign(blocks + 1, 0);
    frontier_ = blocks;
    int b = 0;
    for (QTextBlock block = document_->begin(); block.isValid() && b < blocks; block = block.next(), ++b) {
        const QTextLayout* layout = block.layout();
        if ((!layout || layout->lineCount() == 0) && frontier_ == blocks) frontier_ = b;
        counts_[b] = linesOf(block);
    }
    // Linear-time Fenwick construction.
    for (int i = 1; i <= blocks; ++i) {
        tree_[i] += counts_[i - 1];
        const int parent = i + (i & -i);
        if (parent <= blocks) tree_[parent] += tree_[i];
    }
    total_ = prefix(blocks);
    ++version_;
    inputs_ = currentInputs();
    dirty_.clear();
    stale_ = false;
    layoutMoved_ = false;
}

// Takes in the blocks the stepwise layout has reached since the last query.
void LineIndex::advanceFrontier() {
    QTextBlock block = document_->findBlockByNumber(frontier_);
    for (; frontier_ < int(counts_.size()) && block.isValid(); ++frontier_, block = block.next()) {
        const QTextLayout* layout = block.layout();
        if (!layout || layout->lineCount() == 0) break;
        setCount(frontier_, layout->lineCount());
    }
}

void LineIndex::setCount(int block, int count) {
    const int delta = count - counts_[block];
    if (!delta) return;
    counts_[block] = count;
    total_ += delta;
    ++version_;
    for (int i = block + 1; i < int(tree_.size()); i += i & -i) tree_[i] += delta;
}

void LineIndex::refresh() {
    // A new width relays everything, even when the document's height stays.
    if (document_->textWidth() != inputs_.textWidth) layoutMoved_ = true;
    if (!stale_ && layoutMoved_ && (layoutRestarted() || !(currentInputs() == inputs_))) stale_ = true;
    layoutMoved_ = false;
    if (stale_ || int(counts_.size()) != document_->blockCount()) {
        rebuild();
        return;
    }
    for (int b : dirty_) setCount(b, linesOf(document_->findBlockByNumber(b)));
    dirty_.clear();
    if (frontier_ < int(counts_.size())) advanceFrontier();
}

int LineIndex::prefix(int blocks) const {
    int sum = 0;
    for (int i = blocks; i > 0; i -= i & -i) sum += tree_[i];
    return sum;
}

int LineIndex::blockOfLine(int line) const {
    int pos = 0;
    int remaining = line;
    int step = 1;
    while (step * 2 < int(tree_.size())) step *= 2;
    for (; step > 0; step /= 2) {
        if (pos + step < int(tree_.size()) && tree_[pos + step] <= remaining) {
            pos += step;
            remaining -= tree_[pos];
        }
    }
    return pos;  // blocks before it hold no more than `line` lines
}

void LineIndex::remember(const QTextBlock& block, int number, int firstLine) {
    recent_ = {version_, block, number, block.position(), block.length(), firstLine};
}

int LineIndex::lineFromChar(int position) {
    refresh();
    position = std::max(position, 0);
    if (recent_.version != version_ || position < recent_.position || position >= recent_.position + recent_.length) {
        const QTextBlock block = document_->findBlock(position);
        if (!block.isValid()) return std::max(total_ - 1, 0);
        const int number = block.blockNumber();
        remember(block, number, prefix(number));
    }
    int within = 0;
    if (const QTextLayout* layout = recent_.block.layout(); layout && layout->lineCount() > 0) {
        const QTextLine line = layout->lineForTextPosition(std::min(position - recent_.position, recent_.length - 1));
        within = line.isValid() ? line.lineNumber() : layout->lineCount() - 1;
    }
    return recent_.firstLine + within;
}

int LineIndex::lineIndex(int line) {
    refresh();
    if (line < 0 || line >= total_) return -1;
    if (recent_.version != version_ || line < recent_.firstLine || line >= recent_.firstLine + counts_[recent_.number]) {
        const int number = blockOfLine(line);
        remember(document_->findBlockByNumber(number), number, prefix(number));
    }
    const int within = line - recent_.firstLine;
    const QTextLayout* layout = recent_.block.layout();
    if (!layout || within >= layout->lineCount()) return recent_.position;
    return recent_.position + layout->lineAt(within).textStart();
}

int LineIndex::lineCount() {
    refresh();
    return std::max(total_, 1);
}

}  // namespace quorlin
