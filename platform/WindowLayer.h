#pragma once
// Creating and placing the window's parts. Positions and sizes are logical
// units of 1/96 inch, which is what Qt's device-independent pixels already are.

#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

class QWidget;

namespace quorlin::platform {

class MainWindow;
class EditorWidget;
class TopicListWidget;

enum class CreationStep { MainWindow, MenuBar, Toolbar, Editor, TopicList, StatusBar };

// Lets a test make one creation step fail; nullopt: none fails.
void SetFailingCreationStep(std::optional<CreationStep> step);

// Opened with the given client size, centred on the primary screen, shown at once.
MainWindow* OpenMainWindow(const QString& title, QSize clientSize);
bool CreateMenuBar(MainWindow* window);
bool CreateToolbar(MainWindow* window);
EditorWidget* CreateEditor(MainWindow* window, const QRect& rect);
TopicListWidget* CreateTopicList(MainWindow* window, const QRect& rect);
bool CreateStatusBar(MainWindow* window);

void SetWidgetFont(QWidget* widget, const QString& face, int pointSize);
void SetEditorBackground(EditorWidget* editor, int red, int green, int blue);

// The client size as the layout reads it: the width of the client area, and its
// height with the menu bar's height added back.
QSize LayoutSize(const MainWindow* window);
void MoveControl(QWidget* control, const QRect& rect);

void ShowControl(QWidget* control, bool visible);
void FocusControl(QWidget* control);

// Releases every window part (ExitApplication).
void ReleaseWindowLayer(MainWindow* window);

}  // namespace quorlin::platform
