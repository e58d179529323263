// New, Load..., Save and Save As... through the real widgets with scripted dialogs.
#include "editor/TopicDocuments.h"
#include "platform/Widgets.h"
#include "shell/AppState.h"
#include "shell/Commands.h"
#include "support/TestSupport.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

namespace quorlin {
namespace {

using platform::MessageAnswer;
using test::RunningProgram;
using test::ScriptedDialogs;

class TopicDocumentsTest : public ::testing::Test {
protected:
    TopicDocumentsTest() {
        dir.write("RTF Folder/first.rtf", test::PlainTopic("first topic"));
        program = std::make_unique<RunningProgram>();
    }
    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    QString text() const { return program->editorText(); }
    void edit() {
        program->typeText(QStringLiteral("typed "));
        ASSERT_EQ(app.modified, 1);
    }

    test::WorkingDirectory dir;
    std::unique_ptr<RunningProgram> program;
};

TEST_F(TopicDocumentsTest, StartupShowsTheFirstTopicUnmodified) {
    EXPECT_EQ(app.currentFile, QStringLiteral("RTF Folder/first.rtf"));
    EXPECT_EQ(app.modified, 0);
    EXPECT_EQ(text(), QStringLiteral("first topic"));
}

TEST_F(TopicDocumentsTest, NewWithoutEditsEmptiesAndKeepsTheFileName) {
    ScriptedDialogs dialogs;  // no prompt, no dialog
    NewTopic();
    EXPECT_EQ(text(), QString());
    EXPECT_EQ(app.modified, 0);
    EXPECT_EQ(app.currentFile, QStringLiteral("RTF Folder/first.rtf"));
    program->typeText(QStringLiteral("replacement"));
    SaveTopic();  // straight to the old file, no dialog
    EXPECT_TRUE(dir.read("RTF Folder/first.rtf").contains("replacement"));
}

TEST_F(TopicDocumentsTest, SavePromptAnswersForNewAndLoad) {
    struct Case { const char* name; void (*operation)(); MessageAnswer answer; QString expectedText; uint8_t modified; };
    const std::vector<Case> cases = {
        {"New, No: emptied, nothing written", NewTopic, MessageAnswer::No, QString(), 0},
        {"New, Cancel: nothing changes", NewTopic, MessageAnswer::Cancel, QStringLiteral("typed first topic"), 1},
        {"Load, Cancel: nothing changes", LoadTopicWithDialog, MessageAnswer::Cancel, QStringLiteral("typed first topic"), 1},
    };
    for (const Case& c : cases) {
        app.currentFile = QStringLiteral("RTF Folder/first.rtf");
        program->editorText();
        app.editorHandle->setPlainText(QString());
        LoadTopicIntoEditor();
        app.editorHandle->moveCursor(QTextCursor::Start);
        edit();
        ScriptedDialogs dialogs;
        dialogs.answerMessage(c.answer);
        c.operation();
        EXPECT_EQ(text(), c.expectedText) << c.name;
        EXPECT_EQ(app.modified, c.modified) << c.name;
        EXPECT_EQ(app.currentFile, QStringLiteral("RTF Folder/first.rtf")) << c.name;
        EXPECT_FALSE(dir.read("RTF Folder/first.rtf").contains("typed")) << c.name;
    }
}

TEST_F(TopicDocumentsTest, NewYesWithoutNameAndDialogCancelledStillEmpties) {
    app.currentFile.clear();
    edit();
    ScriptedDialogs dialogs;
    dialogs.answerMessage(MessageAnswer::Yes).answerFile(QString());
    NewTopic();
    EXPECT_EQ(text(), QString());
    EXPECT_EQ(app.modified, 0);
    EXPECT_TRUE(app.currentFile.isEmpty());
    ASSERT_EQ(dialogs.files.size(), 1u);
    EXPECT_EQ(dialogs.files[0].title, QStringLiteral("SAVE FILE AS .."));
    EXPECT_EQ(dialogs.files[0].initialName, QStringLiteral("newfile.rtf"));
}

TEST_F(TopicDocumentsTest, LoadYesSavesFirstThenOpens) {
    dir.write("other.rtf", test::PlainTopic("other topic"));
    edit();
    ScriptedDialogs dialogs;
    dialogs.answerMessage(MessageAnswer::Yes).answerFile(path("other.rtf"));
    LoadTopicWithDialog();
    EXPECT_TRUE(dir.read("RTF Folder/first.rtf").contains("typed"));
    EXPECT_EQ(text(), QStringLiteral("other topic"));
    EXPECT_EQ(app.currentFile, path("other.rtf"));
    EXPECT_EQ(app.modified, 0);
}

TEST_F(TopicDocumentsTest, LoadDialogOpensInTheCurrentDirectoryWithOneFilter) {
    ScriptedDialogs dialogs;
    dialogs.answerFile(QString());
    LoadTopicWithDialog();
    ASSERT_EQ(dialogs.files.size(), 1u);
    const auto& request = dialogs.files[0];
    EXPECT_EQ(request.kind, platform::FileDialogKind::Open);
    EXPECT_EQ(request.title, QStringLiteral("LOAD FILE .."));
    EXPECT_EQ(request.initialDirectory, dir.path());
    EXPECT_TRUE(request.initialName.isEmpty());
    EXPECT_EQ(request.filterName, QStringLiteral("RichText File (*.rtf)"));
    EXPECT_EQ(request.filterPattern, QStringLiteral(" *.rtf"));
}

TEST_F(TopicDocumentsTest, LoadCancelledForgetsTheNameAndNextSaveAsks) {
    edit();
    app.modified = 0;
    const QString edited = text();
    ScriptedDialogs dialogs;
    dialogs.answerFile(QString());
    LoadTopicWithDialog();
    EXPECT_TRUE(app.currentFile.isEmpty());
    EXPECT_EQ(text(), edited);
    dialogs.answerFile(path("named.rtf"));
    EXPECT_EQ(SaveTopic(), SaveResult::Saved);
    EXPECT_TRUE(dir.read("named.rtf").contains("typed"));
}

TEST_F(TopicDocumentsTest, LoadOfAMissingPathKeepsTheTextUnderTheNewName) {
    ScriptedDialogs dialogs;
    app.modified = 1;
    dialogs.answerMessage(MessageAnswer::No).answerFile(path("missing.rtf"));
    LoadTopicWithDialog();
    EXPECT_EQ(app.modified, 0);
    EXPECT_EQ(text(), QStringLiteral("first topic"));
    EXPECT_EQ(app.currentFile, path("missing.rtf"));
    SaveTopic();
    EXPECT_TRUE(QFile::exists(path("missing.rtf")));
}

TEST_F(TopicDocumentsTest, SaveAsCancelledWritesNothingAndForgetsTheName) {
    ScriptedDialogs dialogs;
    dialogs.answerFile(QString());
    EXPECT_EQ(SaveTopicAs(), SaveResult::Cancelled);
    EXPECT_TRUE(app.currentFile.isEmpty());
}

TEST_F(TopicDocumentsTest, SaveAsReplacesWithoutQuestionAndUsesTheNameAsTyped) {
    dir.write("existing.rtf", "old bytes");
    edit();
    ScriptedDialogs dialogs;
    dialogs.answerFile(path("existing.rtf")).answerFile(path("no-extension"));
    EXPECT_EQ(SaveTopicAs(), SaveResult::Saved);
    EXPECT_TRUE(dir.read("existing.rtf").startsWith("{\\rtf1"));
    EXPECT_EQ(app.modified, 0);
    EXPECT_EQ(SaveTopicAs(), SaveResult::Saved);
    EXPECT_TRUE(QFile::exists(path("no-extension")));
    EXPECT_FALSE(QFile::exists(path("no-extension.rtf")));
}

TEST_F(TopicDocumentsTest, SavedTopicLoadsBackTheSameText) {
    app.editorHandle->setPlainText(QStringLiteral("Line one\tTab\nCafé €"));
    ScriptedDialogs dialogs;
    dialogs.answerFile(path("round.rtf"));
    SaveTopicAs();
    app.editorHandle->clear();
    LoadTopicIntoEditor();
    EXPECT_EQ(text(), QStringLiteral("Line one\tTab\nCafé €"));
}

TEST_F(TopicDocumentsTest, ReadOnlyTargetIsRefusedWithAnErrorBox) {
    const QString target = path("RTF Folder/first.rtf");
    const QByteArray before = dir.read("RTF Folder/first.rtf");
    QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    edit();
    ScriptedDialogs dialogs;
    dialogs.answerMessage(MessageAnswer::Ok);
    EXPECT_EQ(SaveTopic(), SaveResult::Failed);
    EXPECT_EQ(dir.read("RTF Folder/first.rtf"), before);
    EXPECT_EQ(app.modified, 1);
    EXPECT_EQ(app.currentFile, QStringLiteral("RTF Folder/first.rtf"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("ERROR"));
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("UNABLE TO SAVE FILE\nRTF Folder/first.rtf: ")))
        << dialogs.messages[0].text.toStdString();
}

TEST_F(TopicDocumentsTest, SaveIntoAMissingFolderFailsAndSaysSo) {
    edit();
    app.currentFile = path("no such folder/topic.rtf");
    ScriptedDialogs dialogs;
    dialogs.answerMessage(MessageAnswer::Ok);
    EXPECT_EQ(SaveTopic(), SaveResult::Failed);
    EXPECT_EQ(app.modified, 1);
}

TEST_F(TopicDocumentsTest, WriteErrorPartWayLeavesTheOldFileIntact) {
    const QByteArray before = dir.read("RTF Folder/first.rtf");
    app.editorHandle->setPlainText(QString(QStringLiteral("long paragraph text ")).repeated(20000));
    app.modified = 1;
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previousHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    SaveResult result;
    {
        ScriptedDialogs dialogs;
        dialogs.answerMessage(MessageAnswer::Ok);
        result = SaveTopic();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(result, SaveResult::Failed);
    EXPECT_EQ(dir.read("RTF Folder/first.rtf"), before);
    EXPECT_EQ(app.modified, 1);
    EXPECT_EQ(QDir(dir.path() + "/RTF Folder").entryList(QDir::Files), QStringList{"first.rtf"});
}

TEST_F(TopicDocumentsTest, SaveKeepsPermissionsAndSymbolicLinks) {
    const QString real = path("real.rtf");
    dir.write("real.rtf", "old");
    QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QFile::link(real, path("link.rtf"));
    app.currentFile = path("link.rtf");
    edit();
    EXPECT_EQ(SaveTopic(), SaveResult::Saved);
    EXPECT_TRUE(QFileInfo(path("link.rtf")).isSymLink());
    EXPECT_TRUE(dir.read("real.rtf").contains("typed"));
    EXPECT_EQ(QFile::permissions(real) & 0xF0FF, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

TEST_F(TopicDocumentsTest, PasteWithTheMouseMarksModified) {
    app.modified = 0;
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    app.editorHandle->paste();
    program->pump();
    EXPECT_EQ(app.modified, 1);
}

TEST_F(TopicDocumentsTest, AFileThatIsNotRtfOpensAsPlainText) {
    dir.write("notes.rtf", "Plain words\nSecond line");
    app.currentFile = path("notes.rtf");
    LoadTopicIntoEditor();
    EXPECT_EQ(text(), QStringLiteral("Plain words\nSecond line"));
}

TEST_F(TopicDocumentsTest, UnreadableOrMissingFileChangesNothing) {
    for (const QString& name : {QStringLiteral("missing.rtf"), QStringLiteral("RTF Folder"), QString()}) {
        app.currentFile = name.isEmpty() ? name : path(name);
        LoadTopicIntoEditor();
        EXPECT_EQ(text(), QStringLiteral("first topic")) << name.toStdString();
    }
}

TEST_F(TopicDocumentsTest, ToolbarButtonsRunTheMenuOperations) {
    for (auto [menu, button] : {std::pair{3, 11}, std::pair{4, 12}}) {
        for (int number : {menu, button}) {
            ScriptedDialogs dialogs;
            app.currentFile.clear();
            dialogs.answerFile(QString());
            DispatchCommand(number);
            EXPECT_EQ(dialogs.files.size(), 1u) << number;
        }
    }
    for (int number : {1, 9}) {
        ScriptedDialogs dialogs;  // nothing edited: no prompt
        app.editorHandle->setPlainText(QStringLiteral("x"));
        app.modified = 0;
        DispatchCommand(number);
        EXPECT_EQ(text(), QString()) << number;
    }
    for (int number : {2, 10}) {
        ScriptedDialogs dialogs;
        dialogs.answerFile(QString());
        DispatchCommand(number);
        ASSERT_EQ(dialogs.files.size(), 1u);
        EXPECT_EQ(dialogs.files[0].title, QStringLiteral("LOAD FILE ..")) << number;
    }
}

}  // namespace
}  // namespace quorlin
