#include "dialog/dialog_texts_win32.h"

#include <optional>

namespace lw::dialog {
namespace {

constexpr LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr UINT kStringsPerBlock = 16;

// LoadStringW picks the table by the thread's language, which Windows and Wine derive in
// different ways; asking for the block of one language gives the same answer on both.
std::optional<std::wstring> FindString(UINT id, LANGID language) {
  const HMODULE module = GetModuleHandleW(nullptr);
  const HRSRC block = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / kStringsPerBlock + 1), language);
  const HGLOBAL loaded = block ? LoadResource(module, block) : nullptr;
  const auto* at = static_cast<const wchar_t*>(loaded ? LockResource(loaded) : nullptr);
  if (!at) return std::nullopt;
  const wchar_t* end = at + SizeofResource(module, block) / sizeof(wchar_t);
  // A block is 16 strings, each its length followed by its characters.
  for (UINT i = 0; i < id % kStringsPerBlock && at < end; ++i) at += 1 + *at;
  if (at >= end || *at == 0 || at + 1 + *at > end) return std::nullopt;
  return std::wstring(at + 1, *at);
}

}  // namespace

bool JapaneseUi() { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE; }

std::wstring DialogText(UINT id) {
  if (auto text = FindString(id, JapaneseUi() ? kJapanese : kEnglish)) return *text;
  return FindString(id, kEnglish).value_or(std::wstring());
}

}  // namespace lw::dialog
