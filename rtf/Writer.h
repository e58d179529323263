#pragma once
// Writes the document events of Document.h as RTF that Word, WordPad and
// LibreOffice read back the same. No Qt here.
//
// The font, colour and list tables precede the body in RTF, so the body is
// kept in memory until endDocument(); then header, body and the closing brace
// go to the output in pieces of at most kPieceSize bytes.

#include "rtf/Document.h"

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quorlin::rtf {

// Receives the RTF in pieces; answers false to stop the stream.
using Output = std::function<bool(const char* data, std::size_t size)>;

struct PixelSize {
    int width = 0;
    int height = 0;
};

// The pixel size recorded in a PNG or JPEG file's header; {0, 0} when the
// bytes are neither or the header is damaged.
PixelSize SniffPixelSize(PictureFormat format, std::string_view data);

class Writer : public Sink {
public:
    static constexpr std::size_t kPieceSize = 64 * 1024;
    static constexpr std::size_t kChunkSize = 1024 * 1024;

    // defaultFace is font 0 (\deff0), used by runs whose face is empty.
    explicit Writer(Output out, std::string defaultFace = "Times New Roman");

    void text(std::string_view utf8, const CharFormat& format) override;
    void tab(const CharFormat& format) override;
    void lineBreak(const CharFormat& format) override;
    void picture(const Picture& picture, const CharFormat& format) override;
    void paragraphEnd(const ParaFormat& format) override;
    void cellEnd(const ParaFormat& format) override;
    void rowEnd(const RowFormat& format) override;
    void endDocument() override;

    // True once endDocument() has handed everything over and the output never
    // asked to stop.
    bool succeeded() const { return finished_ && !stopped_; }
    // True as soon as the output has refused a piece.
    bool stopped() const { return stopped_; }

private:
    // What the reader of our output currently believes about the characters.
    struct CharState {
        int font = -1;  // -1: not yet written, forces \f and \fs on the first run
        int size = -1;
        bool bold = false, italic = false, underline = false, strike = false;
        int color = 0;  // colour table index, 0 = automatic
        int background = 0;
        VerticalAlign vertical = VerticalAlign::Normal;
    };
    struct ListDef {
        int rtfId = 0;  // \listid and \ls number
        std::array<ListKind, 9> kinds{};
        std::array<int, 9> counters{};
    };

    void applyFormat(const CharFormat& format);
    void writeStateChanges(const CharState& to);
    void openLink(const std::string& url);
    void closeLink();
    int fontIndex(const std::string& face);
    int colorIndex(const Color& color);
    ListDef& listFor(const ParaFormat& format);

    void endParagraph(const ParaFormat& format, std::string_view mark);
    std::string paragraphProperties(const ParaFormat& format);
    std::string listText(const ParaFormat& format);
    void insertAtParagraphStart(std::string prefix);
    void closeOpenRow(const RowFormat* format);
    void sealChunkIfFull();

    void appendControl(std::string_view word);
    void appendControl(std::string_view word, long long value);
    void appendText(std::string_view utf8);
    void appendPlain(const char* begin, const char* end);
    void appendHex(std::string_view data);
    void breakLineIfLong();
    void newline();

    std::string header() const;
    std::string fontTable() const;
    std::string colorTable() const;
    std::string listTables() const;
    static std::string listLevel(ListKind kind, int level);
    bool send(std::string_view bytes);

    Output out_;
    std::vector<std::string> fonts_;
    std::unordered_map<std::string, int> fontIds_;
    std::vector<Color> colors_;
    std::unordered_map<uint32_t, int> colorIds_;
    std::vector<ListDef> lists_;
    std::unordered_map<int, std::size_t> listIds_;  // ParaFormat::listId -> lists_

    std::vector<std::string> chunks_;     // finished pieces of the body
    std::string body_;                    // the body since the last finished piece
    std::size_t paraStart_ = 0;           // where the open paragraph's content begins
    std::size_t rowStart_ = std::string::npos;  // where the open table row begins
    int rowCells_ = 0;
    std::size_t lineStart_ = 0;
    bool pendingDelimiter_ = false;       // a control word may swallow the next letter
    bool paraHasContent_ = false;         // text, tab, break or picture since the last paragraph end

    CharState state_;
    std::string openLink_;
    CharState stateBeforeLink_;
    ParaFormat lastPara_;
    bool haveLastPara_ = false;           // false forces \pard on the next paragraph
    bool finished_ = false;
    bool stopped_ = false;
};

}  // namespace quorlin::rtf
