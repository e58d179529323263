// Paragraphs, cells, rows, tabs and breaks as the Sink sees them.
#include "rtf/ReaderImpl.h"

namespace quorlin::rtf {

void Reader::Impl::tab() {
    if (state().hidden) return;
    beforeEvent();
    sink_.tab(resolve(state().run));
    paraHasContent_ = true;
}

void Reader::Impl::lineBreak() {
    if (state().hidden) return;
    beforeEvent();
    sink_.lineBreak(resolve(state().run));
    paraHasContent_ = true;
}

void Reader::Impl::endParagraph(const ParaState& para) {
    beforeEvent();
    sink_.paragraphEnd(makeParaFormat(para));
    paraHasContent_ = false;
}

void Reader::Impl::endCell(const ParaState& para) {
    beforeEvent();
    ParaFormat format = makeParaFormat(para);
    format.inTable = true;
    sink_.cellEnd(format);
    paraHasContent_ = false;
    ++cellsInRow_;
}

void Reader::Impl::endRow() {
    beforeEvent();
    if (paraHasContent_) endCell(state().para);
    if (cellsInRow_ == 0) return;  // a row with no cell has nothing to show
    sink_.rowEnd(row_);
    cellsInRow_ = 0;
}

ParaFormat Reader::Impl::makeParaFormat(const ParaState& p) {
    ParaFormat f;
    f.align = p.align;
    f.leftIndent = p.leftIndent;
    f.rightIndent = p.rightIndent;
    f.firstIndent = p.firstIndent;
    f.spaceBefore = p.spaceBefore;
    f.spaceAfter = p.spaceAfter;
    f.lineSpacing = p.lineSpacing;
    f.lineMultiple = p.lineMultiple && p.lineSpacing != 0;
    f.tabs.assign(p.tabs.begin(), p.tabs.begin() + p.tabCount);
    f.inTable = p.inTable;
    bool pn = false;
    if (p.ls > 0) {
        f.listKind = listKindFor(p.ls, p.ilvl);
        f.listId = p.ls;
        f.listLevel = p.ilvl;
    } else if (p.pnKind != ListKind::None) {
        // Older numbering has no list ids: consecutive paragraphs make one list.
        pn = true;
        if (!lastParagraphPn_) ++pnListId_;
        f.listKind = p.pnKind;
        f.listId = -pnListId_;
        f.listLevel = p.pnLevel;
    }
    if (f.listKind == ListKind::None) f.listId = f.listLevel = 0;
    lastParagraphPn_ = pn;
    return f;
}

ListKind Reader::Impl::listKindFor(int32_t ls, int32_t level) const {
    auto override = overrides_.find(ls);
    auto list = lists_.find(override != overrides_.end() ? override->second : ls);
    // The list's own number text was skipped, so a list we cannot find still shows as one.
    if (list == lists_.end() || list->second.empty()) return ListKind::Bullet;
    const auto& levels = list->second;
    return levels[std::min<std::size_t>(static_cast<std::size_t>(level), levels.size() - 1)];
}

}  // namespace quorlin::rtf
