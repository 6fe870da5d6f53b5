// FileStore over Win32 files: wide paths, so any file name works.
#include <windows.h>
#include <aclapi.h>

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

// Writes `bytes` to disk through `f`, cutting the file after them; 0 or the failing step's error.
DWORD WriteThrough(const Handle& f, std::string_view bytes) {
  if (!f.valid()) return GetLastError();
  DWORD written = 0;
  if (!bytes.empty() && !WriteFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
    return GetLastError();
  if (written != bytes.size()) return ERROR_DISK_FULL;
  if (!SetEndOfFile(f.get())) return GetLastError();
  return FlushFileBuffers(f.get()) ? ERROR_SUCCESS : GetLastError();
}

// The temporary file gets the settings file's own attributes (hidden, system, ...), so the swap
// keeps them even where the platform's replace does not carry them over.
DWORD WriteNew(const std::wstring& path, std::string_view bytes, DWORD attributes) {
  return WriteThrough(Handle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr)),
                      bytes);
}

// Gives the temporary file the settings file's own access list (explicit or inherited, as it
// was), so the swap keeps who may read and change it. Best effort: a file system without access
// lists has none to copy.
void CopyAccessList(const std::wstring& from, const std::wstring& to) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(from.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                            &descriptor) != ERROR_SUCCESS)
    return;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(descriptor, &control, &revision);
  const SECURITY_INFORMATION protection =
      (control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION : UNPROTECTED_DACL_SECURITY_INFORMATION;
  SetNamedSecurityInfoW(const_cast<wchar_t*>(to.c_str()), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | protection,
                        nullptr, nullptr, dacl, nullptr);
  LocalFree(descriptor);
}

// What the platform's own writer does: rewrite the file where it is. Not proof against a crash
// half-way, so only for a folder that refuses new files.
DWORD WriteInPlace(const std::wstring& path, std::string_view bytes) {
  return WriteThrough(Handle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)), bytes);
}

class Win32FileStore final : public FileStore {
 public:
  FileRead ReadAll(const std::wstring& path) const override {
    Handle f(CreateFileW(Extended(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.valid()) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
      return {std::nullopt, error};
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f.get(), &size)) return {std::nullopt, GetLastError()};
    if (size.QuadPart > 0x7FFFFFFF) return {std::nullopt, ERROR_FILE_TOO_LARGE};
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!bytes.empty() && !ReadFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
      return {std::nullopt, GetLastError()};
    bytes.resize(got);
    return {std::move(bytes), 0};
  }

  std::uint32_t ReplaceAll(const std::wstring& original, std::string_view bytes) override {
    const std::wstring path = Extended(original);
    // A file marked read-only refuses changes, even to a process that could rename over it.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
      return ERROR_ACCESS_DENIED;

    // One fixed name beside the file: a save killed half-way leaves at most this one file, and the
    // next save overwrites it instead of adding another.
    const std::wstring temp = Extended(original + L".tmp");
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                            FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD kept = exists && (attributes & kKept) ? attributes & kKept : FILE_ATTRIBUTE_NORMAL;
    DWORD error = WriteNew(temp, bytes, kept);
    if (error == ERROR_ACCESS_DENIED && exists) return WriteInPlace(path, bytes);
    if (error == ERROR_SUCCESS && exists) CopyAccessList(path, temp);
    // A rename over the file, which no crash can leave half done. ReplaceFileW would also keep the
    // short name, but where it is emulated (Wine) it deletes the old file before moving the new
    // one in, and a crash between leaves no settings at all.
    if (error == ERROR_SUCCESS &&
        !MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      error = GetLastError();
    if (error != ERROR_SUCCESS) DeleteFileW(temp.c_str());
    return error;
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
