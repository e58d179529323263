#pragma once
// The one topic document: the editor's content plus currentFile and modified.
// New, Load..., Save and Save As..., the save prompt, and the stream callbacks.

#include <QString>
#include <cstdint>

namespace quorlin {

enum class SaveResult { Saved, Cancelled, Failed };
enum class PromptResult { Continue, Cancelled };

void LoadTopicIntoEditor();
void NewTopic();
void LoadTopicWithDialog();
SaveResult SaveTopic();
SaveResult SaveTopicAs();
void AskSaveFileName();

// "SAVE CURRENT FILE?" when modified; Yes saves first. Cancelled also when the
// user said Yes and the save failed, so nothing unsaved is thrown away.
PromptResult SavePrompt();
// Before the program ends: true when it may end now.
bool ConfirmExit();

// Stream callbacks; the cookie is the open QIODevice.
uint32_t StreamInFromFile(intptr_t cookie, uint8_t* buffer, int32_t size, int32_t* done);
uint32_t StreamOutToFile(intptr_t cookie, uint8_t* buffer, int32_t size, int32_t* done);

}  // namespace quorlin
