#pragma once
// The requests the program makes of its rich-text control, over the editor
// widget: selection, display lines, character formats, streaming as RTF.

#include "shell/AppState.h"

#include <QString>
#include <cstdint>

namespace quorlin {

namespace platform {
class EditorWidget;
}

// Effect bits and attribute masks of a character format record.
constexpr uint32_t CFE_BOLD = 1;
constexpr uint32_t CFE_ITALIC = 2;
constexpr uint32_t CFE_UNDERLINE = 4;
constexpr uint32_t CFE_STRIKEOUT = 8;
constexpr uint32_t CFM_BOLD = 1;
constexpr uint32_t CFM_ITALIC = 2;
constexpr uint32_t CFM_UNDERLINE = 4;
constexpr uint32_t CFM_STRIKEOUT = 8;
constexpr uint32_t CFM_FACE = 0x20000000;
constexpr uint32_t CFM_COLOR = 0x40000000;
constexpr uint32_t CFM_SIZE = 0x80000000;

struct CharFormatRecord {
    uint32_t dwMask = 0;
    uint32_t dwEffects = 0;
    int32_t yHeight = 0;  // twips
    ColorRef crTextColor = 0;
    QString szFaceName;
};

// A stream callback: fill or drain up to size bytes, store the count in done,
// answer 0 to go on and nonzero to stop.
using EditStreamCallback = uint32_t (*)(intptr_t cookie, uint8_t* buffer, int32_t size, int32_t* done);

struct EditStream {
    intptr_t dwCookie = 0;
    uint32_t dwError = 0;  // nonzero once the callback stopped the stream
    EditStreamCallback pfnCallback = nullptr;
};

CharRange GetSelection(platform::EditorWidget* editor);
int LineFromChar(platform::EditorWidget* editor, int position);
int LineIndexOf(platform::EditorWidget* editor, int line);
int GetLineCount(platform::EditorWidget* editor);

// The format of the selection's first character (or of the insertion point).
CharFormatRecord GetSelectionCharFormat(platform::EditorWidget* editor);
// Applies the attributes named in dwMask to the selection, or at the insertion
// point for what is typed next when nothing is selected.
void SetSelectionCharFormat(platform::EditorWidget* editor, const CharFormatRecord& format);

// Removes all content.
void ClearText(platform::EditorWidget* editor);
// Replaces the whole content with the RTF the callback delivers. When the
// callback fails part-way the content stays as it was.
void StreamIn(platform::EditorWidget* editor, EditStream& stream);
// Writes the whole content as RTF through the callback.
void StreamOut(platform::EditorWidget* editor, EditStream& stream);

void ScrollToOrigin(platform::EditorWidget* editor);
void SetRedraw(platform::EditorWidget* editor, bool on);

}  // namespace quorlin
