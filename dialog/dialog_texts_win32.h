// The settings dialog's texts in the user's language: Japanese on a Japanese system, English on
// every other, from the string tables of the program's resources (ids in resource_ids.h).
#pragma once

#include <windows.h>

#include <string>

namespace lw::dialog {

// True when the user's interface language is Japanese.
bool JapaneseUi();

// String `id` in the user's language; the English one when that table lacks it.
std::wstring DialogText(UINT id);

}  // namespace lw::dialog
