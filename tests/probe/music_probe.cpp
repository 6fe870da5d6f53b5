// Drives the background music directly, with the real winmm adapters, one step per argument:
//   file=PATH track=N          settings read by the music (before the first step that uses it)
//   mp3play mp3replay mp3stop isplaying wavplay wavstop
//   cdopen cdcheck cdnext cdprev cdstop
//   query=COMMAND send=COMMAND
//   sleep=MS                   waits, pumping messages as the saver does between frames
//   replayfor=SECONDS          MP3_Replay once a second, as the saver's Timer1
// Prints one line per step that has an outcome.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "music/background_music.h"
#include "music/music_ports_win32.h"

namespace {

void Pump(DWORD ms) {
  const DWORD end = GetTickCount() + ms;
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    const DWORD now = GetTickCount();
    if (static_cast<LONG>(end - now) <= 0) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
  }
}

void Print(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), n, nullptr, nullptr);
  std::printf("%s\n", utf8.c_str());
  std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  lw::settings::Settings settings;
  std::unique_ptr<lw::music::BackgroundMusic> music;
  auto get = [&]() -> lw::music::BackgroundMusic& {
    if (!music)
      music = std::make_unique<lw::music::BackgroundMusic>(std::make_unique<lw::music::win32::WinMciPort>(),
                                                           std::make_unique<lw::music::win32::WinSoundPlayer>(),
                                                           settings);
    return *music;
  };
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const auto eq = arg.find(L'=');
    const std::wstring name = arg.substr(0, eq);
    const std::wstring value = eq == std::wstring::npos ? L"" : arg.substr(eq + 1);
    if (name == L"file") settings.bgmFile = value;
    else if (name == L"track") settings.bgmTrack = static_cast<std::int16_t>(_wtoi(value.c_str()));
    else if (name == L"mp3play") get().MP3_Play();
    else if (name == L"mp3replay") get().MP3_Replay();
    else if (name == L"mp3stop") get().MP3_Stop();
    else if (name == L"isplaying") Print(get().MP3_IsPlaying() ? L"playing" : L"not playing");
    else if (name == L"wavplay") get().WAV_Play();
    else if (name == L"wavstop") get().WAV_Stop();
    else if (name == L"cdopen") get().CD_Open();
    else if (name == L"cdcheck") {
      get().CD_Check();
      Print(get().CD_Active() ? L"active" : L"inactive");
    } else if (name == L"cdnext") get().CD_NextTrack();
    else if (name == L"cdprev") get().CD_PrevTrack();
    else if (name == L"cdstop") get().CD_Stop();
    else if (name == L"query") Print(L"query: " + get().MCI_Query(value));
    else if (name == L"send") {
      std::wstring reply;
      const auto code = get().MCI_Send(value, reply);
      Print(L"send: " + std::to_wstring(code) + L" " + reply);
    } else if (name == L"sleep") Pump(static_cast<DWORD>(_wtoi(value.c_str())));
    else if (name == L"replayfor") {
      for (int s = _wtoi(value.c_str()); s > 0; --s) {
        Pump(1000);
        get().MP3_Replay();
      }
    } else {
      Print(L"unknown step " + arg);
      return 2;
    }
  }
  return 0;
}
