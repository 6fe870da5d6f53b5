#include "settings/settings.h"

#include "platform/conversions.h"
#include "settings/profile_file.h"

namespace lw::settings {
namespace {

// Empty text gives the default; otherwise the number, floored, if it fits 16 bits; otherwise the
// target keeps what it had.
void LoadNumber(const std::wstring& text, std::int16_t fallback, std::int16_t& target) {
  if (text.empty()) {
    target = fallback;
    return;
  }
  if (const auto number = CoerceNumber(text))
    if (const auto whole = FitInt16(Floor(*number))) target = *whole;
}

}  // namespace

std::wstring IniPathFor(std::wstring_view programFolder) { return std::wstring(programFolder) + L"\\Lumenweave.ini"; }

std::wstring IniFile::Read(std::string_view section, std::string_view key, const std::wstring& path) const {
  const auto bytes = store_.ReadAll(path);
  if (!bytes) return {};
  std::string value = ReadProfileValue(*bytes, section, key);
  // The platform's reader hands the value back as a C string: it ends at its first NUL.
  if (const auto nul = value.find('\0'); nul != std::string::npos) value.resize(nul);
  return codec_.Decode(value);
}

void IniFile::Write(std::string_view section, std::string_view key, std::wstring_view value,
                    const std::wstring& path) {
  const std::string current = store_.ReadAll(path).value_or(std::string());
  store_.ReplaceAll(path, WriteProfileValue(current, section, key, codec_.Encode(value)));
}

bool FileExists(std::wstring_view path, const FileStore& store) {
  if (!path.empty() && path.back() == L'\\') path.remove_suffix(1);
  return store.CanOpenForReading(std::wstring(path));
}

Settings LoadSettings(std::wstring_view programFolder, FileStore& store, const Cp932Codec& codec) {
  Settings s;
  IniFile ini(store, codec);
  s.iniPath = IniPathFor(programFolder);
  LoadNumber(ini.Read(kSection, kKeyParticleCount, s.iniPath), kDefaultParticleCount, s.particleCount);
  LoadNumber(ini.Read(kSection, kKeyBgmSource, s.iniPath), kSourceNone, s.bgmSource);
  LoadNumber(ini.Read(kSection, kKeyBgmRepeat, s.iniPath), 0, s.bgmTrack);
  s.bgmFile = ini.Read(kSection, kKeyBgmFile, s.iniPath);
  if (!s.bgmFile.empty() && !FileExists(s.bgmFile, store)) s.bgmFile.clear();
  if (s.bgmFile.empty() && s.bgmSource == kSourceFile) s.bgmSource = kSourceNone;
  return s;
}

}  // namespace lw::settings
