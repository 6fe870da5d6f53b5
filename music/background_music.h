// The saver's background music: the MCI command channel, MP3 and WAV file music and audio-CD
// supervision, in one object that owns its two ports. Everything runs on the saver's GUI thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "music/music_ports.h"
#include "music/saver_music.h"
#include "settings/settings.h"

namespace lw::music {

// Characters offered to the platform for each reply.
inline constexpr std::size_t kReplyCapacity = 512;      // MCI_Send's reply
inline constexpr std::size_t kErrorCapacity = 256;      // an error description
inline constexpr std::size_t kFileModeCapacity = 30;    // "status MP3Play mode"
inline constexpr std::size_t kCdModeCapacity = 255;     // "status cdaudio mode"

// Supervision ticks (200 ms each) that at most pass between two questions to a drive that was not
// ready: 5 s.
inline constexpr int kCdNotReadyMaxTicks = 25;

inline constexpr std::wstring_view kNoCommandText = L"コマンド文字列が指定されていません";
inline constexpr std::wstring_view kNoErrorText = L"Error (文字列が取れません)";

class BackgroundMusic final : public SaverMusic {
 public:
  BackgroundMusic(std::unique_ptr<MciPort> mci, std::unique_ptr<SoundPlayer> sound, const settings::Settings& settings);
  // Closes a device this object opened and no stop closed, and stops a looping sound. The saver
  // itself ends its process from ShutDown, so this only matters when the music is dropped otherwise.
  ~BackgroundMusic() override;
  BackgroundMusic(const BackgroundMusic&) = delete;
  BackgroundMusic& operator=(const BackgroundMusic&) = delete;

  // Command channel.
  std::int32_t MCI_Send(std::wstring_view command, std::wstring& reply);
  std::wstring MCI_Query(std::wstring_view command);
  std::int32_t MCI_Play(std::wstring_view device, std::wstring_view from, std::wstring_view to);
  const std::wstring& MCI_Reply() const { return mciReply_; }

  void WAV_Play() override;
  void WAV_Stop() override;

  void MP3_Play() override;
  bool MP3_IsPlaying();
  void MP3_Replay() override;
  void MP3_Stop() override;

  void CD_Open() override;
  void CD_Check() override;
  bool CD_Active() const override { return cdActive_; }
  void CD_PrevTrack() override;
  void CD_NextTrack() override;
  void CD_Stop() override;

 private:
  // Sends a command whose reply nobody reads; its code is returned for the few callers that look.
  std::int32_t SendBare(std::wstring_view command);
  void StepTrack(int delta);

  std::unique_ptr<MciPort> mci_;
  std::unique_ptr<SoundPlayer> sound_;
  std::wstring bgmFile_;
  std::int16_t bgmTrack_;
  std::wstring mciReply_;
  bool cdActive_ = false;
  // The back-off after "not ready": ticks the last wait lasted, and ticks of it still to pass.
  int cdNotReadyWait_ = 0;
  int cdNotReadyLeft_ = 0;
  // What this object opened and has not closed, for the destructor.
  bool mp3Open_ = false;
  bool cdOpen_ = false;
  bool wavPlaying_ = false;
};

}  // namespace lw::music
