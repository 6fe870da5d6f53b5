// The music ports over winmm: MCI command strings through mciSendStringW and the sound player
// through PlaySoundW. Wide-character calls, so any file name reaches the platform unchanged.
// Kept in a header so the saver and the test probes share the one adapter.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "music/music_ports.h"

namespace lw::music::win32 {

class WinMciPort final : public MciPort {
 public:
  MciOutcome Send(std::wstring_view command, std::size_t replyCapacity) override {
    const std::wstring text(command);
    MciOutcome outcome;
    outcome.reply.assign(replyCapacity, L'\0');
    // Synchronous: no callback window; the reply buffer is offered only when there is one.
    outcome.code = static_cast<std::int32_t>(mciSendStringW(text.c_str(), replyCapacity ? outcome.reply.data() : nullptr,
                                                            static_cast<UINT>(replyCapacity), nullptr));
    return outcome;
  }
  MciErrorText DescribeError(std::int32_t code, std::size_t capacity) override {
    MciErrorText error;
    error.text.assign(capacity, L'\0');
    error.ok = mciGetErrorStringW(static_cast<MCIERROR>(code), error.text.data(), static_cast<UINT>(capacity)) != FALSE;
    return error;
  }
};

class WinSoundPlayer final : public SoundPlayer {
 public:
  std::int32_t DeviceCount() override { return static_cast<std::int32_t>(waveOutGetNumDevs()); }
  void PlayLooped(std::wstring_view name) override {
    const std::wstring text(name);
    // Always the file; one that cannot be played stays silent rather than looping the system's
    // default sound for the whole run.
    PlaySoundW(text.c_str(), nullptr, SND_FILENAME | SND_NODEFAULT | SND_ASYNC | SND_LOOP);
  }
  void Stop() override { PlaySoundW(nullptr, nullptr, 0); }
};

}  // namespace lw::music::win32
