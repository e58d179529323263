#include "shell/Commands.h"

#include "editor/CharacterFormat.h"
#include "editor/TopicDocuments.h"
#include "folder/HelpArchive.h"
#include "platform/Dialogs.h"
#include "shell/AppState.h"
#include "shell/Messages.h"

namespace quorlin {

namespace {

void ShowInfo(const QString& caption, const QString& text) {
    platform::Dialogs().message({caption, text, platform::MessageButtons::Ok, platform::MessageIcon::None});
}

void Exit() { app.quitRequested = 1; }
void Help() { ShowInfo(messages::kHelpCaption, messages::kHelpText); }
void About() { ShowInfo(messages::kAboutCaption, messages::kAboutText); }
void New() { NewTopic(); }
void Load() { LoadTopicWithDialog(); }
void Save() { SaveTopic(); }
void SaveAs() { SaveTopicAs(); }
void Bold() { ToggleEffect(1); }
void Italic() { ToggleEffect(2); }
void Underline() { ToggleEffect(4); }
void Zip() { ZipTopicFolder(); }

}  // namespace

const std::vector<Command>& CommandTable() {
    using P = CommandPlace;
    using I = CommandImage;
    static const std::vector<Command> table = {
        {1, P::FileMenu, QStringLiteral("New"), I::None, false, New},
        {2, P::FileMenu, QStringLiteral("Load..."), I::None, false, Load},
        {3, P::FileMenu, QStringLiteral("Save"), I::None, false, Save},
        {4, P::FileMenu, QStringLiteral("Save As..."), I::None, false, SaveAs},
        {5, P::FileMenu, QStringLiteral("Exit"), I::None, true, Exit},
        {6, P::InfoMenu, QStringLiteral("Help"), I::None, false, Help},
        {7, P::InfoMenu, QStringLiteral("About..."), I::None, true, About},
        {9, P::Toolbar, QStringLiteral("New File"), I::NewFile, false, New},
        {10, P::Toolbar, QStringLiteral("Open File"), I::OpenFile, false, Load},
        {11, P::Toolbar, QStringLiteral("Save File"), I::SaveFile, false, Save},
        {12, P::Toolbar, QStringLiteral("Save File As .."), I::SaveFileAs, false, SaveAs},
        {13, P::Toolbar, QStringLiteral("Bold Text"), I::Bold, true, Bold},
        {14, P::Toolbar, QStringLiteral("Italicize Text"), I::Italic, false, Italic},
        {15, P::Toolbar, QStringLiteral("Underline Text"), I::Underline, false, Underline},
        {16, P::Toolbar, QStringLiteral("Change Font"), I::ChangeFont, false, ChangeSelectionFont},
        {17, P::Toolbar, QStringLiteral("Text Color"), I::TextColor, false, ChooseTextColor},
        {18, P::Toolbar, QStringLiteral("Zip Folder when you've completed your mods."), I::ZipFolder, true, Zip},
    };
    return table;
}

void DispatchCommand(int number) {
    for (const Command& command : CommandTable()) {
        if (command.number == number) {
            command.operation();
            return;
        }
    }
}

}  // namespace quorlin
