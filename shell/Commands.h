#pragma once
// The one table of commands: number, where it appears, its caption or
// tooltip, its image and its operation. Menus and toolbar are built from it.

#include <QString>
#include <vector>

namespace quorlin {

enum class CommandPlace { FileMenu, InfoMenu, Toolbar };

enum class CommandImage {
    None, NewFile, OpenFile, SaveFile, SaveFileAs, Bold, Italic, Underline, ChangeFont, TextColor, ZipFolder
};

struct Command {
    int number;
    CommandPlace place;
    QString caption;  // menu caption, or the toolbar button's tooltip
    CommandImage image;
    bool separatorBefore;
    void (*operation)();
};

const std::vector<Command>& CommandTable();

// Runs the operation of a command number; numbers without a row do nothing.
void DispatchCommand(int number);

}  // namespace quorlin
