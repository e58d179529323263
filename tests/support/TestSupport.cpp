#include "support/TestSupport.h"

#include "platform/Widgets.h"
#include "shell/AppState.h"
#include "shell/EventLoop.h"
#include "shell/Startup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <gtest/gtest.h>

namespace quorlin::test {

using namespace platform;

ScriptedDialogs::ScriptedDialogs() { SetDialogProvider(this); }

ScriptedDialogs::~ScriptedDialogs() {
    SetDialogProvider(nullptr);
    EXPECT_TRUE(script_.empty()) << script_.size() << " scripted dialog answer(s) were never asked for";
}

ScriptedDialogs& ScriptedDialogs::answerMessage(MessageAnswer answer) {
    script_.emplace_back(answer);
    return *this;
}
ScriptedDialogs& ScriptedDialogs::answerFile(const QString& path) {
    script_.emplace_back(path);
    return *this;
}
ScriptedDialogs& ScriptedDialogs::answerFont(std::optional<FontChoice> choice) {
    script_.emplace_back(FontAnswer{choice});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::answerColor(int64_t color) {
    script_.emplace_back(ColorAnswer{color});
    return *this;
}
ScriptedDialogs& ScriptedDialogs::cancelProgressAfter(int steps) {
    progressCancelAfter_ = steps;
    return *this;
}

template <typename T>
std::optional<T> ScriptedDialogs::next(const char* kind) {
    if (script_.empty() || !std::holds_alternative<T>(script_.front())) {
        ADD_FAILURE() << "unexpected " << kind << " dialog";
        return std::nullopt;
    }
    T answer = std::get<T>(script_.front());
    script_.pop_front();
    return answer;
}

MessageAnswer ScriptedDialogs::message(const MessageRequest& request) {
    messages.push_back(request);
    const auto answer = next<MessageAnswer>("message box");
    if (!answer) ADD_FAILURE() << "  caption: " << request.caption.toStdString() << "  text: " << request.text.toStdString();
    return answer.value_or(MessageAnswer::Cancel);
}

QString ScriptedDialogs::fileName(const FileDialogRequest& request) {
    files.push_back(request);
    return next<QString>("file").value_or(QString());
}

std::optional<FontChoice> ScriptedDialogs::font(const FontRequest& request) {
    fonts.push_back(request);
    const auto answer = next<FontAnswer>("font");
    return answer ? answer->choice : std::nullopt;
}

int64_t ScriptedDialogs::color() {
    ++colorDialogs;
    const auto answer = next<ColorAnswer>("colour");
    return answer ? answer->color : -1;
}

namespace {
class ScriptedProgress : public Progress {
public:
    explicit ScriptedProgress(int cancelAfter) : left_(cancelAfter) {}
    bool advance(int) override { return left_ < 0 || left_-- > 0; }

private:
    int left_;
};
}  // namespace

std::unique_ptr<Progress> ScriptedDialogs::progress(const ProgressRequest&) {
    ++progressDialogs;
    return std::make_unique<ScriptedProgress>(progressCancelAfter_);
}

WorkingDirectory::WorkingDirectory() : previous_(QDir::currentPath()) {
    QDir().mkpath(topicFolder());
    QDir::setCurrent(dir_.path());
}

WorkingDirectory::~WorkingDirectory() { QDir::setCurrent(previous_); }

void WorkingDirectory::write(const QString& relative, const QByteArray& bytes) const {
    const QString full = dir_.path() + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(full).path());
    QFile file(full);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << full.toStdString();
    file.write(bytes);
}

QByteArray WorkingDirectory::read(const QString& relative) const {
    QFile file(dir_.path() + QLatin1Char('/') + relative);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray PlainTopic(const QString& text) {
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 " + text.toUtf8() + "\\par}";
}

RunningProgram::RunningProgram() {
    started_ = StartApplication();
    pump();
}

RunningProgram::~RunningProgram() {
    if (started_) ExitApplication();
    QCoreApplication::processEvents();
}

bool RunningProgram::pump() {
    if (!started_) return false;
    return RunPendingPasses();
}

void RunningProgram::typeText(const QString& text) {
    app.editorHandle->setFocus();
    QTest::keyClicks(app.editorHandle, text);
    pump();
}

QString RunningProgram::editorText() const { return app.editorHandle->toPlainText(); }

}  // namespace quorlin::test
