#pragma once
// The control words the reader acts on, found through a hash table built once
// from one list, so dispatch is a switch on a small id.

#include <cstdint>
#include <string_view>

namespace quorlin::rtf {

enum class Word : uint16_t {
    Unknown,
    AnsiCpg, Bold, Bin, Blue, BulletChar, Cb, Cell, CellX, Cf, ChCbPat, ColorTbl,
    Cpg, Deff, Dn, EmDash, EmSpace, EnDash, EnSpace, Font, FCharset, Fi, Field,
    FldInst, FldRslt, FontTbl, Fs, Green, Highlight, Italic, Ilvl, InTbl, JpegBlip,
    LdblQuote, LevelNfc, Li, Line, List, ListId, ListLevel, ListOverride,
    ListOverrideTbl, ListTbl, LQuote, Ls, LtrMark, NestCell, NestRow, NonShpPict,
    NoSuperSub, Page, Par, Pard, PicH, PicHGoal, Pict, PicScaleX, PicScaleY, PicW,
    PicWGoal, Plain, Pn, PnDec, PnLcLtr, PnLcRm, PnLvl, PnLvlBlt, PnLvlBody,
    PnUcLtr, PnUcRm, PngBlip, Qc, Qj, Ql, QmSpace, Qr, RdblQuote, Red, Ri, Row,
    RQuote, Rtf, RtlMark, Sa, Sb, Sect, ShpPict, Sl, SlMult, Strike, Sub, Super,
    Tab, Tx, Tqc, TqDec, Tqr, TrLeft, Trowd, Unicode, Uc, Ul, UlNone, Up, Hidden,
    Zwj, Zwnj, Skip,
};

// Dest: a destination the reader interprets. Skip: a destination whose whole
// group carries no visible text (spelled Word::Skip).
enum class WordKind : uint8_t { Normal, Dest, Skip };

struct WordInfo {
    Word word = Word::Unknown;
    WordKind kind = WordKind::Normal;
};

// Unknown spellings give Word::Unknown.
WordInfo LookupWord(std::string_view name);

}  // namespace quorlin::rtf
