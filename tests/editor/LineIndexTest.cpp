// The display-line index against the layout itself, in long documents where it
// counts blocks in step with the editor's stepwise layout, after changes of the
// layout as a whole, and after edits that follow a query in the same block.
#include "editor/RichTextControl.h"
#include "platform/Widgets.h"
#include "shell/AppState.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace quorlin {
namespace {

class LineIndexTest : public ::testing::Test {
protected:
    platform::EditorWidget* editor() const { return app.editorHandle; }

    // Every fifth line wraps at the editor's width.
    void fillLongDocument(int lines) const {
        QString text;
        for (int i = 0; i < lines; ++i) {
            text += QStringLiteral("line %1").arg(i);
            if (i % 5 == 0) text += QStringLiteral(" and a long tail").repeated(40);
            if (i + 1 < lines) text += QLatin1Char('\n');
        }
        editor()->setPlainText(text);
    }

    bool laidOut() const {
        const QTextLayout* last = editor()->document()->lastBlock().layout();
        return last && last->lineCount() > 0;
    }

    // The starts of the lines as the layout has them now; a block it has not
    // reached yet is one line.
    std::vector<int> layoutLineStarts() const {
        std::vector<int> starts;
        for (QTextBlock b = editor()->document()->begin(); b.isValid(); b = b.next()) {
            const QTextLayout* layout = b.layout();
            const int lines = layout ? layout->lineCount() : 0;
            if (lines == 0) starts.push_back(b.position());
            for (int i = 0; i < lines; ++i) starts.push_back(b.position() + layout->lineAt(i).textStart());
        }
        return starts;
    }

    void expectIndexMatchesLayout(const char* when) const {
        const std::vector<int> starts = layoutLineStarts();
        const int count = int(starts.size());
        ASSERT_EQ(GetLineCount(editor()), count) << when;
        for (int line : {0, 1, count / 3, count / 2, count - 2, count - 1}) {
            if (line < 0 || line >= count) continue;
            EXPECT_EQ(LineIndexOf(editor(), line), starts[line]) << when << ", line " << line;
            EXPECT_EQ(LineFromChar(editor(), starts[line]), line) << when << ", line " << line;
        }
        EXPECT_EQ(LineIndexOf(editor(), count), -1) << when;
    }

    test::WorkingDirectory dir;
    test::RunningProgram program;
};

TEST_F(LineIndexTest, FollowsTheStepwiseLayoutOfALongDocument) {
    fillLongDocument(20000);
    ASSERT_FALSE(laidOut()) << "the document is too short to be laid out in steps";
    expectIndexMatchesLayout("before the first step");
    QElapsedTimer timer;
    timer.start();
    int steps = 0;
    while (!laidOut() && timer.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (++steps % 10 == 0) expectIndexMatchesLayout("while laying out");
    }
    ASSERT_TRUE(laidOut());
    expectIndexMatchesLayout("laid out");
}

TEST_F(LineIndexTest, CountsAnewWhenTheLayoutChangesAsAWhole) {
    fillLongDocument(3000);
    editor()->moveCursor(QTextCursor::End);  // lays out everything
    expectIndexMatchesLayout("laid out");

    struct Change {
        const char* name;
        std::function<void(platform::EditorWidget*)> apply;
    };
    const std::vector<Change> changes = {
        {"narrower", [](platform::EditorWidget* e) { e->resize(e->width() / 2, e->height()); }},
        {"wider", [](platform::EditorWidget* e) { e->resize(e->width() * 3, e->height()); }},
        {"larger font",
         [](platform::EditorWidget* e) {
             QFont font = e->font();
             font.setPointSize(font.pointSize() * 2);
             e->setFont(font);
         }},
        {"no wrapping", [](platform::EditorWidget* e) { e->setLineWrapMode(QTextEdit::NoWrap); }},
    };
    for (const Change& change : changes) {
        GetLineCount(editor());  // the index is current before the change
        change.apply(editor());
        QCoreApplication::processEvents();
        expectIndexMatchesLayout(change.name);
        editor()->moveCursor(QTextCursor::End);
        expectIndexMatchesLayout(change.name);
    }
}

TEST_F(LineIndexTest, EditsAfterAQueryInTheSameBlock) {
    fillLongDocument(3000);
    editor()->moveCursor(QTextCursor::End);
    const int block = editor()->document()->blockCount() - 5;  // a wrapped block near the end
    const QTextBlock target = editor()->document()->findBlockByNumber(block);
    ASSERT_GT(target.layout()->lineCount(), 1);
    const int second = LineFromChar(editor(), target.position()) + 1;
    const int before = LineIndexOf(editor(), second);

    // Text earlier in the document moves the line without touching its block.
    QTextCursor(editor()->document()).insertText(QStringLiteral("x"));
    QCoreApplication::processEvents();
    EXPECT_EQ(LineIndexOf(editor(), second), before + 1);
    EXPECT_EQ(LineFromChar(editor(), before + 1), second);

    QTextCursor cursor(editor()->document()->findBlockByNumber(block));
    cursor.insertText(QStringLiteral("twelve chars"));
    QCoreApplication::processEvents();
    EXPECT_NE(LineIndexOf(editor(), second), before + 1);
    expectIndexMatchesLayout("text put into the block");

    cursor.insertText(QStringLiteral(" and a long tail").repeated(60));  // the block wraps further
    QCoreApplication::processEvents();
    expectIndexMatchesLayout("the block wrapped further");

    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("\nnew last"));
    QCoreApplication::processEvents();
    expectIndexMatchesLayout("a block added");
}

}  // namespace
}  // namespace quorlin
