// The window, its layout, the status bar, key presses and the end of the program.
#include "editor/RichTextControl.h"
#include "platform/Events.h"
#include "platform/WindowLayer.h"
#include "platform/Widgets.h"
#include "shell/AppState.h"
#include "shell/Commands.h"
#include "shell/EventLoop.h"
#include "shell/Messages.h"
#include "shell/Startup.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QLabel>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <gtest/gtest.h>

namespace quorlin {
namespace {

using platform::MessageAnswer;
using test::RunningProgram;
using test::ScriptedDialogs;
using test::WorkingDirectory;

class ShellTest : public ::testing::Test {
protected:
    WorkingDirectory dir;
};

TEST_F(ShellTest, WindowHasItsTitleMenusAndCreamEditor) {
    RunningProgram program;
    ASSERT_TRUE(program.started());
    EXPECT_EQ(app.mainWindow->windowTitle(), QStringLiteral("Quorlin Using RTF Files -  Version 1.0   build: 4.30"));

    QStringList titles, items;
    for (QAction* title : app.mainWindow->menuBar()->actions()) {
        titles << title->text();
        for (QAction* item : title->menu()->actions()) items << (item->isSeparator() ? QStringLiteral("-") : item->text());
    }
    EXPECT_EQ(titles, (QStringList{"File", "Info"}));
    EXPECT_EQ(items, (QStringList{"New", "Load...", "Save", "Save As...", "-", "Exit", "Help", "-", "About..."}));
    for (QAction* title : app.mainWindow->menuBar()->actions())
        for (QAction* item : title->menu()->actions()) EXPECT_TRUE(item->shortcut().isEmpty());

    EXPECT_EQ(app.editorHandle->palette().color(QPalette::Base), QColor(255, 255, 223));
    EXPECT_EQ(app.editorHandle->lineWrapMode(), QTextEdit::WidgetWidth);
    EXPECT_EQ(app.editorHandle->document()->defaultFont().pointSize(), 12);
    EXPECT_EQ(app.editorHandle->document()->defaultFont().family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(app.topicListHandle->font().pointSize(), 11);
}

TEST_F(ShellTest, WindowOpensWithItsClientSizeCentredOnTheScreen) {
    RunningProgram program;
    const QSize outer = app.mainWindow->frameGeometry().size();
    EXPECT_EQ(app.mainWindow->size(), QSize(1400, 700));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int x = (screen.width() - std::min(outer.width(), screen.width())) / 2;
    const int y = (screen.height() - std::min(outer.height(), screen.height())) / 2;
    EXPECT_EQ(app.mainWindow->frameGeometry().topLeft(), screen.topLeft() + QPoint(x, y));
}

TEST_F(ShellTest, LayoutFollowsEveryResize) {
    RunningProgram program;
    for (const QSize size : {QSize(1400, 700), QSize(800, 600), QSize(1024, 768), QSize(2000, 1200)}) {
        app.mainWindow->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        app.mainWindow->resize(size);
        program.pump();
        const int W = app.mainWindow->centralWidget()->width();
        const int H = app.mainWindow->height();
        EXPECT_EQ(app.topicListHandle->geometry(), QRect(10, 40, 250, H - 85)) << size.width();
        EXPECT_EQ(app.editorHandle->geometry(), QRect(270, 40, W - 280, H - 85)) << size.width();
    }
}

TEST_F(ShellTest, ResizeScrollsEditorToTopKeepingCaret) {
    RunningProgram program;
    QString text;
    for (int i = 0; i < 200; ++i) text += QStringLiteral("line %1\n").arg(i);
    app.editorHandle->setPlainText(text);
    QTextCursor cursor = app.editorHandle->textCursor();
    cursor.setPosition(500);
    app.editorHandle->setTextCursor(cursor);
    app.editorHandle->verticalScrollBar()->setValue(app.editorHandle->verticalScrollBar()->maximum());
    app.mainWindow->resize(1300, 650);
    program.pump();
    EXPECT_EQ(app.editorHandle->verticalScrollBar()->value(), 0);
    EXPECT_EQ(app.editorHandle->textCursor().position(), 500);
}

struct CaretCase {
    const char* name;
    QString text;
    int selectFrom;
    int selectTo;
    QString expected;
};

TEST_F(ShellTest, StatusBarShowsCaretColumnLineAndCount) {
    RunningProgram program;
    const QString five = QStringLiteral("one\ntwo\nthird line!!\nfour\nfive");
    const int third = five.indexOf(QStringLiteral("third"));
    const std::vector<CaretCase> cases = {
        {"empty editor", QString(), 0, 0, "Char 1 Line 1 of 1 lines"},
        {"start of line 3 of 5", five, third, third, "Char 1 Line 3 of 5 lines"},
        {"end of a 12-character line", five, third + 12, third + 12, "Char 13 Line 3 of 5 lines"},
        {"right-to-left selection shows its left end", five, third + 5, 1, "Char 2 Line 1 of 5 lines"},
    };
    for (const CaretCase& c : cases) {
        app.editorHandle->setPlainText(c.text);
        QTextCursor cursor = app.editorHandle->textCursor();
        cursor.setPosition(c.selectFrom);
        cursor.setPosition(c.selectTo, QTextCursor::KeepAnchor);
        app.editorHandle->setTextCursor(cursor);
        QCoreApplication::processEvents();
        ShowCaretPosition();
        EXPECT_EQ(app.mainWindow->statusField()->text(), c.expected) << c.name;
    }
}

TEST_F(ShellTest, WrappedParagraphCountsAsSeveralLines) {
    RunningProgram program;
    app.editorHandle->setPlainText(QString(QStringLiteral("word ")).repeated(400) + QStringLiteral("\nlast"));
    QCoreApplication::processEvents();
    const int wrapped = app.editorHandle->document()->firstBlock().layout()->lineCount();
    ASSERT_GT(wrapped, 1);
    app.editorHandle->moveCursor(QTextCursor::End);
    ShowCaretPosition();
    EXPECT_EQ(app.lineCount, wrapped + 1);
    EXPECT_EQ(app.caretLine, wrapped);
    EXPECT_EQ(app.caretColumn, 4);
}

TEST_F(ShellTest, KeyPressesMarkTheDocumentModifiedOnlyInTheEditor) {
    RunningProgram program;
    struct KeyCase { const char* name; QWidget* target; Qt::Key key; Qt::KeyboardModifiers mods; uint8_t expected; };
    const std::vector<KeyCase> cases = {
        {"letter in the editor", app.editorHandle, Qt::Key_A, Qt::NoModifier, 1},
        {"arrow in the editor", app.editorHandle, Qt::Key_Right, Qt::NoModifier, 1},
        {"ctrl+c in the editor", app.editorHandle, Qt::Key_C, Qt::ControlModifier, 1},
        {"arrow in the topic list", app.topicListHandle, Qt::Key_Down, Qt::NoModifier, 0},
        {"alt+key in the editor", app.editorHandle, Qt::Key_F, Qt::AltModifier, 0},
        {"F10 in the editor", app.editorHandle, Qt::Key_F10, Qt::NoModifier, 0},
    };
    for (const KeyCase& c : cases) {
        app.modified = 0;
        c.target->setFocus();
        QTest::keyClick(c.target, c.key, c.mods);
        program.pump();
        EXPECT_EQ(app.modified, c.expected) << c.name;
    }
}

TEST_F(ShellTest, KeysTypedIntoADialogDoNotCount) {
    RunningProgram program;
    app.modified = 0;
    QDialog dialog(app.mainWindow);
    auto* field = new QLineEdit(&dialog);
    dialog.setModal(true);
    dialog.show();
    QTest::keyClick(field, Qt::Key_X);
    program.pump();
    EXPECT_EQ(app.modified, 0);
}

TEST_F(ShellTest, TabTypesATabInTheEditorAndStaysInTheList) {
    RunningProgram program;
    app.editorHandle->setFocus();
    QTest::keyClick(app.editorHandle, Qt::Key_Tab);
    EXPECT_EQ(app.editorHandle->toPlainText(), QStringLiteral("\t"));
    app.topicListHandle->setFocus();
    QTest::keyClick(app.topicListHandle, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), app.topicListHandle);
}

TEST_F(ShellTest, InfoBoxesShowTheirTextsExactly) {
    RunningProgram program;
    ScriptedDialogs dialogs;
    dialogs.answerMessage(MessageAnswer::Ok).answerMessage(MessageAnswer::Ok);
    DispatchCommand(6);
    DispatchCommand(7);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("A little help"));
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Program to gather files (RTF format). Each file can then be  'exported' to a SQLite "
                             "file. If you wish, you can also 'import' RTF files directly from 'Microsoft Word' or "
                             "any simailar editor (much easier)."));
    EXPECT_EQ(dialogs.messages[1].caption, QStringLiteral("Quorlin"));
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("Version 1.0"));
    for (const auto& m : dialogs.messages) {
        EXPECT_EQ(m.buttons, platform::MessageButtons::Ok);
        EXPECT_EQ(m.icon, platform::MessageIcon::None);
    }
}

