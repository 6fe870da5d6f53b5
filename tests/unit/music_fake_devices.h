// A scripted stand-in for the platform's MCI devices and sound player: a CD drive with a disc, an
// MPEGVideo player for one file, and a wave player. It answers command strings the way the real
// devices do for what the music relies on, records every call with the capacity offered, and lets
// a test move time on (a track ends, the file ends, the disc is taken out).
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "music/background_music.h"
#include "settings/settings.h"

namespace lw::music::testing {

inline constexpr std::int32_t kErrInvalidDevice = 263;  // alias or device not open
inline constexpr std::int32_t kErrCannotLoad = 266;     // no CD drive
inline constexpr std::int32_t kErrFileNotFound = 275;
inline constexpr std::int32_t kErrOutOfRange = 282;
inline constexpr std::int32_t kErrMediaAbsent = 304;
inline constexpr std::int32_t kErrBadInteger = 270;

struct Call {
  std::wstring what;  // the command string, or "describe <code>", "waveOutGetNumDevs", "PlaySound <name>", "PlaySound stop"
  std::size_t capacity = 0;
  bool operator==(const Call&) const = default;
};

struct Devices {
  // CD drive and disc.
  bool drivePresent = true;
  bool discInserted = true;
  int tracks = 8;
  int track = 1;
  std::wstring cdMode = L"stopped";
  bool cdOpen = false;
  std::optional<std::wstring> trackReply;  // overrides the current-track answer
  std::int32_t modeError = 0;              // makes the mode query fail
  // MPEGVideo player.
  std::wstring playableFile;  // the one file it can open
  std::optional<std::wstring> mp3Mode;  // set while the alias is open
  // Error descriptions; `describable` false makes the description call fail.
  bool describable = true;
  // Wave output.
  std::int32_t waveDevices = 1;
  std::optional<std::wstring> looping;

  std::vector<Call> calls;

  // The position of a track's start in tracks:minutes:seconds:frames.
  static std::wstring Position(int t) { return (t < 10 ? L"0" : L"") + std::to_wstring(t) + L":00:00:00"; }

  // Time passes on the disc: the current track ends and the next starts, the last one stops the disc.
  void TrackEnds() {
    if (cdMode != L"playing") return;
    if (track < tracks) ++track;
    else cdMode = L"stopped";
  }

  std::int32_t Answer(const std::wstring& c, std::wstring& reply) {
    auto cd = [&]() -> std::int32_t {
      if (!cdOpen) return kErrInvalidDevice;
      return discInserted ? 0 : kErrMediaAbsent;
    };
    if (c == L"open cdaudio") {
      if (!drivePresent) return kErrCannotLoad;
      cdOpen = true;
      return 0;
    }
    if (c == L"set cdaudio time format tmsf") return cdOpen ? 0 : kErrInvalidDevice;
    if (c == L"close cdaudio") return cdOpen ? (cdOpen = false, 0) : kErrInvalidDevice;
    if (c == L"stop cdaudio") {
      if (auto e = cd()) return e;
      cdMode = L"stopped";
      return 0;
    }
    if (c == L"status cdaudio current track") {
      if (auto e = cd()) return e;
      reply = trackReply.value_or(std::to_wstring(track));
      return 0;
    }
    if (c == L"status cdaudio number of tracks") {
      if (auto e = cd()) return e;
      reply = std::to_wstring(tracks);
      return 0;
    }
    if (c == L"status cdaudio mode") {
      if (!cdOpen) return kErrInvalidDevice;
      if (modeError) return modeError;
      reply = discInserted ? cdMode : L"not ready";
      return 0;
    }
    if (c.starts_with(L"status cdaudio position track ")) {
      if (auto e = cd()) return e;
      const int t = std::stoi(c.substr(30));
      if (t < 1 || t > tracks) return kErrOutOfRange;
      reply = Position(t);
      return 0;
    }
    if (c == L"play cdaudio") {
      if (auto e = cd()) return e;
      cdMode = L"playing";
      return 0;
    }
    if (c.starts_with(L"play cdaudio from ")) {
      if (auto e = cd()) return e;
      const std::wstring from = c.substr(18);
      for (int t = 1; t <= tracks; ++t)
        if (from == Position(t)) {
          track = t;
          cdMode = L"playing";
          return 0;
        }
      return kErrBadInteger;
    }
    if (c.starts_with(L"open \"") && c.ends_with(L"\" type MPEGVideo Alias MP3Play")) {
      if (c.substr(6, c.size() - 6 - 30) != playableFile || playableFile.empty()) return kErrFileNotFound;
      mp3Mode = L"stopped";
      return 0;
    }
    if (c.find(L"MP3Play") != std::wstring::npos && !mp3Mode) return kErrInvalidDevice;
    if (c == L"play MP3Play" || c == L"play MP3Play from 0") return (mp3Mode = L"playing", 0);
    if (c == L"stop MP3Play") return (mp3Mode = L"stopped", 0);
    if (c == L"close MP3Play") return (mp3Mode.reset(), 0);
    if (c == L"status MP3Play mode") return (reply = *mp3Mode, 0);
    return 261;  // unrecognised command
  }
};

class FakeMci final : public MciPort {
 public:
  explicit FakeMci(Devices& d) : d_(d) {}
  MciOutcome Send(std::wstring_view command, std::size_t capacity) override {
    d_.calls.push_back({std::wstring(command), capacity});
    std::wstring reply;
    MciOutcome out;
    out.code = d_.Answer(std::wstring(command), reply);
    if (capacity == 0) return out;
    // The device fills a fixed buffer: its text, a NUL, then whatever the buffer held.
    out.reply.assign(capacity, L'#');
    const auto n = std::min(reply.size(), capacity - 1);
    out.reply.replace(0, n, reply.substr(0, n));
    out.reply[n] = L'\0';
    return out;
  }
  MciErrorText DescribeError(std::int32_t code, std::size_t capacity) override {
    d_.calls.push_back({L"describe " + std::to_wstring(code), capacity});
    if (!d_.describable) return {false, std::wstring(capacity, L'\0')};
    std::wstring text = L"MCI error " + std::to_wstring(code) + L'\0' + L"stale";
    text.resize(capacity, L'#');
    return {true, text};
  }

 private:
  Devices& d_;
};

class FakeSound final : public SoundPlayer {
 public:
  explicit FakeSound(Devices& d) : d_(d) {}
  std::int32_t DeviceCount() override {
    d_.calls.push_back({L"waveOutGetNumDevs", 0});
    return d_.waveDevices;
  }
  void PlayLooped(std::wstring_view name) override {
    d_.calls.push_back({L"PlaySound " + std::wstring(name), 0});
    d_.looping = std::wstring(name);
  }
  void Stop() override {
    d_.calls.push_back({L"PlaySound stop", 0});
    d_.looping.reset();
  }

 private:
  Devices& d_;
};

inline std::unique_ptr<BackgroundMusic> MakeMusic(Devices& d, std::wstring file = L"", std::int16_t track = 0) {
  settings::Settings s;
  s.bgmSource = file.empty() ? settings::kSourceCd : settings::kSourceFile;
  s.bgmFile = std::move(file);
  s.bgmTrack = track;
  return std::make_unique<BackgroundMusic>(std::make_unique<FakeMci>(d), std::make_unique<FakeSound>(d), s);
}

// The command strings sent since `from`, without capacities.
inline std::vector<std::wstring> Commands(const Devices& d, std::size_t from = 0) {
  std::vector<std::wstring> out;
  for (std::size_t i = from; i < d.calls.size(); ++i) out.push_back(d.calls[i].what);
  return out;
}

}  // namespace lw::music::testing
