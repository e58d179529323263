#pragma once
// The event loop: one pass per event, the caret position in the status bar,
// and the reaction to close, command, topic-list and key events.

#include "platform/Events.h"

namespace quorlin {

void RunEventLoop();
// One pass for one event; true when the loop ends after it.
bool RunPass(const platform::Event& event);
// Runs passes for everything already pending, without waiting; true when the
// loop would end. Tests drive the program through this.
bool RunPendingPasses();

void ShowCaretPosition();

}  // namespace quorlin
