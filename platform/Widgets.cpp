#include "platform/Widgets.h"

#include "platform/Events.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

namespace quorlin::platform {

MainWindow::MainWindow() {
    client_ = new QWidget(this);
    setCentralWidget(client_);
    // The client area changes size with the window and when the menu bar is attached.
    client_->installEventFilter(this);
}

bool MainWindow::createToolbar() {
    toolbar_ = new QToolBar(client_);
    toolbar_->setObjectName(QStringLiteral("toolbar"));
    toolbar_->setIconSize(QSize(24, 24));
    toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    fitToolbar();
    toolbar_->show();
    return true;
}

bool MainWindow::createStatusBar() {
    statusField_ = new QLabel(QStringLiteral("\t"), this);
    statusField_->setMinimumHeight(18);
    // The field takes the bar's width whatever it says, so a new caret position
    // repaints it without laying out the status bar again.
    statusField_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    statusBar()->addWidget(statusField_, 1);
    statusBar()->setSizeGripEnabled(true);
    return true;
}

void MainWindow::addMenuTitle(const QString& title) { currentMenu_ = menuBar()->addMenu(title); }

void MainWindow::addMenuItem(int command, const QString& caption) {
    QAction* action = currentMenu_->addAction(caption);
    action->setData(command);
    connect(action, &QAction::triggered, this, [command] { Queue().post({kCommandEvent, command, 0}); });
}

void MainWindow::addMenuSeparator() { currentMenu_->addSeparator(); }

void MainWindow::addToolbarButton(int command, const QIcon& icon, const QString& tooltip) {
    QAction* action = toolbar_->addAction(icon, QString());
    action->setData(command);
    action->setToolTip(tooltip);
    connect(action, &QAction::triggered, this, [command] { Queue().post({kCommandEvent, command, 0}); });
    fitToolbar();
}

void MainWindow::addToolbarSeparator() { toolbar_->addSeparator(); }

void MainWindow::setStatusText(const QString& text) {
    if (statusField_) statusField_->setText(text);
}

void MainWindow::applyTrackSizes() {
    const QSize frame = frameGeometry().size() - size();
    setMinimumSize(QSize(750, 550) - frame);
    // The screen bounds dragging only: a window opened larger keeps its size.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        setMaximumSize((screen->size() - frame).expandedTo(size()));
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The loop decides; the window stays until the program ends.
    event->ignore();
    Queue().post({kCloseEvent, 0, 0});
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) {
        fitToolbar();
        if (onResized) onResized();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::fitToolbar() {
    if (toolbar_) toolbar_->setGeometry(0, 0, client_->width(), toolbar_->sizeHint().height());
}

EditorWidget::EditorWidget(QWidget* parent) : QTextEdit(parent) {
    setObjectName(QStringLiteral("editor"));
    setAcceptRichText(true);
    setTabChangesFocus(false);
    watchDocument();
}

void EditorWidget::watchDocument() {
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (!programEditing_ && (removed || added)) emit userEdited();
    });
}

void EditorWidget::adoptDocument(QTextDocument* fresh) {
    // The first document belongs to the text control, which frees it itself.
    QPointer<QTextDocument> old = document();
    fresh->setParent(this);
    setDocument(fresh);
    if (old && old->parent() == this) delete old.data();
    watchDocument();
}

bool EditorWidget::focusNextPrevChild(bool) { return false; }

// Alt with a key belongs to the window and its menus; it types nothing here.
void EditorWidget::keyPressEvent(QKeyEvent* event) {
    if ((event->modifiers() & Qt::AltModifier) && !(event->modifiers() & Qt::ControlModifier)) {
        event->ignore();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

TopicListWidget::TopicListWidget(QWidget* parent) : QListWidget(parent) {
    setObjectName(QStringLiteral("topicList"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Lays out a folder of a thousand topics in steps rather than all before the
    // window first answers.
    setLayoutMode(QListView::Batched);
    connect(this, &QListWidget::currentRowChanged, this, [this](int) {
        if (!quiet_) reportChosen();
    });
}

void TopicListWidget::setRowQuietly(int row) {
    quiet_ = true;
    if (row < 0) {
        setCurrentRow(-1);
        clearSelection();
    } else {
        setCurrentRow(row);
    }
    quiet_ = false;
}

// Tab stays in the list rather than moving the focus.
bool TopicListWidget::focusNextPrevChild(bool) { return true; }

// Gaining the focus makes a row current without anyone choosing it.
void TopicListWidget::focusInEvent(QFocusEvent* event) {
    quiet_ = true;
    QListWidget::focusInEvent(event);
    quiet_ = false;
}

void TopicListWidget::reportChosen() { Queue().post({kControlEvent, kTopicListControl, kRowChosen}); }

void TopicListWidget::notePress(QMouseEvent* event) {
    const int before = currentRow();
    pressPos_ = event->position().toPoint();
    pressPending_ = event->button() == Qt::LeftButton &&
                    !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
    QListWidget::mousePressEvent(event);
    // The selection change reports this click already; the release reports
    // only a click on the row that was already chosen.
    pressChangedRow_ = currentRow() != before;
}

void TopicListWidget::mousePressEvent(QMouseEvent* event) { notePress(event); }

void TopicListWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    Queue().post({kControlEvent, kTopicListControl, kRowDoubleClicked});
    notePress(event);
}

void TopicListWidget::mouseReleaseEvent(QMouseEvent* event) {
    const bool plainClick = pressPending_ && event->button() == Qt::LeftButton &&
                            (event->position().toPoint() - pressPos_).manhattanLength() <
                                QApplication::startDragDistance();
    pressPending_ = false;
    QListWidget::mouseReleaseEvent(event);
    if (plainClick && !pressChangedRow_ && itemAt(event->position().toPoint())) reportChosen();
}

namespace {

class KeyFilter : public QObject {
public:
    KeyFilter(MainWindow* window, TopicListWidget* list) : window_(window), list_(list) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && counts(watched, static_cast<QKeyEvent*>(event)))
            Queue().post({kRawKeyDown, 0, 0});
        return false;
    }

private:
    // Keys typed in the main window count; not in dialogs, menus, with Alt,
    // F10, or in the topic list (its keys cannot change the document).
    bool counts(QObject* watched, const QKeyEvent* key) const {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || !window_ || widget->window() != window_) return false;
        if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
        if (key->modifiers() & Qt::AltModifier || key->key() == Qt::Key_F10) return false;
        if (key->key() == Qt::Key_Alt) return false;
        // A key the list ignores travels on to its parents; the focus tells where it began.
        for (QWidget* origin : {widget, QApplication::focusWidget()})
            if (list_ && origin && (origin == list_ || list_->isAncestorOf(origin))) return false;
        return true;
    }

    QPointer<MainWindow> window_;
    QPointer<TopicListWidget> list_;
};

KeyFilter* g_keyFilter = nullptr;

}  // namespace

void InstallKeyFilter(MainWindow* window, TopicListWidget* topicList) {
    RemoveKeyFilter();
    g_keyFilter = new KeyFilter(window, topicList);
    qApp->installEventFilter(g_keyFilter);
}

void RemoveKeyFilter() {
    if (!g_keyFilter) return;
    qApp->removeEventFilter(g_keyFilter);
    delete g_keyFilter;
    g_keyFilter = nullptr;
}

}  // namespace quorlin::platform
