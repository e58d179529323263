#pragma once
// Inside the reader: the group states and tables it keeps while it reads.
// Only Reader*.cpp include this.

#include "rtf/ControlWords.h"
#include "rtf/Reader.h"
#include "rtf/Scanner.h"
#include "rtf/TextDecoder.h"

#include <array>
#include <string>
#include <unordered_map>
#include <vector>

namespace quorlin::rtf {

// A picture larger than this is dropped rather than held.
constexpr std::size_t kMaxPictureBytes = 64u << 20;

enum class Dest : uint8_t {
    Text, Skip, FontTable, ColorTable, ListTable, List, ListLevel, OverrideTable, Override, FieldInst, Pict, Pn
};

// What a text run's look is made of, by table index; compared to join runs.
struct RunFormat {
    int32_t font = -1;  // -1: the document's default font (\deff)
    int32_t size = 24;
    int32_t color = 0;  // colour table index, 0: automatic
    int32_t background = 0;
    int32_t link = 0;   // index into the links read so far, 0: none
    bool bold = false, italic = false, underline = false, strike = false;
    VerticalAlign vertical = VerticalAlign::Normal;
    bool operator==(const RunFormat&) const = default;
};

// ParaFormat without allocation, so a group copies it cheaply.
struct ParaState {
    static constexpr std::size_t kMaxTabs = 32;
    Align align = Align::Left;
    int32_t leftIndent = 0, rightIndent = 0, firstIndent = 0;
    int32_t spaceBefore = 0, spaceAfter = 0, lineSpacing = 0;
    bool lineMultiple = false;
    bool inTable = false;
    TabKind nextTab = TabKind::Left;
    uint8_t tabCount = 0;
    std::array<TabStop, kMaxTabs> tabs{};
    int32_t ls = 0, ilvl = 0;            // \ls list override, \ilvl level
    ListKind pnKind = ListKind::None;    // older \pn numbering
    int32_t pnLevel = 0;
};

struct GroupState {
    RunFormat run;
    ParaState para;
    Dest dest = Dest::Text;
    bool hidden = false;
    bool star = false;      // \* seen: the next word names a destination
    uint8_t uc = 1;         // fallback characters after \uN
    int32_t fieldLink = 0;  // the link a \fldrslt in this field takes
};

struct FontEntry {
    std::string face;
    int charset = -1;  // -1: none given
    int codePage = 0;  // \cpg, 0: none given
    bool symbol = false;
};

struct ListDef {
    int32_t id = 0;
    std::vector<ListKind> levels;
};

class Reader::Impl final : public ScanHandler {
public:
    explicit Impl(Sink& sink);
    void feed(const char* data, std::size_t size);
    void finish();

    // ScanHandler
    void text(const char* data, std::size_t size) override;
    void rawBytes(const char* data, std::size_t size) override;
    void groupOpen() override;
    void groupClose() override;
    void controlWord(std::string_view name, bool hasParam, int32_t param) override;
    void controlSymbol(char symbol) override;
    void hexByte(uint8_t byte) override;
    void binary(const char* data, std::size_t size) override;

private:
    enum class Mode : uint8_t { Detect, Rtf, Plain, Done };

    GroupState& state() { return stack_.back(); }
    bool canSwitchDestination() const { return stack_.size() > 2 && overflow_ == 0; }

    // Start of input and plain text (ReaderPlain.cpp)
    void detect();
    void finishPlain();
    void emitPlainLine(std::string_view line);

    // Text (Reader.cpp)
    std::size_t consumeSkip(std::size_t available);
    void pushByte(uint8_t byte);
    void flushBytes();
    bool bytesEndInLeadByte() const;
    void emitUtf8(std::string_view utf8);
    void flushSurrogate();
    void deliver(std::string_view utf8);
    void emitCodePoint(char32_t codePoint);
    void unicode(int32_t value);
    void appendRun(std::string_view utf8);
    void flushRun();
    void beforeEvent();
    const FontEntry* currentFont();
    int currentCodePage();
    const CharFormat& resolve(const RunFormat& run);
    void unwind();

