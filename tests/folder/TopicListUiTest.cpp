// The topic list in the running program: its rows, the first load, choosing rows.
#include "folder/TopicList.h"
#include "platform/Widgets.h"
#include "shell/AppState.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace quorlin {
namespace {

using platform::MessageAnswer;
using test::RunningProgram;
using test::ScriptedDialogs;

class TopicListUiTest : public ::testing::Test {
protected:
    TopicListUiTest() {
        dir.write("RTF Folder/Intro.rtf", test::PlainTopic("intro text"));
        dir.write("RTF Folder/Setup.RTF", test::PlainTopic("setup text"));
        dir.write("RTF Folder/notes.txt", "not a topic");
        program = std::make_unique<RunningProgram>();
    }
    int rowOf(const QString& name) const {
        for (int i = 0; i < app.topicListHandle->count(); ++i)
            if (app.topicListHandle->item(i)->text() == name) return i;
        return -1;
    }
    void clickRow(int row) {
        const QRect rect = app.topicListHandle->visualItemRect(app.topicListHandle->item(row));
        QTest::mouseClick(app.topicListHandle->viewport(), Qt::LeftButton, {}, rect.center());
        program->pump();
    }
    QString text() const { return program->editorText(); }

    test::WorkingDirectory dir;
    std::unique_ptr<RunningProgram> program;
};

TEST_F(TopicListUiTest, RowsFollowTheSearchWithEmptyRowsForOtherFiles) {
    ASSERT_EQ(app.topicListHandle->count(), 3);
    QStringList rows;
    for (int i = 0; i < 3; ++i) rows << app.topicListHandle->item(i)->text();
    EXPECT_TRUE(rows.contains("Intro"));
    EXPECT_TRUE(rows.contains("Setup"));
    EXPECT_EQ(rows[2], QString());
    EXPECT_EQ(app.topicFiles.value(rowOf("Intro") + 1), QStringLiteral("RTF Folder/Intro.rtf"));
}

TEST_F(TopicListUiTest, FirstTopicIsShownWithNoRowHighlightedAndFocusOnTheList) {
    EXPECT_EQ(app.currentFile, app.topicFiles.value(1));
    EXPECT_FALSE(text().isEmpty());
    EXPECT_TRUE(app.topicListHandle->selectedItems().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), app.topicListHandle);
}

TEST_F(TopicListUiTest, ChoosingRowsLoadsThemAndAClickReloads) {
    ScriptedDialogs dialogs;  // nothing edited: no prompt
    clickRow(rowOf("Setup"));
    EXPECT_EQ(text(), QStringLiteral("setup text"));
    EXPECT_EQ(app.currentFile, QStringLiteral("RTF Folder/Setup.RTF"));
    dir.write("RTF Folder/Setup.RTF", test::PlainTopic("changed on disk"));
    clickRow(rowOf("Setup"));
    EXPECT_EQ(text(), QStringLiteral("changed on disk"));
    clickRow(2);  // the empty row
    EXPECT_TRUE(app.currentFile.isEmpty());
    EXPECT_EQ(text(), QStringLiteral("changed on disk"));
}

TEST_F(TopicListUiTest, ArrowKeysOpenEachRowWithoutAQuestion) {
    ScriptedDialogs dialogs;
    app.topicListHandle->setFocus();
    QTest::keyClick(app.topicListHandle, Qt::Key_Down);
    program->pump();
    EXPECT_EQ(app.modified, 0);
    EXPECT_EQ(app.currentFile, app.topicFiles.value(app.topicListHandle->currentRow() + 1));
}

TEST_F(TopicListUiTest, ChoosingARowWithUnsavedEditsAsksFirst) {
    const int setup = rowOf("Setup");
    const int intro = rowOf("Intro");
    struct Case { const char* name; MessageAnswer answer; bool opens; };
    for (const Case& c : {Case{"No opens and forgets the edits", MessageAnswer::No, true},
                          Case{"Cancel keeps the document and the selection", MessageAnswer::Cancel, false},
                          Case{"Yes saves, then opens", MessageAnswer::Yes, true}}) {
        app.modified = 0;
        clickRow(intro);
        app.editorHandle->setPlainText(QStringLiteral("edited intro"));
        app.modified = 1;
        ScriptedDialogs dialogs;
        dialogs.answerMessage(c.answer);
        clickRow(setup);
        EXPECT_EQ(text(), c.opens ? QStringLiteral("setup text") : QStringLiteral("edited intro")) << c.name;
        EXPECT_EQ(app.modified, c.opens ? 0 : 1) << c.name;
        if (!c.opens) {
            EXPECT_EQ(app.topicListHandle->currentRow(), intro) << c.name;
        }
        EXPECT_EQ(dir.read("RTF Folder/Intro.rtf").contains("edited intro"), c.answer == MessageAnswer::Yes) << c.name;
    }
}

}  // namespace
}  // namespace quorlin
