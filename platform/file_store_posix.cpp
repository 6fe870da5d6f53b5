// FileStore over POSIX files, for the native build (tests, fuzzers, tools).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>

#include "platform/file_store.h"
#include "platform/utf8.h"

namespace lw {
namespace {

std::string Narrow(const std::wstring& path) {
  std::string out;
  for (wchar_t c : path) AppendUtf8(out, c == L'\\' ? U'/' : static_cast<std::uint32_t>(c));
  return out;
}

bool IsRegularFile(const std::string& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// A missing file (or a missing folder on its path) is no error; anything else is.
FileRead Failed(int error) {
  if (error == ENOENT || error == ENOTDIR) return {};
  return {std::nullopt, static_cast<std::uint32_t>(error)};
}

class PosixFileStore final : public FileStore {
 public:
  FileRead ReadAll(const std::wstring& path) const override {
    const std::string p = Narrow(path);
    const int fd = ::open(p.c_str(), O_RDONLY);
    if (fd < 0) return Failed(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
      ::close(fd);
      return {std::nullopt, static_cast<std::uint32_t>(error)};
    }
    std::string bytes;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<std::size_t>(got));
    const int error = errno;
    ::close(fd);
    if (got < 0) return {std::nullopt, static_cast<std::uint32_t>(error)};
    return {std::move(bytes), 0};
  }

  std::uint32_t ReplaceAll(const std::wstring& path, std::string_view bytes) override {
    const std::string p = Narrow(path);
    // The permission bits, not access(): a file marked read-only stays unchanged even for root,
    // like a read-only file on Windows.
    struct stat st {};
    if (::stat(p.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return EISDIR;
    if (::stat(p.c_str(), &st) == 0 && !(st.st_mode & S_IWUSR)) return EACCES;
    const std::string tmp = p + ".tmp";
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return static_cast<std::uint32_t>(errno);
    int error = 0;
    std::size_t done = 0;
    while (done < bytes.size() && error == 0) {
      const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (w <= 0) error = w < 0 ? errno : ENOSPC;
      else done += static_cast<std::size_t>(w);
    }
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    ::close(fd);
    if (error == 0 && std::rename(tmp.c_str(), p.c_str()) != 0) error = errno;
    if (error != 0) std::remove(tmp.c_str());
    return static_cast<std::uint32_t>(error);
  }

  bool CanOpenForReading(const std::wstring& path) const override {
    const std::string p = Narrow(path);
    if (!IsRegularFile(p)) return false;
    std::ifstream in(p, std::ios::binary);
    return static_cast<bool>(in);
  }
};

}  // namespace

FileStore& SystemFileStore() {
  static PosixFileStore store;
  return store;
}

}  // namespace lw
