// Files in memory behind the FileStore port; a path in `folders` names a folder, which cannot be
// written or opened.
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
  int writes = 0;
  std::optional<std::string> ReadAll(const std::wstring& path) const override {
    const auto it = files.find(path);
    return it == files.end() ? std::nullopt : std::optional<std::string>(it->second);
  }
  bool ReplaceAll(const std::wstring& path, std::string_view bytes) override {
    return !folders.contains(path) && (++writes, files[path] = std::string(bytes), true);
  }
  bool CanOpenForReading(const std::wstring& path) const override { return files.contains(path); }
};

}  // namespace lw::testing