    // Events (ReaderEvents.cpp)
    void tab();
    void lineBreak();
    void endParagraph(const ParaState& para);
    void endCell(const ParaState& para);
    void endRow();
    ParaFormat makeParaFormat(const ParaState& para);
    ListKind listKindFor(int32_t ls, int32_t level) const;

    // Control words (ReaderWords.cpp)
    void dispatch(WordInfo info, bool hasParam, int32_t param);
    bool characterWord(Word word, bool hasParam, int32_t param);
    bool paragraphWord(Word word, bool hasParam, int32_t param);
    bool eventWord(Word word, int32_t param);
    bool destinationWord(Word word);
    bool tableWord(Word word, int32_t param);
    bool pictureWord(Word word, int32_t param);
    // Font, colour and list tables, and the older \pn numbering.
    bool definitionWord(Word word, bool hasParam, int32_t param);
    void enterSkip();

    // Destinations (ReaderDestinations.cpp)
    void endDestination(const GroupState& closed);
    void beginFont(int32_t index);
    void commitFont();
    void fontTableText(std::string_view utf8);
    void colorTableText(std::string_view utf8);
    void pictureText(const char* data, std::size_t size);
    void finishPicture();
    void finishField();

    Sink& sink_;
    Scanner scanner_;
    CodePageDecoder decoder_;
    Mode mode_ = Mode::Detect;
    std::string head_;   // the first bytes, until they tell RTF from plain text
    std::string plain_;  // a plain-text file, decoded at the end

    std::vector<GroupState> stack_;  // [0]: outside every group
    std::size_t overflow_ = 0;       // groups past kMaxDepth still open
    std::size_t skipNesting_ = 0;    // groups open inside a skipped destination

    std::size_t skip_ = 0;           // \uc fallback characters still to skip
    bool dropBinary_ = false;        // the \bin data is a skipped fallback
    char32_t pendingHigh_ = 0;       // a high surrogate waiting for its low half
    std::string bytes_;              // 8-bit text waiting to be decoded together
    int bytesCodePage_ = 1252;

    std::string run_;                // text waiting for its Sink::text call
    RunFormat runFormat_;
    bool paraHasContent_ = false;
    std::string utf8Scratch_;

    int32_t defaultFont_ = 0;
    int ansiCodePage_ = 1252;
    std::unordered_map<int32_t, FontEntry> fonts_;
    unsigned fontsVersion_ = 0;
    bool fontInProgress_ = false;
    int32_t fontIndex_ = 0;
    FontEntry font_;
    int32_t memoFont_ = -2;
    unsigned memoVersion_ = ~0u;
    const FontEntry* memoEntry_ = nullptr;

    std::vector<std::optional<Color>> colors_;
    Color color_;
    bool colorSet_ = false;

    std::vector<std::string> links_{std::string()};
    std::string fieldInstruction_;

    std::unordered_map<int32_t, std::vector<ListKind>> lists_;
    std::unordered_map<int32_t, int32_t> overrides_;  // \ls -> \listid
    ListDef list_;
    ListKind levelKind_ = ListKind::Decimal;
    int32_t overrideListId_ = 0, overrideLs_ = 0;
    int32_t pnListId_ = 0;
    bool lastParagraphPn_ = false;

    Picture picture_;
    bool pictureKnown_ = false;      // PNG or JPEG
    bool pictureTooBig_ = false;
    int pictureHigh_ = -1;           // the first hex digit of a byte
    int32_t scaleX_ = 100, scaleY_ = 100, goalW_ = 0, goalH_ = 0;

    RowFormat row_;
    int cellsInRow_ = 0;

    RunFormat cachedRun_;
    unsigned cachedVersion_ = ~0u;
    CharFormat cachedFormat_;
};

}  // namespace quorlin::rtf
