#include "editor/TopicDocuments.h"

#include "editor/RichTextControl.h"
#include "platform/Dialogs.h"
#include "shell/AppState.h"
#include "shell/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quorlin {

namespace {

using platform::Dialogs;
using platform::FileDialogKind;
using platform::FileDialogRequest;
using platform::MessageAnswer;

// A default path splits at its last separator into folder and file name
// (a separator in first place does not count); a name with characters no file
// name may hold leaves the name box empty.
FileDialogRequest FileDialogFor(FileDialogKind kind, const QString& title, const QString& defaultPath,
                                const QString& pattern) {
    FileDialogRequest request;
    request.kind = kind;
    request.title = title;
    const int bar = pattern.indexOf(QLatin1Char('|'));
    request.filterName = bar < 0 ? pattern : pattern.left(bar);
    request.filterPattern = bar < 0 ? QString() : pattern.mid(bar + 1);
    const int cut = std::max(defaultPath.lastIndexOf(QLatin1Char('/')), defaultPath.lastIndexOf(QLatin1Char('\\')));
    QString name = defaultPath;
    if (cut > 0) {
        request.initialDirectory = defaultPath.left(cut);
        name = defaultPath.mid(cut + 1);
    }
    static const QString kBad = QStringLiteral("\"\\/:*?<>|");
    const bool unusable = std::any_of(name.begin(), name.end(),
                                      [](QChar c) { return c.unicode() < 0x20 || kBad.contains(c); });
    request.initialName = unusable ? QString() : name;
    return request;
}

QString CurrentDirectoryWithSeparator() {
    QString dir = QDir::currentPath();
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    return dir;
}

void ReportSaveFailure(const QString& path, const QString& reason) {
    Dialogs().message({messages::kErrorCaption, messages::SaveFailedText(path, reason),
                       platform::MessageButtons::Ok, platform::MessageIcon::Error});
}

// Writes the whole document to path through a temporary file that replaces the
// target only once complete. Returns the reason on failure.
std::optional<QString> WriteTopicFile(const QString& path) {
    // A file without any write permission is read-only for everyone, the
    // super-user included, as a read-only attribute would be.
    const QFileInfo target(path);
    constexpr auto kWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (target.exists() && (!target.isWritable() || !(target.permissions() & kWrite)))
        return QStringLiteral("The file is read-only");
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    EditStream stream;
    stream.dwCookie = reinterpret_cast<intptr_t>(static_cast<QIODevice*>(&file));
    stream.pfnCallback = StreamOutToFile;
    StreamOut(app.editorHandle, stream);
    if (stream.dwError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason.isEmpty() ? QStringLiteral("Write error") : reason;
    }
    if (!file.commit()) return file.errorString();
    return std::nullopt;
}

}  // namespace

uint32_t StreamInFromFile(intptr_t cookie, uint8_t* buffer, int32_t size, int32_t* done) {
    auto* device = reinterpret_cast<QIODevice*>(cookie);
    const qint64 read = device->read(reinterpret_cast<char*>(buffer), size);
    *done = read > 0 ? int32_t(read) : 0;
    return read < 0 ? 1 : 0;
}

uint32_t StreamOutToFile(intptr_t cookie, uint8_t* buffer, int32_t size, int32_t* done) {
    auto* device = reinterpret_cast<QIODevice*>(cookie);
    const qint64 written = device->write(reinterpret_cast<const char*>(buffer), size);
    *done = written > 0 ? int32_t(written) : 0;
    return written == size ? 0 : 1;
}

void LoadTopicIntoEditor() {
    if (app.currentFile.isEmpty()) return;
    QFile file(app.currentFile);
    if (!file.open(QIODevice::ReadOnly)) return;
    EditStream stream;
    stream.dwCookie = reinterpret_cast<intptr_t>(static_cast<QIODevice*>(&file));
    stream.pfnCallback = StreamInFromFile;
    StreamIn(app.editorHandle, stream);
}

static MessageAnswer AskToSave() {
    return Dialogs().message({messages::kSavePromptCaption, messages::kSavePromptText,
                              platform::MessageButtons::YesNoCancel, platform::MessageIcon::None});
}

PromptResult SavePrompt() {
    if (!app.modified) return PromptResult::Continue;
    const MessageAnswer answer = AskToSave();
    if (answer == MessageAnswer::Cancel) return PromptResult::Cancelled;
    if (answer == MessageAnswer::Yes && SaveTopic() == SaveResult::Failed) return PromptResult::Cancelled;
    return PromptResult::Continue;
}

bool ConfirmExit() {
    if (!app.modified) return true;
    const MessageAnswer answer = AskToSave();
    if (answer == MessageAnswer::No) return true;
    if (answer == MessageAnswer::Yes) return SaveTopic() == SaveResult::Saved && app.modified == 0;
    return false;
}

void NewTopic() {
    if (SavePrompt() == PromptResult::Cancelled) return;
    ClearText(app.editorHandle);
    app.modified = 0;
}

void LoadTopicWithDialog() {
    if (SavePrompt() == PromptResult::Cancelled) return;
    const QString defaultPath = CurrentDirectoryWithSeparator() + QStringLiteral("*.rtf");
    app.currentFile = Dialogs().fileName(
        FileDialogFor(FileDialogKind::Open, messages::kLoadDialogTitle, defaultPath, messages::kFilePattern));
    if (app.currentFile.isEmpty()) return;
    app.modified = 0;
    LoadTopicIntoEditor();
}

void AskSaveFileName() {
    app.currentFile = Dialogs().fileName(FileDialogFor(FileDialogKind::Save, messages::kSaveDialogTitle,
                                                       messages::kSaveDialogName, messages::kFilePattern));
}

SaveResult SaveTopic() {
    if (app.currentFile.isEmpty()) AskSaveFileName();
    if (app.currentFile.isEmpty()) return SaveResult::Cancelled;
    if (const auto reason = WriteTopicFile(app.currentFile)) {
        ReportSaveFailure(app.currentFile, *reason);
        return SaveResult::Failed;
    }
    app.modified = 0;
    return SaveResult::Saved;
}

SaveResult SaveTopicAs() {
    AskSaveFileName();
    if (app.currentFile.isEmpty()) return SaveResult::Cancelled;
    return SaveTopic();
}

}  // namespace quorlin
