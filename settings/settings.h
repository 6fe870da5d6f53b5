// The saver's four user settings, where they live and how they are loaded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_store.h"
#include "platform/text_codec.h"

namespace lw::settings {

// Values start at 0 and empty, as before anything is loaded.
struct Settings {
  std::wstring iniPath;           // program folder + "\Lumenweave.ini"
  std::int16_t particleCount = 0; // particles drawn by the saver
  std::int16_t bgmSource = 0;     // 0 none, 1 audio CD, 2 music file
  std::int16_t bgmTrack = 0;      // CD track kept repeating, 0 none
  std::wstring bgmFile;           // full path of the music file, empty when none
};

inline constexpr std::int16_t kDefaultParticleCount = 600;
inline constexpr std::int16_t kSourceNone = 0;
inline constexpr std::int16_t kSourceCd = 1;
inline constexpr std::int16_t kSourceFile = 2;

// The section and key names as code page 932 bytes.
inline constexpr std::string_view kSection = "Section";
inline constexpr std::string_view kKeyParticleCount = "\x97\xB1\x8E\x71\x90\x94";      // 粒子数
inline constexpr std::string_view kKeyBgmSource = "BGM\x8B\xE6\x95\xAA";                // BGM区分
inline constexpr std::string_view kKeyBgmRepeat = "BGM\xD8\xCB\xDF\xB0\xC4";            // BGMﾘﾋﾟｰﾄ
inline constexpr std::string_view kKeyBgmFile = "BGM\xCC\xA7\xB2\xD9";                  // BGMﾌｧｲﾙ

// Where the settings file of a program in `programFolder` lives: the folder and
// "\Lumenweave.ini", joined as they are.
std::wstring IniPathFor(std::wstring_view programFolder);

// A settings file's text. Files are code page 932 bytes; one that starts with a UTF-8 or UTF-16
// byte-order mark is Unicode text, read and written back in its own encoding, as the platform's
// profile functions do.
struct ProfileText {
  enum class Encoding { kCp932, kUtf8, kUtf16Le, kUtf16Be };
  Encoding encoding = Encoding::kCp932;
  std::string cp932;  // the text as code page 932 bytes (a Unicode file's as far as it can hold it)
  std::wstring wide;  // a Unicode file's text
  bool clean = true;  // false when the Unicode text had malformed sequences: never rewritten

  static ProfileText From(std::string_view bytes, const Cp932Codec& codec);
  // The value of a key; section and key are code page 932 names.
  std::wstring Value(std::string_view section, std::string_view key, const Cp932Codec& codec) const;
  // The file's bytes with the key set, or nullopt when the value would break the file's lines or
  // the file is not clean. A
  // code page 932 file stays byte for byte as it was outside that line while the value fits code
  // page 932 within kMaxValueBytes; otherwise the whole file becomes UTF-16LE with a byte-order mark.
  std::optional<std::string> Edited(std::string_view section, std::string_view key, std::wstring_view value,
                                    const Cp932Codec& codec) const;
};

// The outcome of a save: 0, or the platform's system error code of what failed, e.g.
// ERROR_ACCESS_DENIED (5) or ERROR_DISK_FULL (112) on Windows.
struct SaveStatus {
  std::uint32_t error = 0;
  bool ok() const { return error == 0; }
};

// Windows' ERROR_INVALID_DATA, for a value the file cannot hold; the logic names no system header.
inline constexpr std::uint32_t kErrorInvalidData = 13;

// A settings file on disk, read and written through a FileStore.
class IniFile {
 public:
  IniFile(FileStore& store, const Cp932Codec& codec) : store_(store), codec_(codec) {}
  // Empty text for a missing file, section or key.
  std::wstring Read(std::string_view section, std::string_view key, const std::wstring& path) const;
  // A file that exists but cannot be read is never written over: its read error is returned. A
  // value that would break the file's lines leaves the file unchanged (kErrorInvalidData). The
  // file's encoding follows ProfileText::Edited.
  [[nodiscard]] SaveStatus Write(std::string_view section, std::string_view key, std::wstring_view value, const std::wstring& path);
  // Several keys of one section, all or nothing: the file is read once, every value is set in
  // memory in the order given, and the result replaces the file in one step. Any failure (the
  // read, a value, the replace) leaves the file exactly as it was.
  struct Entry {
    std::string_view key;
    std::wstring value;
  };
  [[nodiscard]] SaveStatus WriteAll(std::string_view section, const std::vector<Entry>& entries, const std::wstring& path);

 private:
  FileStore& store_;
  const Cp932Codec& codec_;
};

// True when `path` (a final "\" removed) names a file that can be opened for reading.
bool FileExists(std::wstring_view path, const FileStore& store);

// Loads the four settings from the file beside the program, with their defaults and checks.
Settings LoadSettings(std::wstring_view programFolder, FileStore& store, const Cp932Codec& codec);

}  // namespace lw::settings
