// What each control word does to the group state, the tables and the events.
#include "rtf/ReaderImpl.h"

#include <algorithm>

namespace quorlin::rtf {
namespace {

bool On(bool hasParam, int32_t param) { return !hasParam || param != 0; }

// Indents, spacing and tab positions: far beyond any page, well inside int.
int32_t Twips(int32_t param) { return std::clamp(param, -100000, 100000); }

ListKind KindForNumberFormat(int32_t nfc) {
    switch (nfc) {
    case 23: return ListKind::Bullet;
    case 4: return ListKind::LowerAlpha;
    case 3: return ListKind::UpperAlpha;
    case 2: return ListKind::LowerRoman;
    case 1: return ListKind::UpperRoman;
    case 255: return ListKind::None;
    default: return ListKind::Decimal;
    }
}

}  // namespace

void Reader::Impl::dispatch(WordInfo info, bool hasParam, int32_t param) {
    Word w = info.word;
    if (w == Word::Unknown) return;
    if (characterWord(w, hasParam, param) || paragraphWord(w, hasParam, param) || eventWord(w, param) ||
        destinationWord(w) || tableWord(w, param) || pictureWord(w, param))
        return;
    definitionWord(w, hasParam, param);
}

void Reader::Impl::enterSkip() {
    if (!canSwitchDestination()) return;
    state().dest = Dest::Skip;
    skipNesting_ = 0;
}

bool Reader::Impl::characterWord(Word w, bool hasParam, int32_t param) {
    GroupState& s = state();
    RunFormat& r = s.run;
    switch (w) {
    case Word::Plain: r = RunFormat(); s.hidden = false; return true;
    case Word::Bold: r.bold = On(hasParam, param); return true;
    case Word::Italic: r.italic = On(hasParam, param); return true;
    case Word::Ul: r.underline = On(hasParam, param); return true;
    case Word::UlNone: r.underline = false; return true;
    case Word::Strike: r.strike = On(hasParam, param); return true;
    case Word::Hidden: s.hidden = On(hasParam, param); return true;
    case Word::Fs: r.size = hasParam && param > 0 ? std::min(param, 3276) : 24; return true;
    case Word::Cf: r.color = std::max(param, 0); return true;
    case Word::Cb: case Word::ChCbPat: case Word::Highlight: r.background = std::max(param, 0); return true;
    case Word::Super: r.vertical = VerticalAlign::Superscript; return true;
    case Word::Sub: r.vertical = VerticalAlign::Subscript; return true;
    case Word::NoSuperSub: r.vertical = VerticalAlign::Normal; return true;
    case Word::Up: r.vertical = On(hasParam, param) ? VerticalAlign::Superscript : VerticalAlign::Normal; return true;
    case Word::Dn: r.vertical = On(hasParam, param) ? VerticalAlign::Subscript : VerticalAlign::Normal; return true;
    case Word::Uc: s.uc = static_cast<uint8_t>(std::clamp(param, 0, 255)); return true;
    case Word::Unicode: unicode(param); skip_ = s.uc; return true;
    case Word::Font:
        if (s.dest == Dest::FontTable) beginFont(param);
        else r.font = std::max(param, 0);
        return true;
    default: return false;
    }
}

bool Reader::Impl::paragraphWord(Word w, bool hasParam, int32_t param) {
    ParaState& p = state().para;
    switch (w) {
    case Word::Pard: p = ParaState(); return true;
    case Word::Ql: p.align = Align::Left; return true;
    case Word::Qc: p.align = Align::Center; return true;
    case Word::Qr: p.align = Align::Right; return true;
    case Word::Qj: p.align = Align::Justify; return true;
    case Word::Li: p.leftIndent = Twips(param); return true;
    case Word::Ri: p.rightIndent = Twips(param); return true;
    case Word::Fi: p.firstIndent = Twips(param); return true;
    case Word::Sb: p.spaceBefore = Twips(param); return true;
    case Word::Sa: p.spaceAfter = Twips(param); return true;
    case Word::Sl: p.lineSpacing = Twips(param); return true;
    case Word::SlMult: p.lineMultiple = On(hasParam, param); return true;
    case Word::Tqc: p.nextTab = TabKind::Center; return true;
    case Word::Tqr: p.nextTab = TabKind::Right; return true;
    case Word::TqDec: p.nextTab = TabKind::Decimal; return true;
    case Word::Tx:
        if (p.tabCount < ParaState::kMaxTabs) p.tabs[p.tabCount++] = TabStop{Twips(param), p.nextTab};
        p.nextTab = TabKind::Left;
        return true;
    case Word::InTbl: p.inTable = On(hasParam, param); return true;
    default: return false;
    }
}

bool Reader::Impl::eventWord(Word w, int32_t param) {
    switch (w) {
    case Word::Par: emitCodePoint(0x2029); return true;
    case Word::Line: emitCodePoint(0x2028); return true;
    case Word::Tab: emitCodePoint('\t'); return true;
    case Word::Sect: case Word::Page:
        // A break between pages or sections ends a paragraph that has begun.
        if (paraHasContent_) emitCodePoint(0x2029);
        return true;
    case Word::NestCell: emitCodePoint(0x2029); return true;  // nested tables are flattened
    case Word::NestRow: return true;
    case Word::Cell: if (state().dest == Dest::Text) endCell(state().para); return true;
    case Word::Row: if (state().dest == Dest::Text) endRow(); return true;
    case Word::EmDash: emitCodePoint(0x2014); return true;
    case Word::EnDash: emitCodePoint(0x2013); return true;
    case Word::EmSpace: emitCodePoint(0x2003); return true;
    case Word::EnSpace: emitCodePoint(0x2002); return true;
    case Word::QmSpace: emitCodePoint(0x2005); return true;
    case Word::BulletChar: emitCodePoint(0x2022); return true;
    case Word::LQuote: emitCodePoint(0x2018); return true;
    case Word::RQuote: emitCodePoint(0x2019); return true;
    case Word::LdblQuote: emitCodePoint(0x201C); return true;
    case Word::RdblQuote: emitCodePoint(0x201D); return true;
    case Word::Zwj: emitCodePoint(0x200D); return true;
    case Word::Zwnj: emitCodePoint(0x200C); return true;
    case Word::LtrMark: emitCodePoint(0x200E); return true;
    case Word::RtlMark: emitCodePoint(0x200F); return true;
    case Word::Deff: defaultFont_ = std::max(param, 0); ++fontsVersion_; return true;
    case Word::AnsiCpg: if (param > 0) ansiCodePage_ = param; return true;
    default: return false;
    }
}

bool Reader::Impl::destinationWord(Word w) {
    if (!canSwitchDestination()) return false;
    GroupState& s = state();
    switch (w) {
    case Word::FontTbl: s.dest = Dest::FontTable; return true;
    case Word::ColorTbl: s.dest = Dest::ColorTable; colors_.clear(); colorSet_ = false; return true;
    case Word::ListTbl: s.dest = Dest::ListTable; return true;
    case Word::List: s.dest = Dest::List; list_ = ListDef(); return true;
    case Word::ListLevel: s.dest = Dest::ListLevel; levelKind_ = ListKind::Decimal; return true;
    case Word::ListOverrideTbl: s.dest = Dest::OverrideTable; return true;
    case Word::ListOverride: s.dest = Dest::Override; overrideListId_ = overrideLs_ = 0; return true;
    case Word::Field: s.fieldLink = 0; return true;
    case Word::FldInst: s.dest = Dest::FieldInst; fieldInstruction_.clear(); return true;
    case Word::FldRslt: s.run.link = s.fieldLink; return true;
    case Word::Pn: s.dest = Dest::Pn; return true;
    case Word::ShpPict: return true;
    case Word::Pict:
        if (s.dest != Dest::Text) return enterSkip(), true;
        s.dest = Dest::Pict;
        picture_ = Picture();
        pictureKnown_ = pictureTooBig_ = false;
        pictureHigh_ = -1;
        scaleX_ = scaleY_ = 100;
        goalW_ = goalH_ = 0;
        return true;
    default: return false;
    }
}

bool Reader::Impl::tableWord(Word w, int32_t param) {
    switch (w) {
    case Word::Trowd: row_ = RowFormat(); return true;
    case Word::TrLeft: row_.leftOffset = Twips(param); return true;
    case Word::CellX:
        if (row_.cellRight.size() < 256) row_.cellRight.push_back(Twips(param));
        return true;
    default: return false;
    }
}

bool Reader::Impl::pictureWord(Word w, int32_t param) {
    if (state().dest != Dest::Pict) return false;
    int32_t size = std::clamp(param, 0, 1 << 20);
    switch (w) {
    case Word::PngBlip: picture_.format = PictureFormat::Png; pictureKnown_ = true; return true;
    case Word::JpegBlip: picture_.format = PictureFormat::Jpeg; pictureKnown_ = true; return true;
    case Word::PicW: picture_.pixelWidth = size; return true;
    case Word::PicH: picture_.pixelHeight = size; return true;
    case Word::PicWGoal: goalW_ = size; return true;
    case Word::PicHGoal: goalH_ = size; return true;
    case Word::PicScaleX: scaleX_ = std::clamp(param, 1, 10000); return true;
    case Word::PicScaleY: scaleY_ = std::clamp(param, 1, 10000); return true;
    default: return false;
    }
}

bool Reader::Impl::definitionWord(Word w, bool hasParam, int32_t param) {
    GroupState& s = state();
    ParaState& p = s.para;
    switch (w) {
    case Word::ListId:
        if (s.dest == Dest::List) list_.id = param;
        else if (s.dest == Dest::Override) overrideListId_ = param;
        return true;
    case Word::LevelNfc: levelKind_ = KindForNumberFormat(param); return true;
    case Word::Ls:
        if (s.dest == Dest::Override) overrideLs_ = param;
        else p.ls = std::max(param, 0);
        return true;
    case Word::Ilvl: p.ilvl = std::clamp(param, 0, 8); return true;
    case Word::FCharset: font_.charset = param; return true;
    case Word::Cpg: font_.codePage = std::max(param, 0); return true;
    case Word::Red: color_.r = static_cast<uint8_t>(std::clamp(param, 0, 255)); colorSet_ = true; return true;
    case Word::Green: color_.g = static_cast<uint8_t>(std::clamp(param, 0, 255)); colorSet_ = true; return true;
    case Word::Blue: color_.b = static_cast<uint8_t>(std::clamp(param, 0, 255)); colorSet_ = true; return true;
    default: break;
    }
    if (s.dest != Dest::Pn) return false;
    switch (w) {
    case Word::PnLvlBlt: p.pnKind = ListKind::Bullet; return true;
    case Word::PnLvlBody: if (p.pnKind == ListKind::None) p.pnKind = ListKind::Decimal; return true;
    case Word::PnLvl:
        p.pnLevel = std::clamp(hasParam ? param - 1 : 0, 0, 8);
        if (p.pnKind == ListKind::None) p.pnKind = ListKind::Decimal;
        return true;
    case Word::PnDec: case Word::PnLcLtr: case Word::PnUcLtr: case Word::PnLcRm: case Word::PnUcRm:
        if (p.pnKind != ListKind::Bullet)
            p.pnKind = w == Word::PnDec     ? ListKind::Decimal
                       : w == Word::PnLcLtr ? ListKind::LowerAlpha
                       : w == Word::PnUcLtr ? ListKind::UpperAlpha
                       : w == Word::PnLcRm  ? ListKind::LowerRoman
                                            : ListKind::UpperRoman;
        return true;
    default: return false;
    }
}

}  // namespace quorlin::rtf
