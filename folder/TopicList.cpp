#include "folder/TopicList.h"

#include "editor/TopicDocuments.h"
#include "folder/TopicScan.h"
#include "platform/WindowLayer.h"
#include "platform/Widgets.h"
#include "shell/AppState.h"

namespace quorlin {

namespace {
// The row whose topic the editor shows, so a cancelled switch can put it back.
int g_shownRow = -1;
}  // namespace

void FillTopicList() {
    g_shownRow = -1;
    QStringList rows;
    for (int i = 1; i <= app.folderFileCount; ++i) rows << DisplayNameOf(TopicFileSlot(i));
    app.topicListHandle->addItems(rows);  // one insertion for the whole folder
}

void LoadFirstTopic() {
    app.currentFile = TopicFileSlot(1);
    LoadTopicIntoEditor();
    platform::FocusControl(app.topicListHandle);
}

// Choosing another row with unsaved edits asks first; Cancel keeps the
// document and the list's selection as they were.
void OpenSelectedTopic() {
    const int row = app.topicListHandle->currentRow();
    if (app.modified) {
        if (SavePrompt() == PromptResult::Cancelled) {
            app.topicListHandle->setRowQuietly(g_shownRow);
            return;
        }
        app.modified = 0;
    }
    g_shownRow = row;
    app.currentFile = TopicFileSlot(row + 1);
    LoadTopicIntoEditor();
}

}  // namespace quorlin
