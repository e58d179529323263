#include "shell/MenusAndToolbar.h"

#include "platform/Images.h"
#include "platform/Widgets.h"
#include "shell/AppState.h"
#include "shell/Commands.h"

#include <QIcon>

namespace quorlin {

namespace {

QIcon IconFor(CommandImage image) {
    using platform::ToolbarImage;
    auto decoded = [](ToolbarImage which) { return QIcon(QPixmap::fromImage(platform::DecodeToolbarImage(which))); };
    switch (image) {
    case CommandImage::NewFile: return platform::StandardToolbarIcon(platform::StandardImage::NewFile);
    case CommandImage::OpenFile: return platform::StandardToolbarIcon(platform::StandardImage::OpenFile);
    case CommandImage::SaveFile: return decoded(ToolbarImage::SaveFile);
    case CommandImage::SaveFileAs: return decoded(ToolbarImage::SaveFileAs);
    case CommandImage::Bold: return decoded(ToolbarImage::Bold);
    case CommandImage::Italic: return decoded(ToolbarImage::Italic);
    case CommandImage::Underline: return decoded(ToolbarImage::Underline);
    case CommandImage::ChangeFont: return decoded(ToolbarImage::ChangeFont);
    case CommandImage::TextColor: return decoded(ToolbarImage::TextColor);
    case CommandImage::ZipFolder: return decoded(ToolbarImage::ZipFolder);
    case CommandImage::None: break;
    }
    return QIcon();
}

void AddMenu(const QString& title, CommandPlace place) {
    app.mainWindow->addMenuTitle(title);
    for (const Command& command : CommandTable()) {
        if (command.place != place) continue;
        if (command.separatorBefore) app.mainWindow->addMenuSeparator();
        app.mainWindow->addMenuItem(command.number, command.caption);
    }
}

}  // namespace

void FillMenuBar() {
    AddMenu(QStringLiteral("File"), CommandPlace::FileMenu);
    AddMenu(QStringLiteral("Info"), CommandPlace::InfoMenu);
}

void AddToolbarButtons() {
    for (const Command& command : CommandTable()) {
        if (command.place != CommandPlace::Toolbar) continue;
        if (command.separatorBefore) app.mainWindow->addToolbarSeparator();
        app.mainWindow->addToolbarButton(command.number, IconFor(command.image), command.caption);
    }
}

}  // namespace quorlin
