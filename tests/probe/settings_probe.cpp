// The settings file through the program's own Win32 file store and code page conversion.
//   settings_probe write <ini path> <0..3 key index> <value>   IniFile::Write of one key
//   settings_probe load <program folder>                        LoadSettings, printed as
//                                                               "count<TAB>source<TAB>track<TAB>file"
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/cp932_win32.cpp"       // the probe is built without the program's adapters
#include "platform/file_store_win32.cpp"
#include "settings/settings.h"

int wmain(int argc, wchar_t** argv) {
  using namespace lw::settings;
  const std::string_view keys[] = {kKeyParticleCount, kKeyBgmSource, kKeyBgmRepeat, kKeyBgmFile};
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"write" && argc == 5) {
    IniFile ini(lw::SystemFileStore(), lw::SystemCp932());
    static_cast<void>(ini.Write(kSection, keys[_wtoi(argv[3]) & 3], argv[4], argv[2]));
    return 0;
  }
  if (command == L"load" && argc == 3) {
    const Settings s = LoadSettings(argv[2], lw::SystemFileStore(), lw::SystemCp932());
    const std::string file = lw::SystemCp932().Encode(s.bgmFile);
    std::printf("%d\t%d\t%d\t%s\n", s.particleCount, s.bgmSource, s.bgmTrack, file.c_str());
    return 0;
  }
  return 2;
}
