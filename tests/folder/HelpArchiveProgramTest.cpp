// The archive command inside the running program: a failure is reported and the
// program goes on with the author's text intact.
#include "shell/AppState.h"
#include "shell/Commands.h"
#include "shell/Messages.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace quorlin {
namespace {

constexpr int kZipCommand = 18;

TEST(HelpArchiveProgramTest, CompressionErrorReturnsToTheEditorWithItsText) {
    test::WorkingDirectory dir;
    dir.write("RTF Folder/Intro.rtf", test::PlainTopic("intro"));
    dir.write("Help.zip/keep.txt", "keep");
    test::RunningProgram program;
    ASSERT_TRUE(program.started());
    program.typeText("unsaved words");
    const QString before = program.editorText();

    test::ScriptedDialogs dialogs;
    dialogs.answerMessage(platform::MessageAnswer::Ok);
    DispatchCommand(kZipCommand);
    EXPECT_FALSE(program.pump());  // the loop goes on

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, messages::kArchiveFailedCaption);
    EXPECT_EQ(dialogs.messages[0].text, messages::kArchiveFailedText);
    EXPECT_TRUE(dialogs.allAnswered());
    EXPECT_EQ(program.editorText(), before);
    EXPECT_EQ(app.modified, 1);
    EXPECT_EQ(app.quitRequested, 0);
    EXPECT_EQ(dir.read("Help.zip/keep.txt"), "keep");
}

TEST(HelpArchiveProgramTest, PacksTheFolderAsOnDiskNotTheUnsavedEdits) {
    test::WorkingDirectory dir;
    dir.write("RTF Folder/Intro.rtf", test::PlainTopic("intro"));
    test::RunningProgram program;
    ASSERT_TRUE(program.started());
    program.typeText("unsaved words");

    test::ScriptedDialogs dialogs;
    dialogs.answerMessage(platform::MessageAnswer::Ok);
    DispatchCommand(kZipCommand);
    EXPECT_FALSE(program.pump());

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, messages::kArchiveDoneText);
    EXPECT_EQ(dialogs.progressDialogs, 1);
    EXPECT_GT(QFileInfo(dir.path() + "/Help.zip").size(), 22);
    EXPECT_EQ(dir.read("RTF Folder/Intro.rtf"), test::PlainTopic("intro"));
    EXPECT_EQ(app.modified, 1);
}

}  // namespace
}  // namespace quorlin
