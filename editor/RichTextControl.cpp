#include "editor/RichTextControl.h"

#include "editor/LineIndex.h"
#include "editor/RtfExport.h"
#include "editor/RtfImport.h"
#include "platform/Widgets.h"

#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <memory>
#include <vector>

namespace quorlin {

namespace {

// Marks changes the program makes itself, so they do not count as the user's.
class ProgramEdit {
public:
    explicit ProgramEdit(platform::EditorWidget* editor) : editor_(editor), was_(editor->programEditing()) {
        editor_->setProgramEditing(true);
    }
    ~ProgramEdit() { editor_->setProgramEditing(was_); }

private:
    platform::EditorWidget* editor_;
    bool was_;
};

uint32_t EffectsOf(const QTextCharFormat& format) {
    uint32_t effects = 0;
    if (format.fontWeight() > QFont::Medium) effects |= CFE_BOLD;
    if (format.fontItalic()) effects |= CFE_ITALIC;
    if (format.fontUnderline()) effects |= CFE_UNDERLINE;
    if (format.fontStrikeOut()) effects |= CFE_STRIKEOUT;
    return effects;
}

ColorRef ColorRefOf(const QColor& c) { return ColorRef(c.red()) | ColorRef(c.green()) << 8 | ColorRef(c.blue()) << 16; }

QColor ColorOf(ColorRef c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QTextCharFormat FirstCharacterFormat(platform::EditorWidget* editor) {
    const QTextCursor selection = editor->textCursor();
    if (!selection.hasSelection()) return editor->currentCharFormat();
    QTextCursor first(editor->document());
    first.setPosition(selection.selectionStart());
    first.movePosition(QTextCursor::NextCharacter);
    return first.charFormat();
}

QTextCharFormat ModifierFor(const CharFormatRecord& record) {
    QTextCharFormat modifier;
    if (record.dwMask & CFM_BOLD) modifier.setFontWeight(record.dwEffects & CFE_BOLD ? QFont::Bold : QFont::Normal);
    if (record.dwMask & CFM_ITALIC) modifier.setFontItalic(record.dwEffects & CFE_ITALIC);
    if (record.dwMask & CFM_UNDERLINE) modifier.setFontUnderline(record.dwEffects & CFE_UNDERLINE);
    if (record.dwMask & CFM_STRIKEOUT) modifier.setFontStrikeOut(record.dwEffects & CFE_STRIKEOUT);
    if (record.dwMask & CFM_FACE) modifier.setFontFamilies({record.szFaceName});
    if (record.dwMask & CFM_SIZE) modifier.setFontPointSize(record.yHeight / 20.0);
    if (record.dwMask & CFM_COLOR) modifier.setForeground(ColorOf(record.crTextColor));
    return modifier;
}

}  // namespace

CharRange GetSelection(platform::EditorWidget* editor) {
    const QTextCursor cursor = editor->textCursor();
    return CharRange{cursor.selectionStart(), cursor.selectionEnd()};
}

int LineFromChar(platform::EditorWidget* editor, int position) {
    return LineIndex::of(editor->document()).lineFromChar(position);
}

int LineIndexOf(platform::EditorWidget* editor, int line) {
    return LineIndex::of(editor->document()).lineIndex(line);
}

int GetLineCount(platform::EditorWidget* editor) { return LineIndex::of(editor->document()).lineCount(); }

CharFormatRecord GetSelectionCharFormat(platform::EditorWidget* editor) {
    const QTextCharFormat format = FirstCharacterFormat(editor);
    CharFormatRecord record;
    record.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_FACE | CFM_SIZE | CFM_COLOR;
    record.dwEffects = EffectsOf(format);
    const QFont font = format.font();
    record.yHeight = int(std::lround(font.pointSizeF() * 20));
    record.szFaceName = font.family();
    record.crTextColor = format.hasProperty(QTextFormat::ForegroundBrush) ? ColorRefOf(format.foreground().color()) : 0;
    return record;
}

void SetSelectionCharFormat(platform::EditorWidget* editor, const CharFormatRecord& format) {
    editor->mergeCurrentCharFormat(ModifierFor(format));
}

void ClearText(platform::EditorWidget* editor) {
    ProgramEdit guard(editor);
    editor->clear();
    editor->setCurrentCharFormat(QTextCharFormat());
}

// The topic is built in a document of its own and shown only once the whole
// file was read: a read error part-way leaves the editor as it was, rather than
// showing a cut-off topic that a later save would write back over the file.
void StreamIn(platform::EditorWidget* editor, EditStream& stream) {
    ProgramEdit guard(editor);
    auto fresh = std::make_unique<QTextDocument>();
    fresh->setDefaultFont(editor->document()->defaultFont());
    {
        RtfImporter importer(*fresh, editor->currentCharFormat());
        std::vector<uint8_t> buffer(64 * 1024);
        for (;;) {
            int32_t done = 0;
            if (stream.pfnCallback(stream.dwCookie, buffer.data(), int32_t(buffer.size()), &done) != 0) {
                stream.dwError = 1;
                return;
            }
            if (done <= 0) break;
            importer.feed(reinterpret_cast<const char*>(buffer.data()), std::size_t(done));
        }
        importer.finish();
    }
    editor->adoptDocument(fresh.release());
    editor->moveCursor(QTextCursor::Start);
}

void StreamOut(platform::EditorWidget* editor, EditStream& stream) {
    const bool complete = ExportRtf(*editor->document(), [&stream](const char* data, std::size_t size) {
        while (size > 0) {
            const int32_t piece = int32_t(std::min<std::size_t>(size, 1 << 20));
            int32_t done = 0;
            auto* bytes = reinterpret_cast<uint8_t*>(const_cast<char*>(data));
            if (stream.pfnCallback(stream.dwCookie, bytes, piece, &done) != 0 || done != piece) return false;
            data += piece;
            size -= std::size_t(piece);
        }
        return true;
    });
    if (!complete) stream.dwError = 1;
}

void ScrollToOrigin(platform::EditorWidget* editor) {
    editor->verticalScrollBar()->setValue(0);
    editor->horizontalScrollBar()->setValue(0);
}

void SetRedraw(platform::EditorWidget* editor, bool on) { editor->setUpdatesEnabled(on); }

}  // namespace quorlin
