#include "shell/EventLoop.h"

#include "editor/RichTextControl.h"
#include "editor/TopicDocuments.h"
#include "folder/TopicList.h"
#include "platform/Widgets.h"
#include "shell/AppState.h"
#include "shell/Commands.h"
#include "shell/Messages.h"

#include <QCoreApplication>

namespace quorlin {

using namespace platform;

void ShowCaretPosition() {
    app.selectionRange = GetSelection(app.editorHandle);
    app.caretLine = LineFromChar(app.editorHandle, app.selectionRange.cpMin);
    app.caretColumn = app.selectionRange.cpMin - LineIndexOf(app.editorHandle, app.caretLine);
    app.lineCount = GetLineCount(app.editorHandle);
    app.mainWindow->setStatusText(messages::CaretPositionText(app.caretColumn, app.caretLine, app.lineCount));
}

namespace {

void React(const Event& event) {
    switch (event.code) {
    case kCloseEvent: app.quitRequested = 1; break;
    case kCommandEvent: DispatchCommand(event.number); break;
    case kControlEvent:
        if (event.number == kTopicListControl && event.type == kRowChosen) OpenSelectedTopic();
        break;
    case kRawKeyDown: app.modified = 1; break;
    default: break;
    }
}

// Unsaved edits are offered for saving before the program ends.
bool EndsNow() {
    if (!app.quitRequested) return false;
    if (ConfirmExit()) return true;
    app.quitRequested = 0;
    return false;
}

}  // namespace

bool RunPass(const Event& event) {
    app.lastEvent = event.code;
    ShowCaretPosition();
    React(event);
    return EndsNow();
}

void RunEventLoop() {
    while (!RunPass(WaitForEvent())) {
    }
}

bool RunPendingPasses() {
    QCoreApplication::processEvents();
    Event event;
    while (Queue().take(event)) {
        if (RunPass(event)) return true;
        QCoreApplication::processEvents();
    }
    return false;
}

}  // namespace quorlin
