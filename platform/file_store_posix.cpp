// FileStore over POSIX files, for the native build (tests, fuzzers, tools).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

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

class PosixFileStore final : public FileStore {
 public:
  std::optional<std::string> ReadAll(const std::wstring& path) const override {
    const std::string p = Narrow(path);
    if (!IsRegularFile(p)) return std::nullopt;
    std::ifstream in(p, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  bool ReplaceAll(const std::wstring& path, std::string_view bytes) override {
    const std::string p = Narrow(path);
    // The permission bits, not access(): a file marked read-only stays unchanged even for root,
    // like a read-only file on Windows.
    struct stat st {};
    if (::stat(p.c_str(), &st) == 0 && (!S_ISREG(st.st_mode) || !(st.st_mode & S_IWUSR))) return false;
    const std::string tmp = p + ".tmp";
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (w <= 0) break;
      done += static_cast<std::size_t>(w);
    }
    const bool ok = done == bytes.size() && ::fsync(fd) == 0;
    ::close(fd);
    if (!ok || std::rename(tmp.c_str(), p.c_str()) != 0) {
      std::remove(tmp.c_str());
      return false;
    }
    return true;
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
