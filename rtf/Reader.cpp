#include "rtf/Reader.h"

#include "rtf/ReaderImpl.h"

#include <algorithm>

namespace quorlin::rtf {

Reader::Reader(Sink& sink) : impl_(std::make_unique<Impl>(sink)) {}
Reader::~Reader() = default;
void Reader::feed(const char* data, std::size_t size) { impl_->feed(data, size); }
void Reader::finish() { impl_->finish(); }

void ReadRtf(std::string_view bytes, Sink& sink) {
    Reader reader(sink);
    reader.feed(bytes.data(), bytes.size());
    reader.finish();
}

Reader::Impl::Impl(Sink& sink) : sink_(sink), scanner_(*this) {
    stack_.reserve(kMaxDepth + 1);
    stack_.emplace_back();
}

void Reader::Impl::feed(const char* data, std::size_t size) {
    switch (mode_) {
    case Mode::Rtf: scanner_.feed(data, size); break;
    case Mode::Plain: plain_.append(data, size); break;
    case Mode::Detect:
        head_.append(data, size);
        detect();
        break;
    case Mode::Done: break;
    }
}

void Reader::Impl::finish() {
    if (mode_ == Mode::Detect) {
        mode_ = Mode::Plain;
        plain_ = std::move(head_);
    }
    if (mode_ == Mode::Plain) finishPlain();
    if (mode_ == Mode::Rtf) {
        scanner_.finish();
        unwind();
    }
    if (mode_ != Mode::Done) sink_.endDocument();
    mode_ = Mode::Done;
}

// Closes every group still open, then ends the last paragraph, row or cell with
// the paragraph format that was in force where the input stopped.
void Reader::Impl::unwind() {
    flushBytes();
    ParaState last = state().para;
    while (skipNesting_ > 0 || overflow_ > 0 || stack_.size() > 1) groupClose();
    beforeEvent();
    if (paraHasContent_) {
        if (last.inTable) endCell(last);
        else endParagraph(last);
    }
    if (cellsInRow_ > 0) endRow();
}

// --- tokens ---

std::size_t Reader::Impl::consumeSkip(std::size_t available) {
    std::size_t n = std::min(skip_, available);
    skip_ -= n;
    return n;
}

void Reader::Impl::text(const char* data, std::size_t size) {
    dropBinary_ = false;
    std::size_t skipped = consumeSkip(size);
    data += skipped;
    size -= skipped;
    Dest dest = state().dest;
    if (size == 0 || dest == Dest::Skip) return;
    if (dest == Dest::Pict) return pictureText(data, size);
    if (bytesEndInLeadByte()) {
        // A double-byte character whose trail byte was written as a plain character.
        bytes_.push_back(*data++);
        --size;
    }
    flushBytes();
    if (size == 0) return;
    const FontEntry* font = dest == Dest::Text ? currentFont() : nullptr;
    if (font != nullptr && font->symbol) {
        utf8Scratch_.clear();
        decoder_.decode(kSymbolCodePage, std::string_view(data, size), utf8Scratch_);
        return emitUtf8(utf8Scratch_);
    }
    emitUtf8(std::string_view(data, size));
}

void Reader::Impl::rawBytes(const char* data, std::size_t size) {
    std::size_t skipped = consumeSkip(size);
    Dest dest = state().dest;
    if (dest == Dest::Skip || dest == Dest::Pict) return;
    for (std::size_t i = skipped; i < size; ++i) pushByte(static_cast<uint8_t>(data[i]));
}

void Reader::Impl::hexByte(uint8_t byte) {
    if (skip_ > 0) {
        --skip_;
        return;
    }
    Dest dest = state().dest;
    if (dest != Dest::Skip && dest != Dest::Pict) pushByte(byte);
}

void Reader::Impl::binary(const char* data, std::size_t size) {
    if (dropBinary_ || state().dest != Dest::Pict || pictureTooBig_) return;
    picture_.data.append(data, size);
    if (picture_.data.size() > kMaxPictureBytes) {
        pictureTooBig_ = true;
        picture_.data = std::string();
    }
}

void Reader::Impl::groupOpen() {
    flushBytes();
    skip_ = 0;
    if (state().dest == Dest::Skip) {
        ++skipNesting_;
    } else if (stack_.size() > kMaxDepth) {
        ++overflow_;
    } else {
        stack_.push_back(stack_.back());
        state().star = false;
    }
}

void Reader::Impl::groupClose() {
    flushBytes();
    skip_ = 0;
    if (state().dest == Dest::Skip && skipNesting_ > 0) {
        --skipNesting_;
    } else if (overflow_ > 0) {
        --overflow_;
    } else if (stack_.size() > 1) {  // an extra '}' closes nothing
        GroupState closed = std::move(stack_.back());
        stack_.pop_back();
        endDestination(closed);
    }
}

void Reader::Impl::controlWord(std::string_view name, bool hasParam, int32_t param) {
    dropBinary_ = false;
    if (skip_ > 0) {
        // A control word stands for one fallback character; so does \bin with its data.
        --skip_;
        dropBinary_ = name == "bin";
        return;
    }
    if (state().dest == Dest::Skip) return;
    flushBytes();
    WordInfo info = LookupWord(name);
    if (state().star) {
        state().star = false;
        if (info.kind != WordKind::Dest) return enterSkip();
    }
    if (info.kind == WordKind::Skip) return enterSkip();
    dispatch(info, hasParam, param);
}

void Reader::Impl::controlSymbol(char symbol) {
    if (skip_ > 0) {
        --skip_;
        return;
    }
    if (state().dest == Dest::Skip) return;
    flushBytes();
    switch (symbol) {
    case '\\': case '{': case '}': return emitUtf8(std::string_view(&symbol, 1));
    case '~': return emitCodePoint(0x00A0);
    case '-': return emitCodePoint(0x00AD);
    case '_': return emitCodePoint(0x2011);
    case '\t': return emitCodePoint('\t');
    case '\n': return emitCodePoint(0x2029);
    case '*': state().star = canSwitchDestination(); return;
    default: return;
    }
}

// --- text ---

void Reader::Impl::pushByte(uint8_t byte) {
    int codePage = currentCodePage();
    if (!bytes_.empty() && codePage != bytesCodePage_) flushBytes();
    bytesCodePage_ = codePage;
    bytes_.push_back(static_cast<char>(byte));
}

bool Reader::Impl::bytesEndInLeadByte() const {
    if (bytes_.empty() || !IsDoubleByteCodePage(bytesCodePage_)) return false;
    std::size_t i = 0;
    while (i < bytes_.size()) i += IsLeadByte(bytesCodePage_, static_cast<uint8_t>(bytes_[i])) ? 2 : 1;
    return i > bytes_.size();
}

void Reader::Impl::flushBytes() {
    if (bytes_.empty()) return;
    utf8Scratch_.clear();
    decoder_.decode(bytesCodePage_, bytes_, utf8Scratch_);
    bytes_.clear();
    emitUtf8(utf8Scratch_);
}

void Reader::Impl::emitUtf8(std::string_view utf8) {
    flushSurrogate();
    deliver(utf8);
}

// A high surrogate with no low half after it shows as a replacement character.
void Reader::Impl::flushSurrogate() {
    if (pendingHigh_ == 0) return;
    pendingHigh_ = 0;
    deliver("\xEF\xBF\xBD");
}

void Reader::Impl::deliver(std::string_view utf8) {
    switch (state().dest) {
    case Dest::Text: return appendRun(utf8);
    case Dest::FontTable: return fontTableText(utf8);
    case Dest::ColorTable: return colorTableText(utf8);
    case Dest::FieldInst: fieldInstruction_.append(utf8); return;
    default: return;
    }
}

void Reader::Impl::emitCodePoint(char32_t u) {
    bool text = state().dest == Dest::Text;
    if (u == '\t' && text) return tab();
    if (u == 0x2028 && text) return lineBreak();
    if (u == 0x2029) {
        if (text) endParagraph(state().para);
        return;
    }
    if (u < 0x20 || u == 0x7F) return;
    std::string one;  // at most four bytes: no allocation
    AppendUtf8(one, u);
    emitUtf8(one);
}

void Reader::Impl::unicode(int32_t value) {
    char32_t u = value < 0 ? static_cast<char32_t>(value + 65536) : static_cast<char32_t>(value);
    if (value < -32768 || u > 0x10FFFF) u = kReplacement;
    const FontEntry* font = currentFont();
    if (font != nullptr && font->symbol && u >= 0xF020 && u <= 0xF0FF && SymbolToUnicode(u - 0xF000) != 0)
        u = SymbolToUnicode(u - 0xF000);  // symbol characters written in the private-use area
    if (u >= 0xD800 && u <= 0xDBFF) {
        flushSurrogate();
        pendingHigh_ = u;
        return;
    }
    if (u >= 0xDC00 && u <= 0xDFFF) {
        u = pendingHigh_ != 0 ? 0x10000 + ((pendingHigh_ - 0xD800) << 10) + (u - 0xDC00) : kReplacement;
        pendingHigh_ = 0;
    }
    emitCodePoint(u);
}

void Reader::Impl::appendRun(std::string_view utf8) {
    if (state().hidden) return;
    if (!run_.empty() && !(runFormat_ == state().run)) flushRun();
    if (run_.empty()) runFormat_ = state().run;
    run_.append(utf8);
    paraHasContent_ = true;
}

void Reader::Impl::flushRun() {
    if (run_.empty()) return;
    sink_.text(run_, resolve(runFormat_));
    run_.clear();
}

void Reader::Impl::beforeEvent() {
    flushBytes();
    flushSurrogate();
    flushRun();
}

const FontEntry* Reader::Impl::currentFont() {
    int32_t index = state().run.font;
    if (index == memoFont_ && fontsVersion_ == memoVersion_) return memoEntry_;
    auto found = fonts_.find(index < 0 ? defaultFont_ : index);
    if (found == fonts_.end()) found = fonts_.find(defaultFont_);
    memoFont_ = index;
    memoVersion_ = fontsVersion_;
    memoEntry_ = found == fonts_.end() ? nullptr : &found->second;
    return memoEntry_;
}

int Reader::Impl::currentCodePage() {
    const FontEntry* font = state().dest == Dest::Text ? currentFont() : nullptr;
    if (font == nullptr) return ansiCodePage_;
    if (font->codePage > 0) return font->codePage;
    if (font->symbol) return kSymbolCodePage;
    int page = CodePageForCharset(font->charset, ansiCodePage_);
    return page == kSymbolCodePage ? 1252 : page;  // a symbol charset on a font we cannot map
}

const CharFormat& Reader::Impl::resolve(const RunFormat& run) {
    if (run == cachedRun_ && cachedVersion_ == fontsVersion_) return cachedFormat_;
    CharFormat& f = cachedFormat_;
    f.bold = run.bold;
    f.italic = run.italic;
    f.underline = run.underline;
    f.strike = run.strike;
    f.vertical = run.vertical;
    f.sizeHalfPoints = run.size;
    auto font = fonts_.find(run.font < 0 ? defaultFont_ : run.font);
    if (font == fonts_.end()) font = fonts_.find(defaultFont_);
    f.face = font == fonts_.end() ? std::string() : font->second.face;
    auto color = [this](int32_t i) { return i > 0 && i < static_cast<int32_t>(colors_.size()) ? colors_[i] : std::nullopt; };
    f.color = color(run.color);
    f.background = color(run.background);
    f.link = links_[static_cast<std::size_t>(run.link)];
    cachedRun_ = run;
    cachedVersion_ = fontsVersion_;
    return f;
}

}  // namespace quorlin::rtf
