// The settings file when things go wrong: a writer killed at random moments, and hostile files.
//
// The kill test forks a child that runs the real writer (IniFile::Write over the POSIX file
// store) and SIGKILLs it after a random delay, so no hook inside the product is needed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_store.h"
#include "platform/text_codec.h"
#include "settings/profile_file.h"
#include "settings/settings.h"

namespace lw::settings {
namespace {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    std::string tmpl = (fs::temp_directory_path() / "lw-reliability-XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data());
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

std::optional<std::string> Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& p, std::string_view bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Files in the folder other than the settings file itself.
std::vector<std::string> Strays(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().filename() != "Lumenweave.ini") names.push_back(e.path().filename().string());
  return names;
}

// A child writes one key; the parent kills it `delay` after the child reports it is about to
// write. Returns true when the kill arrived before the child had finished.
bool KillWriterAfter(const fs::path& ini, std::string_view key, const std::wstring& value,
                     std::chrono::microseconds delay) {
  int ready[2];
  if (::pipe(ready) != 0) return false;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(ready[0]);
    IniFile file(SystemFileStore(), SystemCp932());
    const char go = 1;
    if (::write(ready[1], &go, 1) != 1) ::_exit(2);
    static_cast<void>(file.Write(kSection, key, value, ini.wstring()));
    ::_exit(0);
  }
  ::close(ready[1]);
  char go = 0;
  const bool started = ::read(ready[0], &go, 1) == 1;
  ::close(ready[0]);
  if (started && delay.count() > 0) std::this_thread::sleep_for(delay);
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFSIGNALED(status);
}

std::chrono::microseconds TimeOneWrite(const fs::path& ini, std::string_view key, const std::wstring& value) {
  IniFile file(SystemFileStore(), SystemCp932());
  const auto start = std::chrono::steady_clock::now();
  static_cast<void>(file.Write(kSection, key, value, ini.wstring()));
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
}

TEST(ReliabilitySettings, WriterKilledAtRandomLeavesOldOrNewFileNeverPartial) {
  const std::string filler = "[Notes]\r\n" + std::string(128 << 10, 'x') + "\r\n";
  struct Case {
    const char* name;
    std::optional<std::string> before;  // nullopt: no file yet
    std::string_view key;
    std::wstring value;
    int trials;
  };
  const Case cases[] = {
      {"update in place, 128 KB file", filler + "[Section]\r\n\x97\xB1\x8E\x71\x90\x94=600\r\n", kKeyParticleCount,
       L"1234", 150},
      {"append a key", "[Section]\r\n\x97\xB1\x8E\x71\x90\x94=600\r\n" + filler, kKeyBgmFile,
       L"C:\\Music\\\u66F2.mp3", 100},
      {"first save, no file", std::nullopt, kKeyBgmSource, L"2", 100},
  };
  std::mt19937 random(20261206);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const fs::path ini = folder.path() / "Lumenweave.ini";
    const std::string encoded = SystemCp932().Encode(c.value);
    const std::string after = WriteProfileValue(c.before.value_or(""), kSection, c.key, encoded).value();

    // How long one uninterrupted write takes here; kills are spread over 1.5 times that.
    std::chrono::microseconds slowest{1};
    for (int i = 0; i < 3; ++i) {
      if (c.before) Put(ini, *c.before); else fs::remove(ini);
      slowest = std::max(slowest, TimeOneWrite(ini, c.key, c.value));
    }
    std::uniform_int_distribution<long> delay(0, slowest.count() * 3 / 2);

    int killedEarly = 0, sawOld = 0, sawNew = 0;
    for (int t = 0; t < c.trials; ++t) {
      if (c.before) Put(ini, *c.before); else fs::remove(ini);
      killedEarly += KillWriterAfter(ini, c.key, c.value, std::chrono::microseconds(delay(random)));
      const auto now = Slurp(ini);
      if (now == c.before) ++sawOld;
      else if (now == after) ++sawNew;
      else FAIL() << "trial " << t << ": the file is neither the old nor the new content ("
                  << (now ? std::to_string(now->size()) + " bytes" : "missing") << ")";
      // A temporary file a killed writer left is taken over by the next save, never kept.
      EXPECT_LE(Strays(folder.path()).size(), 1u) << "trial " << t;
    }
    std::printf("[ reliability ] %s: %d trials, %d killed before the end, old %d, new %d (one write %lld us)\n",
                c.name, c.trials, killedEarly, sawOld, sawNew, static_cast<long long>(slowest.count()));
    EXPECT_GT(killedEarly, 0) << "no kill landed inside a write";

    IniFile file(SystemFileStore(), SystemCp932());
    EXPECT_TRUE(file.Write(kSection, c.key, c.value, ini.wstring()).ok());
    EXPECT_EQ(Slurp(ini), after);
    EXPECT_TRUE(Strays(folder.path()).empty()) << "a completed save left a temporary file";
  }
}

