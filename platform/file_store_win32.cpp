// FileStore over Win32 files: wide paths, so any file name works.
#include <windows.h>

#include "platform/file_store.h"

namespace lw {
namespace {

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() { if (valid()) CloseHandle(h_); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

// Paths of MAX_PATH characters or more reach the file functions only in their extended form,
// whatever the system's long-path setting; shorter ones are passed as they are.
std::wstring Extended(const std::wstring& path) {
  if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0) return path;
  if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
  if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return path;
}

class Win32FileStore final : public FileStore {
 public:
  std::optional<std::string> ReadAll(const std::wstring& path) const override {
    Handle f(CreateFileW(Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.valid()) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f.get(), &size) || size.QuadPart > 0x7FFFFFFF) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!bytes.empty() && !ReadFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
      return std::nullopt;
    bytes.resize(got);
    return bytes;
  }

  bool ReplaceAll(const std::wstring& original, std::string_view bytes) override {
    const std::wstring path = Extended(original);
    // A file marked read-only refuses changes, even to a process that could rename over it.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
      return false;

    // One fixed name beside the file: a save killed half-way leaves at most this one file, and the
    // next save overwrites it instead of adding another.
    const std::wstring temp = Extended(original + L".tmp");
    bool ok = false;
    {
      Handle f(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (f.valid()) {
        DWORD written = 0;
        ok = (bytes.empty() || WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) &&
             written == bytes.size() && FlushFileBuffers(f.get());
      }
    }
    if (ok) ok = MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
  }

  bool CanOpenForReading(const std::wstring& path) const override {
    Handle f(CreateFileW(Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
    return f.valid();
  }
};

}  // namespace

FileStore& SystemFileStore() {
  static Win32FileStore store;
  return store;
}

}  // namespace lw
