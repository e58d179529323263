#pragma once
// The Qt widgets behind the window's parts: the main window with its client
// area, the editor (control 1) and the topic list (control 19).

#include <QListWidget>
#include <QMainWindow>
#include <QPoint>
#include <QTextEdit>
#include <functional>

class QLabel;
class QMenu;
class QToolBar;

namespace quorlin::platform {

constexpr int kEditorControl = 1;
constexpr int kTopicListControl = 19;
constexpr int kToolbarControl = -10000;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow();

    QWidget* clientArea() const { return client_; }
    QToolBar* toolbar() const { return toolbar_; }
    QLabel* statusField() const { return statusField_; }

    // Seen on every size change, after the toolbar has been re-fitted.
    std::function<void()> onResized;

    bool createToolbar();
    bool createStatusBar();
    void addMenuTitle(const QString& title);
    void addMenuItem(int command, const QString& caption);
    void addMenuSeparator();
    void addToolbarButton(int command, const QIcon& icon, const QString& tooltip);
    void addToolbarSeparator();
    void setStatusText(const QString& text);
    // Keeps the frame between its minimum and the primary screen's size.
    void applyTrackSizes();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitToolbar();

    QWidget* client_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QLabel* statusField_ = nullptr;
    QMenu* currentMenu_ = nullptr;
};

class EditorWidget : public QTextEdit {
    Q_OBJECT
public:
    explicit EditorWidget(QWidget* parent);

    // While set, content changes are the program's own (load, clear, format).
    void setProgramEditing(bool on) { programEditing_ = on; }
    bool programEditing() const { return programEditing_; }
    // Shows a document built elsewhere in place of the current one, which is freed.
    void adoptDocument(QTextDocument* document);

signals:
    // The user changed the content by any means (keys, paste, drag and drop, undo).
    void userEdited();

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void watchDocument();

    bool programEditing_ = false;
};

class TopicListWidget : public QListWidget {
    Q_OBJECT
public:
    explicit TopicListWidget(QWidget* parent);

    // Selects a row without reporting it as chosen (-1: none).
    void setRowQuietly(int row);

protected:
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void reportChosen();
    void notePress(QMouseEvent* event);

    bool quiet_ = false;
    bool pressChangedRow_ = false;
    bool pressPending_ = false;
    QPoint pressPos_;
};

// Turns key presses in the main window into raw key events for the loop.
void InstallKeyFilter(MainWindow* window, TopicListWidget* topicList);
void RemoveKeyFilter();

}  // namespace quorlin::platform
