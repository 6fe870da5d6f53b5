// Whole-file access for the settings file, behind a port so the logic can run without Windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lw {

class FileStore {
 public:
  virtual ~FileStore() = default;
  // The file's bytes; nullopt when it is missing, a folder, or cannot be read.
  virtual std::optional<std::string> ReadAll(const std::wstring& path) const = 0;
  // Writes `bytes` to a temporary file in the same folder, then swaps it into place, so the file
  // is always either the old or the new content. A read-only file or folder fails; the
  // original is left untouched and no temporary file is left behind.
  virtual bool ReplaceAll(const std::wstring& path, std::string_view bytes) = 0;
  // True when the path names a file that can be opened for reading.
  virtual bool CanOpenForReading(const std::wstring& path) const = 0;
};

FileStore& SystemFileStore();

}  // namespace lw
