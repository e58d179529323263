#include "platform/WindowLayer.h"

#include "platform/Events.h"
#include "platform/Images.h"
#include "platform/Widgets.h"

#include <QApplication>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

namespace quorlin::platform {

namespace {

std::optional<CreationStep> g_failing;

bool Fails(CreationStep step) { return g_failing && *g_failing == step; }

void CentreOnPrimaryScreen(QWidget* window) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QSize outer = window->frameGeometry().size();
    const QSize avail = screen->size();
    const int x = (avail.width() - std::min(outer.width(), avail.width())) / 2;
    const int y = (avail.height() - std::min(outer.height(), avail.height())) / 2;
    window->move(screen->geometry().topLeft() + QPoint(x, y));
}

}  // namespace

void SetFailingCreationStep(std::optional<CreationStep> step) { g_failing = step; }

MainWindow* OpenMainWindow(const QString& title, QSize clientSize) {
    if (Fails(CreationStep::MainWindow)) return nullptr;
    auto* window = new MainWindow();
    window->setWindowTitle(title);
    window->setWindowIcon(ApplicationIcon());
    window->resize(clientSize);
    window->show();
    CentreOnPrimaryScreen(window);
    window->applyTrackSizes();
    return window;
}

bool CreateMenuBar(MainWindow* window) {
    if (Fails(CreationStep::MenuBar)) return false;
    window->menuBar()->setNativeMenuBar(false);
    return true;
}

bool CreateToolbar(MainWindow* window) {
    return !Fails(CreationStep::Toolbar) && window->createToolbar();
}

EditorWidget* CreateEditor(MainWindow* window, const QRect& rect) {
    if (Fails(CreationStep::Editor)) return nullptr;
    auto* editor = new EditorWidget(window->clientArea());
    editor->setProperty("controlId", kEditorControl);
    editor->setLineWrapMode(QTextEdit::WidgetWidth);
    editor->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    MoveControl(editor, rect);
    editor->show();
    return editor;
}

TopicListWidget* CreateTopicList(MainWindow* window, const QRect& rect) {
    if (Fails(CreationStep::TopicList)) return nullptr;
    auto* list = new TopicListWidget(window->clientArea());
    list->setProperty("controlId", kTopicListControl);
    MoveControl(list, rect);
    list->show();
    return list;
}

bool CreateStatusBar(MainWindow* window) {
    return !Fails(CreationStep::StatusBar) && window->createStatusBar();
}

void SetWidgetFont(QWidget* widget, const QString& face, int pointSize) {
    QFont font(face);
    font.setPointSize(pointSize);
    widget->setFont(font);
    if (auto* editor = qobject_cast<EditorWidget*>(widget)) {
        editor->document()->setDefaultFont(font);
        editor->setCurrentFont(font);
    }
}

void SetEditorBackground(EditorWidget* editor, int red, int green, int blue) {
    QPalette palette = editor->palette();
    palette.setColor(QPalette::Base, QColor(red, green, blue));
    palette.setColor(QPalette::Text, Qt::black);
    editor->setPalette(palette);
}

QSize LayoutSize(const MainWindow* window) {
    // The client area sits below the menu bar; adding that height back keeps the
    // layout the same whether or not the menu bar is attached.
    return QSize(window->clientArea()->width(), window->height());
}

void MoveControl(QWidget* control, const QRect& rect) {
    control->setGeometry(rect);
    control->update();
}

void ShowControl(QWidget* control, bool visible) { control->setVisible(visible); }

void FocusControl(QWidget* control) {
    control->activateWindow();
    control->setFocus(Qt::OtherFocusReason);
}

void ReleaseWindowLayer(MainWindow* window) {
    RemoveKeyFilter();
    Queue().clear();
    if (!window) return;
    window->onResized = nullptr;
    window->hide();
    delete window;
}

}  // namespace quorlin::platform
