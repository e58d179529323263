#pragma once
// Menus and toolbar buttons, built from the command table.

namespace quorlin {

void FillMenuBar();
void AddToolbarButtons();

}  // namespace quorlin
