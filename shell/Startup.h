#pragma once
// Startup, layout and exit of the program.

namespace quorlin {

// The program: builds the window, runs the event loop, and ends through
// ExitApplication. Returns the exit code, always 0.
int RunApplication();
// The steps up to the event loop; false when a window part could not be made
// (its "ERROR" box has been shown and everything released).
bool StartApplication();
void ExitApplication();

void LayOutControls();
void MainWindowCallback();

}  // namespace quorlin
