#pragma once

#include "framework/core/text.h"

namespace framework {

// The standard Edit items, by name, act on the text field that has the keyboard focus, or that
// had it when the operator went to the menus: EditUndo, EditCut, EditCopy, EditPaste,
// EditClear, EditSelectAll.
// Starts following which text field the operator works in; each text field calls it.
void FollowTextFocus();
bool IsEditCommand(const Text& itemName);
// Whether the command would do anything now (a selection to cut, text to paste, ...).
bool EditCommandApplies(const Text& itemName);
// Carries the command out; false when it is not an edit command or does not apply.
bool PerformEditCommand(const Text& itemName);

} // namespace framework