// Hostile settings files: each gives the defined settings, never a crash or a hang.
TEST(ReliabilitySettings, HostileFilesLoadDefinedValues) {
  const std::string kCount = "\x97\xB1\x8E\x71\x90\x94";  // 粒子数
  const std::string kSource = "BGM\x8B\xE6\x95\xAA";      // BGM区分
  const std::string kRepeat = "BGM\xD8\xCB\xDF\xB0\xC4";  // BGMﾘﾋﾟｰﾄ
  std::mt19937 random(7);
  std::string junk(64 * 1024, '\0');
  for (auto& b : junk) b = static_cast<char>(random() & 0xFF);
  // The junk never holds a section header, so it reads as an empty file.
  for (auto& b : junk) if (b == '[') b = '{';

  auto utf16 = [](std::u16string_view text) {
    std::string out = "\xFF\xFE";
    for (char16_t c : text) out += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return out;
  };

  struct Case {
    const char* name;
    std::string file;
    std::int16_t count, source, track;
  };
  const Case cases[] = {
      {"binary junk", junk, 600, 0, 0},
      {"junk before a good section", junk + "\r\n[Section]\r\n" + kCount + "=42\r\n", 42, 0, 0},
      {"10 MB file, section at the end", std::string(10 << 20, 'z') + "\n[Section]\n" + kCount + "=9\n", 9, 0, 0},
      {"no final line end", "[Section]\r\n" + kCount + "=77", 77, 0, 0},
      {"only a header, no line end", "[Section]", 600, 0, 0},
      // A byte-order mark makes it Unicode text, as the platform's own reader takes it.
      {"UTF-16 with a byte-order mark", utf16(u"[Section]\r\n\u7C92\u5B50\u6570=5\r\n"), 5, 0, 0},
      {"UTF-16 mark, then an odd byte", utf16(u"[Section]\r\n\u7C92\u5B50\u6570=6\r\n") + "\x01", 6, 0, 0},
      {"duplicate sections: the first counts",
       "[Section]\r\n" + kCount + "=1\r\n[Section]\r\n" + kCount + "=2\r\n" + kSource + "=1\r\n", 1, 0, 0},
      {"duplicate keys: the first counts", "[Section]\r\n" + kCount + "=3\r\n" + kCount + "=4\r\n", 3, 0, 0},
      {"100 000-byte value is cut, then not a number", "[Section]\r\n" + kCount + "=" + std::string(100000, '7') + "\r\n",
       0, 0, 0},
      {"100 000-byte line before the key", std::string(100000, 'k') + "\r\n[Section]\r\n" + kRepeat + "=12\r\n", 600, 0, 12},
      {"100 000-byte key name", "[Section]\r\n" + std::string(100000, 'K') + "=1\r\n" + kSource + "=1\r\n", 600, 1, 0},
      // A value ends at its first NUL, as the platform's reader returns it.
      {"NUL bytes inside values", "[Section]\r\n" + kCount + "=1" + std::string(1, '\0') + "2\r\n" + kSource + "=1\r\n",
       1, 1, 0},
      {"NUL bytes before the section", std::string(5000, '\0') + "\n[Section]\n" + kRepeat + "=3\n", 600, 0, 3},
      {"out-of-range and negative numbers",
       "[Section]\r\n" + kCount + "=-32769\r\n" + kSource + "=-1\r\n" + kRepeat + "=32767\r\n", 0, -1, 32767},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    Put(folder.path() / "Lumenweave.ini", c.file);
    const Settings s = LoadSettings(folder.path().wstring(), SystemFileStore(), SystemCp932());
    EXPECT_EQ(s.particleCount, c.count);
    EXPECT_EQ(s.bgmSource, c.source);
    EXPECT_EQ(s.bgmTrack, c.track);
    EXPECT_TRUE(s.bgmFile.empty());

    // Saving into the hostile file changes that one value and nothing else that is read.
    IniFile ini(SystemFileStore(), SystemCp932());
    EXPECT_TRUE(ini.Write(kSection, kKeyBgmRepeat, L"5", s.iniPath).ok());
    const Settings again = LoadSettings(folder.path().wstring(), SystemFileStore(), SystemCp932());
    EXPECT_EQ(again.particleCount, c.count);
    EXPECT_EQ(again.bgmSource, c.source);
    EXPECT_EQ(again.bgmTrack, 5);
  }
}

}  // namespace
}  // namespace lw::settings
