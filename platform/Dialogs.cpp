#include "platform/Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QMessageBox>
#include <QProgressDialog>
#include <QWidget>

namespace quorlin::platform {

namespace {

DialogProvider* g_provider = nullptr;

// Dialogs are modal to the program's own foreground window, if it has one.
QWidget* Owner() {
    QWidget* active = QApplication::activeWindow();
    if (active) return active;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->isWindow() && !w->isHidden()) return w;
    return nullptr;
}

QMessageBox::StandardButtons ButtonsFor(MessageButtons buttons) {
    return buttons == MessageButtons::YesNoCancel
               ? QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel
               : QMessageBox::StandardButtons(QMessageBox::Ok);
}

MessageAnswer AnswerFor(int button) {
    switch (button) {
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    default: return MessageAnswer::Ok;
    }
}

class QtProgress : public Progress {
public:
    explicit QtProgress(const ProgressRequest& request)
        : dialog_(request.label, QStringLiteral("Cancel"), 0, request.total, Owner()) {
        dialog_.setWindowTitle(request.title);
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(request.showAfterMs);
        dialog_.setAutoClose(false);
        dialog_.setAutoReset(false);
        dialog_.setValue(0);
    }
    bool advance(int done) override {
        dialog_.setValue(done);  // also keeps the window painting
        return !dialog_.wasCanceled();
    }

private:
    QProgressDialog dialog_;
};

// The font dialog offers no effects that would then be ignored.
void HideEffectsGroup(QFontDialog& dialog) {
    for (QGroupBox* box : dialog.findChildren<QGroupBox*>())
        if (box->title().contains(QStringLiteral("Effects"), Qt::CaseInsensitive)) box->hide();
}

class RealDialogs : public DialogProvider {
public:
    MessageAnswer message(const MessageRequest& request) override {
        QMessageBox box(request.icon == MessageIcon::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                        request.caption, request.text, ButtonsFor(request.buttons), Owner());
        if (request.buttons == MessageButtons::YesNoCancel) {
            box.setDefaultButton(QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::Cancel);
        }
        return AnswerFor(box.exec());
    }

    QString fileName(const FileDialogRequest& request) override {
        QFileDialog dialog(Owner(), request.title, request.initialDirectory);
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setNameFilter(request.filterName);
        dialog.setFileMode(QFileDialog::AnyFile);
        if (request.kind == FileDialogKind::Save) {
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
        }
        if (!request.initialName.isEmpty()) dialog.selectFile(request.initialName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
        return dialog.selectedFiles().constFirst();
    }

    std::optional<FontChoice> font(const FontRequest& request) override {
        QFontDialog dialog(QFont(request.face, request.pointSize), Owner());
        dialog.setOption(QFontDialog::DontUseNativeDialog);
        HideEffectsGroup(dialog);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        const QFont chosen = dialog.selectedFont();
        return FontChoice{chosen.family(), qRound(chosen.pointSizeF() * 10)};
    }

    int64_t color() override {
        QColorDialog::setCustomColor(0, Qt::black);
        QColorDialog dialog(Qt::black, Owner());
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        if (dialog.exec() != QDialog::Accepted) return -1;
        const QColor c = dialog.selectedColor();
        return int64_t(c.red()) | (int64_t(c.green()) << 8) | (int64_t(c.blue()) << 16);
    }

    std::unique_ptr<Progress> progress(const ProgressRequest& request) override {
        return std::make_unique<QtProgress>(request);
    }
};

}  // namespace

DialogProvider& QtDialogs() {
    static RealDialogs dialogs;
    return dialogs;
}

DialogProvider& Dialogs() { return g_provider ? *g_provider : QtDialogs(); }

void SetDialogProvider(DialogProvider* provider) { g_provider = provider; }

}  // namespace quorlin::platform
