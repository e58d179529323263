#pragma once
// The topic list: its rows, the first load, and opening the chosen row.

namespace quorlin {

void FillTopicList();
void LoadFirstTopic();
void OpenSelectedTopic();

}  // namespace quorlin
