// The save prompt and the file dialogs as the real Qt dialogs show them.
#include "editor/TopicDocuments.h"
#include "platform/Widgets.h"
#include "shell/AppState.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace quorlin {
namespace {

using test::WhenShown;


TEST(RealDialogsTest, SavePromptThenLoadDialog) {
    test::WorkingDirectory dir;
    dir.write("wanted.rtf", test::PlainTopic("wanted"));
    test::RunningProgram program;
    app.modified = 1;
    WhenShown<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), QStringLiteral("!"));
        EXPECT_EQ(box->text(), QStringLiteral("SAVE CURRENT FILE?"));
        EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::Yes));
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        WhenShown<QFileDialog>([](QFileDialog* dialog) {
            EXPECT_EQ(dialog->windowTitle(), QStringLiteral("LOAD FILE .."));
            EXPECT_EQ(dialog->directory().absolutePath(), QDir::currentPath());
            EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("RichText File (*.rtf)")});
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            EXPECT_TRUE(name->text().isEmpty());
            name->setText(QStringLiteral("wanted.rtf"));
            static_cast<QDialog*>(dialog)->accept();
        });
        box->button(QMessageBox::No)->click();
    });
    const QString before = QDir::currentPath();
    LoadTopicWithDialog();
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(app.currentFile, dir.path() + QStringLiteral("/wanted.rtf"));
    EXPECT_EQ(program.editorText(), QStringLiteral("wanted"));
    EXPECT_EQ(app.modified, 0);
}

TEST(RealDialogsTest, SaveDialogProposesNewfileAndDoesNotAskBeforeReplacing) {
    test::WorkingDirectory dir;
    dir.write("exists.rtf", "old");
    test::RunningProgram program;
    app.editorHandle->setPlainText(QStringLiteral("new text"));
    WhenShown<QFileDialog>([&dir](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("SAVE FILE AS .."));
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(dialog->defaultSuffix().isEmpty());
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), QStringLiteral("newfile.rtf"));
        name->setText(dir.path() + QStringLiteral("/exists.rtf"));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(SaveTopicAs(), SaveResult::Saved);
    EXPECT_TRUE(dir.read("exists.rtf").contains("new text"));
}

}  // namespace
}  // namespace quorlin
