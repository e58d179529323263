#pragma once
// Shared test helpers: scripted dialogs and a running program in a temporary
// working directory.

#include "platform/Dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QString>
#include <QTimer>
#include <functional>
#include <QTemporaryDir>
#include <deque>
#include <optional>
#include <variant>
#include <vector>

#include <ostream>

// Test failures print QStrings as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace quorlin::test {

// Answers dialogs from a script, in order, and fails the test on any dialog
// it was not told to expect (or of another kind than expected).
class ScriptedDialogs : public platform::DialogProvider {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    ScriptedDialogs& answerMessage(platform::MessageAnswer answer);
    ScriptedDialogs& answerFile(const QString& path);  // "" cancels
    ScriptedDialogs& answerFont(std::optional<platform::FontChoice> choice);
    ScriptedDialogs& answerColor(int64_t color);       // -1 cancels
    // Cancels the progress display after `steps` advances (-1: never).
    ScriptedDialogs& cancelProgressAfter(int steps);

    bool allAnswered() const { return script_.empty(); }

    std::vector<platform::MessageRequest> messages;
    std::vector<platform::FileDialogRequest> files;
    std::vector<platform::FontRequest> fonts;
    int colorDialogs = 0;
    int progressDialogs = 0;

    platform::MessageAnswer message(const platform::MessageRequest& request) override;
    QString fileName(const platform::FileDialogRequest& request) override;
    std::optional<platform::FontChoice> font(const platform::FontRequest& request) override;
    int64_t color() override;
    std::unique_ptr<platform::Progress> progress(const platform::ProgressRequest& request) override;

private:
    struct FontAnswer { std::optional<platform::FontChoice> choice; };
    struct ColorAnswer { int64_t color; };
    using Answer = std::variant<platform::MessageAnswer, QString, FontAnswer, ColorAnswer>;
    template <typename T> std::optional<T> next(const char* kind);

    std::deque<Answer> script_;
    int progressCancelAfter_ = -1;
};

// A temporary working directory with an "RTF Folder", made current for the
// test's lifetime.
class WorkingDirectory {
public:
    WorkingDirectory();
    ~WorkingDirectory();
    QString path() const { return dir_.path(); }
    QString topicFolder() const { return dir_.path() + QStringLiteral("/RTF Folder"); }
    // Writes a file relative to the working directory, making folders as needed.
    void write(const QString& relative, const QByteArray& bytes) const;
    QByteArray read(const QString& relative) const;

private:
    QTemporaryDir dir_;
    QString previous_;
};

// Once a modal dialog of type T is up (a moment after this call), hands it to act.
template <typename T>
void WhenShown(std::function<void(T*)> act) {
    QTimer::singleShot(50, [act] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<T*>(w); dialog && dialog->isVisible()) return act(dialog);
        ADD_FAILURE() << "dialog not shown";
    });
}

// A minimal RTF topic holding one paragraph of plain text.
QByteArray PlainTopic(const QString& text);

// The program started in a working directory, run headless; ended on destruction.
class RunningProgram {
public:
    RunningProgram();
    ~RunningProgram();
    bool started() const { return started_; }
    // Runs the passes for what is pending; true when the loop ended.
    bool pump();
    void typeText(const QString& text);
    QString editorText() const;

private:
    bool started_ = false;
};

}  // namespace quorlin::test
