#include "settings/settings.h"

#include "platform/conversions.h"
#include "platform/utf8.h"
#include "settings/profile_file.h"

namespace lw::settings {
namespace {

// Malformed sequences become U+FFFD (and clear `clean`); characters beyond the first plane a
// surrogate pair.
std::wstring DecodeUtf8(std::string_view s, bool& clean) {
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
    if (!ok || u > 0x10FFFF) {
      clean = false;
      out.push_back(L'\uFFFD');
      i += ok ? len : 1;
      continue;
    }
    if (u > 0xFFFF) {
      out.push_back(static_cast<wchar_t>(0xD800 + ((u - 0x10000) >> 10)));
      u = 0xDC00 + ((u - 0x10000) & 0x3FF);
    }
    out.push_back(static_cast<wchar_t>(u));
    i += len;
  }
  return out;
}

std::string EncodeUtf8(std::wstring_view wide) {
  std::string out;
  for (std::size_t i = 0; i < wide.size(); ++i) {
    std::uint32_t u = static_cast<std::uint16_t>(wide[i]);
    const bool pair = u >= 0xD800 && u < 0xDC00 && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] < 0xE000;
    if (pair) u = 0x10000 + ((u - 0xD800) << 10) + (static_cast<std::uint16_t>(wide[++i]) - 0xDC00);
    AppendUtf8(out, u);
  }
  return out;
}

std::string EncodeUtf16(std::wstring_view wide, bool littleEndian) {
  std::string out(2 * (wide.size() + 1), '\0');
  for (std::size_t i = 0; i <= wide.size(); ++i) {
    const auto u = static_cast<std::uint16_t>(i == 0 ? 0xFEFF : wide[i - 1]);
    out[2 * i + (littleEndian ? 0 : 1)] = static_cast<char>(u & 0xFF);
    out[2 * i + (littleEndian ? 1 : 0)] = static_cast<char>(u >> 8);
  }
  return out;
}

}  // namespace

ProfileText ProfileText::From(std::string_view bytes, const Cp932Codec& codec) {
  ProfileText text;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    text.encoding = Encoding::kUtf8;
    text.wide = DecodeUtf8(bytes.substr(3), text.clean);
  } else if (bytes.size() >= 2 && (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF")) {
    text.encoding = bytes[0] == '\xFF' ? Encoding::kUtf16Le : Encoding::kUtf16Be;
    const std::size_t hi = text.encoding == Encoding::kUtf16Le ? 1 : 0;
    text.clean = bytes.size() % 2 == 0;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2)
      text.wide.push_back(static_cast<wchar_t>((static_cast<unsigned char>(bytes[i + hi]) << 8) |
                                               static_cast<unsigned char>(bytes[i + 1 - hi])));
  } else {
    text.cp932 = std::string(bytes);
    return text;
  }
  text.cp932 = codec.Encode(text.wide);
  return text;
}

std::wstring ProfileText::Value(std::string_view section, std::string_view key, const Cp932Codec& codec) const {
  if (encoding != Encoding::kCp932) return ReadProfileValue(wide, codec.Decode(section), codec.Decode(key));
  std::string value = ReadProfileValue(cp932, section, key);
  // The platform's reader hands the value back as a C string: it ends at its first NUL.
  if (const auto nul = value.find('\0'); nul != std::string::npos) value.resize(nul);
  return codec.Decode(value);
}

std::optional<std::string> ProfileText::Edited(std::string_view section, std::string_view key,
                                               std::wstring_view value, const Cp932Codec& codec) const {
  if (encoding == Encoding::kCp932) {
    bool lossless = true;
    const std::string encoded = codec.Encode(value, &lossless);
    if (lossless && encoded.size() <= kMaxValueBytes) return WriteProfileValue(cp932, section, key, encoded);
    // Code page 932 cannot hold the value, or not within what a read returns: the whole file
    // becomes UTF-16LE, which holds any text and is what the platform's own functions read.
    ProfileText unicode;
    unicode.encoding = Encoding::kUtf16Le;
    unicode.wide = codec.Decode(cp932);
    return unicode.Edited(section, key, value, codec);
  }
  const auto edited = WriteProfileValue(wide, codec.Decode(section), codec.Decode(key), value);
  if (!edited || !clean) return std::nullopt;
  if (encoding == Encoding::kUtf8) return "\xEF\xBB\xBF" + EncodeUtf8(*edited);
  return EncodeUtf16(*edited, encoding == Encoding::kUtf16Le);
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
  return ProfileText::From(*bytes, codec_).Value(section, key, codec_);
}

SaveStatus IniFile::Write(std::string_view section, std::string_view key, std::wstring_view value,
                          const std::wstring& path) {
  return WriteAll(section, {{key, std::wstring(value)}}, path);
}

SaveStatus IniFile::WriteAll(std::string_view section, const std::vector<Entry>& entries, const std::wstring& path) {
  const FileRead file = store_.ReadAll(path);
  if (file.error != 0) return {file.error};
  std::string bytes = file.bytes.value_or(std::string());
  for (const Entry& entry : entries) {
    // Each value as a write of its own would set it, so the rules of what is written and the
    // encoding stay those of one key; only the file is touched once.
    auto edited = ProfileText::From(bytes, codec_).Edited(section, entry.key, entry.value, codec_);
    if (!edited) return {kErrorInvalidData};
    bytes = std::move(*edited);
  }
  return {store_.ReplaceAll(path, bytes)};
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
