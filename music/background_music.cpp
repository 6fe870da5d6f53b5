#include "music/background_music.h"

#include <algorithm>
#include <utility>

#include "platform/conversions.h"

namespace lw::music {
namespace {

std::wstring UpperAscii(std::wstring_view text) {
  std::wstring upper(text);
  for (auto& c : upper)
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  return upper;
}

// Replies are fixed buffers on the platform side; the text ends at the first NUL.
std::wstring CutAtNul(std::wstring_view buffer) { return std::wstring(buffer.substr(0, buffer.find(L'\0'))); }

bool ContainsErr(std::wstring_view text) { return UpperAscii(text).find(L"ERR") != std::wstring::npos; }

// The first seven characters of a mode reply name the mode; anything after them is ignored.
bool ModeIs(const MciOutcome& outcome, std::wstring_view mode) {
  return outcome.code == 0 && CutAtNul(outcome.reply).starts_with(mode);
}

// MCI's "device not ready" (MCIERR_DEVICE_NOT_READY), as MCI_Query reports it.
constexpr std::wstring_view kNotReadyReply = L"Error:276";

}  // namespace

BackgroundMusic::BackgroundMusic(std::unique_ptr<MciPort> mci, std::unique_ptr<SoundPlayer> sound,
                                 const settings::Settings& settings)
    : mci_(std::move(mci)), sound_(std::move(sound)), bgmFile_(settings.bgmFile), bgmTrack_(settings.bgmTrack) {}

BackgroundMusic::~BackgroundMusic() {
  if (cdOpen_) SendBare(L"close cdaudio");
  if (mp3Open_) SendBare(L"close MP3Play");
  if (wavPlaying_) sound_->Stop();
}

// ---- Command channel ----

std::int32_t BackgroundMusic::MCI_Send(std::wstring_view command, std::wstring& reply) {
  if (command.empty()) {
    reply = kNoCommandText;
    return -1;
  }
  const MciOutcome outcome = mci_->Send(command, kReplyCapacity);
  if (outcome.code == 0) {
    reply = CutAtNul(outcome.reply);
    return 0;
  }
  const MciErrorText error = mci_->DescribeError(outcome.code, kErrorCapacity);
  reply = error.ok ? CutAtNul(error.text) : std::wstring(kNoErrorText);
  return outcome.code;
}

std::wstring BackgroundMusic::MCI_Query(std::wstring_view command) {
  const std::int32_t code = MCI_Send(command, mciReply_);
  if (code != 0) return L"Error:" + DecimalText(code);
  return mciReply_;
}

std::int32_t BackgroundMusic::MCI_Play(std::wstring_view device, std::wstring_view from, std::wstring_view to) {
  std::wstring command = L"play ";
  command += device;
  if (!from.empty()) (command += L" from ") += from;
  if (!to.empty()) (command += L" to ") += to;
  return MCI_Send(command, mciReply_);
}

std::int32_t BackgroundMusic::SendBare(std::wstring_view command) { return mci_->Send(command, 0).code; }

// ---- WAV file ----

void BackgroundMusic::WAV_Play() {
  if (sound_->DeviceCount() <= 0) return;
  sound_->PlayLooped(bgmFile_);
  wavPlaying_ = true;
}

void BackgroundMusic::WAV_Stop() {
  sound_->Stop();
  wavPlaying_ = false;
}

// ---- MP3 file ----

void BackgroundMusic::MP3_Play() {
  // Quoted so that paths with spaces open; nothing inside is escaped.
  const std::wstring open = L"open \"" + bgmFile_ + L"\" type MPEGVideo Alias MP3Play";
  if (SendBare(open) != 0) return;
  mp3Open_ = true;
  SendBare(L"play MP3Play");
}

bool BackgroundMusic::MP3_IsPlaying() {
  return ModeIs(mci_->Send(L"status MP3Play mode", kFileModeCapacity), L"playing");
}

void BackgroundMusic::MP3_Replay() {
  if (MP3_IsPlaying()) return;
  SendBare(L"stop MP3Play");
  SendBare(L"play MP3Play from 0");
}

void BackgroundMusic::MP3_Stop() {
  SendBare(L"stop MP3Play");
  SendBare(L"close MP3Play");
  mp3Open_ = false;
}

// ---- Audio CD ----

void BackgroundMusic::CD_Open() {
  if (SendBare(L"open cdaudio") == 0) cdOpen_ = true;
  SendBare(L"set cdaudio time format tmsf");
}

void BackgroundMusic::CD_Check() {
  cdActive_ = true;
  // A drive that is not ready is asked again a tick later, then after twice as long each time up
  // to 5 s: each question is a synchronous call on the frame thread, and a drive that blocks on
  // it stalls the animation and the input for as long.
  if (cdNotReadyLeft_ > 0) {
    --cdNotReadyLeft_;
    return;
  }
  // A failed query ends supervision, unless the drive is only not ready yet (still spinning up,
  // or no disc so far): then it is asked again later.
  const auto failed = [this](const std::wstring& reply) {
    if (!ContainsErr(reply)) return false;
    cdActive_ = reply == kNotReadyReply;
    if (cdActive_) {
      cdNotReadyWait_ = std::clamp(cdNotReadyWait_ * 2, 1, kCdNotReadyMaxTicks);
      cdNotReadyLeft_ = cdNotReadyWait_ - 1;
    }
    return true;
  };
  const std::wstring current = MCI_Query(L"status cdaudio current track");
  if (failed(current)) return;
  cdNotReadyWait_ = 0;  // a disc answered: a later "not ready" is asked about again soon
  const std::wstring tracks = MCI_Query(L"status cdaudio number of tracks");
  if (failed(tracks)) return;
  const bool stopped = ModeIs(mci_->Send(L"status cdaudio mode", kCdModeCapacity), L"stopped");
  // A repeat track the disc does not have plays the whole disc, as no repeat track does.
  const std::optional<double> trackCount = CoerceNumber(tracks);
  if (bgmTrack_ == 0 || (trackCount && bgmTrack_ > *trackCount)) {
    if (stopped) MCI_Play(L"cdaudio", L"", L"");
    return;
  }
  // A current track that is not a number ends supervision, whether or not the disc is stopped.
  const std::optional<double> currentTrack = CoerceNumber(current);
  if (!currentTrack) {
    cdActive_ = false;
    return;
  }
  if (stopped || *currentTrack != bgmTrack_) {
    const std::wstring position = MCI_Query(L"status cdaudio position track " + DecimalText(bgmTrack_));
    MCI_Play(L"cdaudio", position, L"");
  }
}

void BackgroundMusic::StepTrack(int delta) {
  // A device that did not open has nothing to skip. Each command would only open it anew behind
  // our back and fail, slowly: a held arrow key queues presses faster than they are answered.
  if (!cdOpen_) return;
  // Each failing conversion is skipped and leaves its target as it was (0); the steps go on.
  std::int16_t current = 0;
  if (const auto value = ScanNumber(MCI_Query(L"status cdaudio current track")))
    if (const auto whole = RoundToInt16(*value)) current = *whole;
  std::int16_t target = 0;
  if (const auto next = FitInt16(static_cast<double>(current) + delta)) target = *next;
  const std::wstring position = MCI_Query(L"status cdaudio position track " + DecimalText(target));
  MCI_Play(L"cdaudio", position, L"");
}

void BackgroundMusic::CD_PrevTrack() { StepTrack(-1); }
void BackgroundMusic::CD_NextTrack() { StepTrack(+1); }

void BackgroundMusic::CD_Stop() {
  SendBare(L"stop cdaudio");
  SendBare(L"close cdaudio");
  cdOpen_ = false;
}

}  // namespace lw::music