TEST_F(ShellTest, UnknownCommandNumbersDoNothing) {
    RunningProgram program;
    ScriptedDialogs dialogs;  // fails on any dialog
    for (int number : {0, 8, 19, 100, -1}) DispatchCommand(number);
    EXPECT_EQ(app.quitRequested, 0);
}

TEST_F(ShellTest, CloseBoxAndExitEndTheLoopWhenNothingWasEdited) {
    for (bool viaClose : {true, false}) {
        RunningProgram program;
        ScriptedDialogs dialogs;
        if (viaClose) {
            app.mainWindow->close();
        } else {
            platform::Queue().post({platform::kCommandEvent, 5, 0});
        }
        EXPECT_TRUE(program.pump()) << (viaClose ? "close box" : "Exit");
    }
}

TEST_F(ShellTest, ExitWithUnsavedEditsAsksFirst) {
    struct ExitCase { const char* name; MessageAnswer answer; QString saveAs; bool ends; };
    const std::vector<ExitCase> cases = {
        {"No discards and ends", MessageAnswer::No, {}, true},
        {"Cancel keeps running", MessageAnswer::Cancel, {}, false},
        {"Yes saves and ends", MessageAnswer::Yes, dir.path() + "/saved.rtf", true},
        {"Yes with the save dialog cancelled keeps running", MessageAnswer::Yes, QString(""), false},
    };
    for (const ExitCase& c : cases) {
        RunningProgram program;
        program.typeText(QStringLiteral("unsaved words"));
        ASSERT_EQ(app.modified, 1);
        ScriptedDialogs dialogs;
        dialogs.answerMessage(c.answer);
        if (c.answer == MessageAnswer::Yes) dialogs.answerFile(c.saveAs);
        app.mainWindow->close();
        EXPECT_EQ(program.pump(), c.ends) << c.name;
        ASSERT_FALSE(dialogs.messages.empty());
        EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("SAVE CURRENT FILE?")) << c.name;
        EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("!")) << c.name;
        if (!c.ends) {
            EXPECT_EQ(app.quitRequested, 0) << c.name;
        }
        if (!c.saveAs.isEmpty()) {
            EXPECT_TRUE(QFile::exists(c.saveAs)) << c.name;
        }
    }
}

