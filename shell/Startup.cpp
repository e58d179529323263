#include "shell/Startup.h"

#include "editor/RichTextControl.h"
#include "editor/TopicDocuments.h"
#include "folder/TopicList.h"
#include "folder/TopicScan.h"
#include "platform/Dialogs.h"
#include "platform/WindowLayer.h"
#include "platform/Widgets.h"
#include "shell/AppState.h"
#include "shell/EventLoop.h"
#include "shell/Messages.h"
#include "shell/MenusAndToolbar.h"

namespace quorlin {

namespace {

using namespace platform;

void SetStartingValues() {
    ResetAppState();
    Queue().clear();
    app.extensionFilters.clear();
    app.topicFolderName = QStringLiteral("RTF Folder");
    app.archiveName = QStringLiteral("Help.zip");
    app.packEntries.clear();
    app.fontName = QStringLiteral("Times New Roman");
    app.fontSize = 12;
    app.buildTag = QString::number(4) + QStringLiteral(".") + QString::number(30);
}

bool Fail(const QString& text) {
    Dialogs().message({messages::kErrorCaption, text, MessageButtons::Ok, MessageIcon::Error});
    ExitApplication();
    return false;
}

bool CreateWindowParts() {
    app.mainWindow = OpenMainWindow(messages::kWindowTitlePrefix + app.buildTag, QSize(1400, 700));
    if (!app.mainWindow) return Fail(messages::kCannotOpenWindow);
    if (!CreateMenuBar(app.mainWindow)) return Fail(messages::kCannotCreateMenus);
    if (!CreateToolbar(app.mainWindow)) return Fail(messages::kCannotCreateToolbar);
    app.editorHandle = CreateEditor(app.mainWindow, QRect(5, 0, 630, 400));
    if (!app.editorHandle) return Fail(messages::kCannotCreateEditor);
    app.topicListHandle = CreateTopicList(app.mainWindow, QRect(10, 40, 330, 612));
    if (!app.topicListHandle) return Fail(messages::kCannotCreateList);
    FillTopicList();
    if (!CreateStatusBar(app.mainWindow)) return Fail(messages::kCannotCreateStatusBar);
    return true;
}

void ConfigureEditor() {
    InstallKeyFilter(app.mainWindow, app.topicListHandle);
    QObject::connect(app.editorHandle, &EditorWidget::userEdited, [] { app.modified = 1; });
    app.editorHandle->setLineWrapMode(QTextEdit::WidgetWidth);
    SetEditorBackground(app.editorHandle, 255, 255, 223);
}

void SetFonts() {
    SetWidgetFont(app.editorHandle, app.fontName, app.fontSize);
    SetWidgetFont(app.topicListHandle, QStringLiteral("Arial Rounded MT Bold"), 11);
}

}  // namespace

bool StartApplication() {
    SetStartingValues();
    ScanTopicFolder();
    app.modified = 0;
    if (!CreateWindowParts()) return false;
    // Qt paints only what each child leaves uncovered, so no refresh mode is needed.
    app.mainWindow->onResized = MainWindowCallback;
    FillMenuBar();
    app.mainWindow->setStatusText(QStringLiteral("\t"));
    AddToolbarButtons();
    LayOutControls();
    ConfigureEditor();
    SetFonts();
    LoadFirstTopic();
    return true;
}

int RunApplication() {
    if (!StartApplication()) return 0;
    RunEventLoop();
    ExitApplication();
    return 0;
}

void ExitApplication() {
    ReleaseWindowLayer(app.mainWindow);
    ResetAppState();
}

void LayOutControls() {
    if (!app.mainWindow) return;
    const QSize size = LayoutSize(app.mainWindow);
    if (app.editorHandle) MoveControl(app.editorHandle, QRect(270, 40, size.width() - 280, size.height() - 85));
    if (app.topicListHandle) MoveControl(app.topicListHandle, QRect(10, 40, 250, size.height() - 85));
}

// On every size change the editor is laid out anew and shows the start of its
// text; the caret and the selection keep their place.
void MainWindowCallback() {
    if (!app.editorHandle) {
        LayOutControls();
        return;
    }
    SetRedraw(app.editorHandle, false);
    ScrollToOrigin(app.editorHandle);
    LayOutControls();
    SetRedraw(app.editorHandle, true);
}

}  // namespace quorlin
