// Files in memory behind the FileStore port. A path in `folders` names a folder, which cannot be
// written (error 5); `readError` makes every existing file unreadable; write number `failingWrite`
// fails with a full disk (112).
#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/file_store.h"

namespace lw::testing {

class MemoryStore final : public FileStore {
 public:
  std::map<std::wstring, std::string> files;
  std::set<std::wstring> folders;
  std::uint32_t readError = 0;
  int writes = 0, failingWrite = 0;
  FileRead ReadAll(const std::wstring& path) const override {
    const auto it = files.find(path);
    if (it == files.end()) return {};
    return readError ? FileRead{std::nullopt, readError} : FileRead{it->second};
  }
  std::uint32_t ReplaceAll(const std::wstring& path, std::string_view bytes) override {
    if (folders.contains(path)) return 5;
    if (++writes == failingWrite) return 112;
    return files[path] = std::string(bytes), 0;
  }
  bool CanOpenForReading(const std::wstring& path) const override { return files.contains(path); }
};

}  // namespace lw::testing
