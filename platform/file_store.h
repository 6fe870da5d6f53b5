// Whole-file access for the settings file, behind a port so the logic can run without Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace lw {

// A whole file's bytes, or why there are none. A missing file is not an error: it reads as no
// bytes with error 0, so a first save creates it; a file that exists but cannot be read (locked,
// denied, a folder) carries the system's error code, so nothing is written over it.
struct FileRead {
  std::optional<std::string> bytes;
  std::uint32_t error = 0;
};

class FileStore {
 public:
  virtual ~FileStore() = default;
  virtual FileRead ReadAll(const std::wstring& path) const = 0;
  // Writes `bytes` to a temporary file in the same folder, then swaps it into place, so the file
  // is always either the old or the new content. A read-only file or folder fails; the
  // original is left untouched and no temporary file is left behind. Returns 0, or the system's
  // error code of the step that failed.
  virtual std::uint32_t ReplaceAll(const std::wstring& path, std::string_view bytes) = 0;
  // True when the path names a file that can be opened for reading.
  virtual bool CanOpenForReading(const std::wstring& path) const = 0;
};

FileStore& SystemFileStore();

}  // namespace lw