TEST_F(ShellTest, RunApplicationEndsWithExitCodeZero) {
    platform::Queue().clear();
    QTimer::singleShot(0, [] { platform::Queue().post({platform::kCommandEvent, 5, 0}); });
    EXPECT_EQ(RunApplication(), 0);
}

TEST_F(ShellTest, AFailingCreationStepShowsItsBoxAndEnds) {
    using platform::CreationStep;
    const std::vector<std::pair<CreationStep, QString>> cases = {
        {CreationStep::MainWindow, "UNABLE TO OPEN WINDOW"}, {CreationStep::MenuBar, "UNABLE TO CREATE MENUS"},
        {CreationStep::Toolbar, "UNABLE TO CREATE TOOLBAR"}, {CreationStep::Editor, "RICHEDIT CREATION FAILED"},
        {CreationStep::TopicList, "listGad CREATION FAILED"}, {CreationStep::StatusBar, "STATUSBAR CREATION FAILED"},
    };
    for (const auto& [step, text] : cases) {
        ScriptedDialogs dialogs;
        dialogs.answerMessage(MessageAnswer::Ok);
        platform::SetFailingCreationStep(step);
        EXPECT_EQ(RunApplication(), 0);
        platform::SetFailingCreationStep(std::nullopt);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("ERROR"));
        EXPECT_EQ(dialogs.messages[0].text, text);
        EXPECT_EQ(dialogs.messages[0].icon, platform::MessageIcon::Error);
        EXPECT_EQ(app.mainWindow, nullptr);
    }
}

}  // namespace
}  // namespace quorlin
