// The toolbar read back from the running program.
#include "platform/Widgets.h"
#include "shell/AppState.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace quorlin {
namespace {

using test::RunningProgram;
using test::ScriptedDialogs;

TEST(ToolbarTest, TenButtonsInThreeGroupsWithTheirTooltips) {
    test::WorkingDirectory dir;
    RunningProgram program;
    QStringList seen;
    for (QAction* action : app.mainWindow->toolbar()->actions()) {
        if (action->isSeparator()) {
            seen << QStringLiteral("|");
            continue;
        }
        seen << QStringLiteral("%1 %2").arg(action->data().toInt()).arg(action->toolTip());
        EXPECT_TRUE(action->text().isEmpty());
        EXPECT_TRUE(action->shortcut().isEmpty());
        EXPECT_FALSE(action->icon().isNull()) << action->toolTip().toStdString();
    }
    EXPECT_EQ(seen, (QStringList{"9 New File", "10 Open File", "11 Save File", "12 Save File As ..", "|",
                                 "13 Bold Text", "14 Italicize Text", "15 Underline Text", "16 Change Font",
                                 "17 Text Color", "|", "18 Zip Folder when you've completed your mods."}));
    EXPECT_EQ(app.mainWindow->toolbar()->iconSize(), QSize(24, 24));
}

TEST(ToolbarTest, ToolbarSpansTheTopOfTheClientAreaAfterResizes) {
    test::WorkingDirectory dir;
    RunningProgram program;
    for (int width : {900, 1400, 1800}) {
        app.mainWindow->resize(width, 700);
        program.pump();
        const QRect bar = app.mainWindow->toolbar()->geometry();
        EXPECT_EQ(bar.topLeft(), QPoint(0, 0));
        EXPECT_EQ(bar.width(), app.mainWindow->centralWidget()->width());
    }
}

TEST(ToolbarTest, AClickBecomesACommandThroughTheLoop) {
    test::WorkingDirectory dir;
    RunningProgram program;
    QToolBar* bar = app.mainWindow->toolbar();
    QAction* saveAs = nullptr;
    for (QAction* action : bar->actions())
        if (action->data().toInt() == 12) saveAs = action;
    ASSERT_NE(saveAs, nullptr);
    ScriptedDialogs dialogs;
    dialogs.answerFile(QString());
    QTest::mouseClick(bar->widgetForAction(saveAs), Qt::LeftButton);
    program.pump();
    ASSERT_EQ(dialogs.files.size(), 1u);
    EXPECT_EQ(dialogs.files[0].title, QStringLiteral("SAVE FILE AS .."));
    EXPECT_TRUE(app.currentFile.isEmpty());
}

}  // namespace
}  // namespace quorlin
