// The editor control's requests: display lines kept up to date across edits,
// and a stream that fails part-way.
#include "editor/RichTextControl.h"
#include "platform/Widgets.h"
#include "shell/AppState.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>
#include <cstring>

namespace quorlin {
namespace {

class RichTextControlTest : public ::testing::Test {
protected:
    platform::EditorWidget* editor() const { return app.editorHandle; }
    // Lines counted the slow way, straight from the layout.
    int layoutLines() const {
        int lines = 0;
        for (QTextBlock b = editor()->document()->begin(); b.isValid(); b = b.next())
            lines += std::max(b.layout()->lineCount(), 1);
        return lines;
    }
    void settle() const { QCoreApplication::processEvents(); }

    test::WorkingDirectory dir;
    test::RunningProgram program;
};

TEST_F(RichTextControlTest, LineQueriesFollowEditsAndWrapping) {
    editor()->setPlainText(QStringLiteral("alpha\nbeta\ngamma"));
    settle();
    EXPECT_EQ(GetLineCount(editor()), 3);
    EXPECT_EQ(LineFromChar(editor(), 7), 1);
    EXPECT_EQ(LineIndexOf(editor(), 2), 11);
    EXPECT_EQ(LineIndexOf(editor(), 3), -1);

    QTextCursor cursor(editor()->document());
    cursor.setPosition(6);
    cursor.insertText(QString(QStringLiteral("wrap ")).repeated(300));  // beta now wraps
    settle();
    const int wrapped = editor()->document()->findBlockByNumber(1).layout()->lineCount();
    ASSERT_GT(wrapped, 1);
    EXPECT_EQ(GetLineCount(editor()), layoutLines());
    const int gammaStart = editor()->document()->findBlockByNumber(2).position();
    EXPECT_EQ(LineFromChar(editor(), gammaStart), 1 + wrapped);
    EXPECT_EQ(LineIndexOf(editor(), 1 + wrapped), gammaStart);

    cursor.setPosition(0);
    cursor.insertText(QStringLiteral("new first\n"));  // a block more
    settle();
    EXPECT_EQ(GetLineCount(editor()), layoutLines());
    EXPECT_EQ(LineFromChar(editor(), 0), 0);

    editor()->resize(editor()->width() / 2, editor()->height());  // narrower: more wrapping
    settle();
    EXPECT_EQ(GetLineCount(editor()), layoutLines());
}

struct FailingSource {
    QByteArray data;
    int calls = 0;
};

uint32_t FailOnSecondRead(intptr_t cookie, uint8_t* buffer, int32_t size, int32_t* done) {
    auto* source = reinterpret_cast<FailingSource*>(cookie);
    if (source->calls++ > 0) return 1;
    *done = std::min<int32_t>(size, int32_t(source->data.size()));
    std::memcpy(buffer, source->data.constData(), size_t(*done));
    return 0;
}

TEST_F(RichTextControlTest, AStreamThatFailsPartWayLeavesTheContent) {
    editor()->setPlainText(QStringLiteral("the topic as it was"));
    FailingSource source{"{\\rtf1\\ansi cut off here"};
    EditStream stream;
    stream.dwCookie = reinterpret_cast<intptr_t>(&source);
    stream.pfnCallback = FailOnSecondRead;
    StreamIn(editor(), stream);
    EXPECT_NE(stream.dwError, 0u);
    EXPECT_EQ(editor()->toPlainText(), QStringLiteral("the topic as it was"));
}

}  // namespace
}  // namespace quorlin
