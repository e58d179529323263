#include "editor/CharacterFormat.h"

#include "editor/RichTextControl.h"
#include "platform/Dialogs.h"
#include "shell/AppState.h"

namespace quorlin {

// All four effects are written back as the selection's first character has
// them, the chosen one inverted, so a mixed selection becomes uniform.
void ToggleEffect(int32_t mask) {
    CharFormatRecord format = GetSelectionCharFormat(app.editorHandle);
    const uint32_t effects = (format.dwEffects & 15u) ^ uint32_t(mask);
    CharFormatRecord change;
    change.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
    change.dwEffects = effects;
    SetSelectionCharFormat(app.editorHandle, change);
    app.modified = 1;
}

// Only face and size are taken from the dialog; its style is ignored.
void ChangeSelectionFont() {
    const auto choice = platform::Dialogs().font({app.fontName, app.fontSize});
    if (!choice) return;
    app.fontName = choice->face;
    app.fontSize = choice->pointSizeTenths / 10;
    app.modified = 1;
    CharFormatRecord change;
    change.dwMask = CFM_FACE | CFM_SIZE;
    change.yHeight = app.fontSize * 20;
    change.szFaceName = app.fontName;
    SetSelectionCharFormat(app.editorHandle, change);
}

void ChooseTextColor() {
    const int64_t chosen = platform::Dialogs().color();
    if (chosen < 0) return;
    app.textColor = ColorRef(chosen);
    CharFormatRecord change;
    change.dwMask = CFM_COLOR;
    change.crTextColor = app.textColor;
    SetSelectionCharFormat(app.editorHandle, change);
    app.modified = 1;
}

}  // namespace quorlin
