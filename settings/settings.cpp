#include "settings/settings.h"

#include "platform/conversions.h"
#include "platform/utf8.h"
#include "settings/profile_file.h"

namespace lw::settings {
namespace {

// Malformed sequences become U+FFFD, which code page 932 cannot hold, so such a file is read but
// never rewritten.
std::wstring DecodeUtf8(std::string_view s) {
  std::wstring out;
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    const std::size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    std::uint32_t u = len == 1 ? b : len == 2 ? (b & 0x1Fu) : len == 3 ? (b & 0x0Fu) : (b & 0x07u);
    bool ok = len != 0 && i + len <= s.size();
    for (std::size_t k = 1; ok && k < len; ++k) {
      const auto c = static_cast<unsigned char>(s[i + k]);
      ok = (c & 0xC0) == 0x80;
      u = (u << 6) | (c & 0x3Fu);
    }
    if (!ok || u > 0xFFFF) {
      out.push_back(L'\uFFFD');
      i += ok ? len : 1;
      continue;
    }
    out.push_back(static_cast<wchar_t>(u));
    i += len;
  }
  return out;
}

}  // namespace

ProfileText ProfileText::From(std::string_view bytes, const Cp932Codec& codec) {
  ProfileText text;
  std::wstring wide;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    text.encoding = Encoding::kUtf8;
    wide = DecodeUtf8(bytes.substr(3));
  } else if (bytes.size() >= 2 && (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")) {
    text.encoding = bytes[0] == '\xFF' ? Encoding::kUtf16Le : Encoding::kUtf16Be;
    const std::size_t hi = text.encoding == Encoding::kUtf16Le ? 1 : 0;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
      wide.push_back(static_cast<wchar_t>((static_cast<unsigned char>(bytes[i + hi]) << 8) |
                                          static_cast<unsigned char>(bytes[i + 1 - hi])));
  } else {
    text.cp932 = std::string(bytes);
    return text;
  }
  text.cp932 = codec.Encode(wide, &text.lossless);
  return text;
}

std::string ProfileText::Encode(std::string_view edited, const Cp932Codec& codec) const {
  if (encoding == Encoding::kCp932) return std::string(edited);
  const std::wstring wide = codec.Decode(edited);
  std::string out;
  if (encoding == Encoding::kUtf8) {
    out = "\xEF\xBB\xBF";
    for (wchar_t c : wide) AppendUtf8(out, static_cast<std::uint32_t>(c));
    return out;
  }
  const bool le = encoding == Encoding::kUtf16Le;
  out.resize(2 * (wide.size() + 1));
  for (std::size_t i = 0; i <= wide.size(); ++i) {
    const auto u = static_cast<std::uint16_t>(i == 0 ? 0xFEFF : wide[i - 1]);
    out[2 * i + (le ? 0 : 1)] = static_cast<char>(u & 0xFF);
    out[2 * i + (le ? 1 : 0)] = static_cast<char>(u >> 8);
  }
  return out;
}

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
  const auto bytes = store_.ReadAll(path).bytes;
  if (!bytes) return {};
  std::string value = ReadProfileValue(ProfileText::From(*bytes, codec_).cp932, section, key);
  // The platform's reader hands the value back as a C string: it ends at its first NUL.
  if (const auto nul = value.find('\0'); nul != std::string::npos) value.resize(nul);
  return codec_.Decode(value);
}

SaveStatus IniFile::Write(std::string_view section, std::string_view key, std::wstring_view value,
                          const std::wstring& path) {
  // Characters code page 932 cannot hold are stored as "?", as the platform's own writer does; a
  // music path stored so names no file, and the next start switches file music off.
  const std::string encodedValue = codec_.Encode(value);
  const FileRead file = store_.ReadAll(path);
  if (file.error != 0) return {file.error};
  const ProfileText text = ProfileText::From(file.bytes.value_or(std::string()), codec_);
  if (!text.lossless) return {kErrorInvalidData};
  const auto edited = WriteProfileValue(text.cp932, section, key, encodedValue);
  if (!edited) return {kErrorInvalidData};
  return {store_.ReplaceAll(path, text.Encode(*edited, codec_))};
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
