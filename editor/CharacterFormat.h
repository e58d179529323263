#pragma once
// Bold, italic and underline toggles, the font and the colour of the selection.

#include <cstdint>

namespace quorlin {

// mask: 1 bold, 2 italic, 4 underline.
void ToggleEffect(int32_t mask);
void ChangeSelectionFont();
void ChooseTextColor();

}  // namespace quorlin
