#pragma once
// Every question the program asks the user goes through here: message boxes,
// file dialogs, the font and colour dialogs and progress. Tests install a
// DialogProvider that scripts the answers and fails on any dialog it did not expect.

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

namespace quorlin::platform {

enum class MessageButtons { Ok, YesNoCancel };
enum class MessageIcon { None, Error };
enum class MessageAnswer { Ok, Yes, No, Cancel };

struct MessageRequest {
    QString caption;
    QString text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
};

enum class FileDialogKind { Open, Save };

struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    QString title;
    QString initialDirectory;  // empty: the dialog's own choice
    QString initialName;       // empty: an empty name box
    QString filterName;        // "RichText File (*.rtf)"
    QString filterPattern;     // " *.rtf", as the pattern gives it
};

struct FontRequest {
    QString face;
    int pointSize = 0;
};

struct FontChoice {
    QString face;
    int pointSizeTenths = 0;  // 105 for 10.5 pt
};

struct ProgressRequest {
    QString title;
    QString label;
    int total = 0;
    int showAfterMs = 500;
};

// A running progress display. advance() keeps the window responsive and answers
// false once the user has cancelled.
class Progress {
public:
    virtual ~Progress() = default;
    virtual bool advance(int done) = 0;
};

class DialogProvider {
public:
    virtual ~DialogProvider() = default;
    virtual MessageAnswer message(const MessageRequest& request) = 0;
    // The chosen path, or the empty string when cancelled.
    virtual QString fileName(const FileDialogRequest& request) = 0;
    virtual std::optional<FontChoice> font(const FontRequest& request) = 0;
    // The chosen colour as 0x00BBGGRR, or -1 when cancelled.
    virtual int64_t color() = 0;
    virtual std::unique_ptr<Progress> progress(const ProgressRequest& request) = 0;
};

// The provider in force: the real Qt dialogs unless a test installed its own.
DialogProvider& Dialogs();
// nullptr restores the real dialogs.
void SetDialogProvider(DialogProvider* provider);

// The real dialogs, modal to the main window.
DialogProvider& QtDialogs();

}  // namespace quorlin::platform
