#include "editor/LineIndex.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace quorlin {

LineIndex& LineIndex::of(QTextDocument* document) {
    static const QString kName = QStringLiteral("quorlinLineIndex");
    if (auto* existing = document->findChild<LineIndex*>(kName, Qt::FindDirectChildrenOnly)) return *existing;
    auto* index = new LineIndex(document);
    index->setObjectName(kName);
    return *index;
}

LineIndex::LineIndex(QTextDocument* document) : QObject(document), document_(document) {
    connect(document, &QTextDocument::contentsChange, this, &LineIndex::onContentsChange);
    connect(document, &QTextDocument::documentLayoutChanged, this, [this] {
        stale_ = true;
        connect(document_->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
                [this] { stale_ = true; });
    });
    connect(document->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            [this] { stale_ = true; });
}

int LineIndex::linesOf(const QTextBlock& block) {
    const QTextLayout* layout = block.layout();
    const int lines = layout ? layout->lineCount() : 0;
    return lines > 0 ? lines : 1;
}

void LineIndex::onContentsChange(int position, int, int added) {
    if (stale_) return;
    if (int(counts_.size()) != document_->blockCount()) {
        stale_ = true;
        return;
    }
    const int first = document_->findBlock(position).blockNumber();
    const int last = document_->findBlock(position + added).blockNumber();
    for (int b = std::max(first, 0); b <= last && b < int(counts_.size()); ++b) dirty_.push_back(b);
}

void LineIndex::rebuild() {
    const int blocks = document_->blockCount();
    counts_.assign(blocks, 1);
    tree_.assign(blocks + 1, 0);
    provisional_ = false;
    int b = 0;
    for (QTextBlock block = document_->begin(); block.isValid() && b < blocks; block = block.next(), ++b) {
        const QTextLayout* layout = block.layout();
        if (!layout || layout->lineCount() == 0) provisional_ = true;
        counts_[b] = linesOf(block);
    }
    // Linear-time Fenwick construction.
    for (int i = 1; i <= blocks; ++i) {
        tree_[i] += counts_[i - 1];
        const int parent = i + (i & -i);
        if (parent <= blocks) tree_[parent] += tree_[i];
    }
    total_ = prefix(blocks);
    dirty_.clear();
    stale_ = false;
}

void LineIndex::setCount(int block, int count) {
    const int delta = count - counts_[block];
    if (!delta) return;
    counts_[block] = count;
    total_ += delta;
    for (int i = block + 1; i < int(tree_.size()); i += i & -i) tree_[i] += delta;
}

void LineIndex::refresh() {
    if (stale_ || provisional_ || int(counts_.size()) != document_->blockCount()) {
        rebuild();
        return;
    }
    for (int b : dirty_) setCount(b, linesOf(document_->findBlockByNumber(b)));
    dirty_.clear();
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

int LineIndex::lineFromChar(int position) {
    refresh();
    const QTextBlock block = document_->findBlock(std::max(position, 0));
    if (!block.isValid()) return std::max(total_ - 1, 0);
    int within = 0;
    if (const QTextLayout* layout = block.layout(); layout && layout->lineCount() > 0) {
        const QTextLine line = layout->lineForTextPosition(std::min(position - block.position(), block.length() - 1));
        within = line.isValid() ? line.lineNumber() : layout->lineCount() - 1;
    }
    return prefix(block.blockNumber()) + within;
}

int LineIndex::lineIndex(int line) {
    refresh();
    if (line < 0 || line >= total_) return -1;
    const int blockNumber = blockOfLine(line);
    const QTextBlock block = document_->findBlockByNumber(blockNumber);
    const int within = line - prefix(blockNumber);
    const QTextLayout* layout = block.layout();
    if (!layout || within >= layout->lineCount()) return block.position();
    return block.position() + layout->lineAt(within).textStart();
}

int LineIndex::lineCount() {
    refresh();
    return std::max(total_, 1);
}

}  // namespace quorlin
