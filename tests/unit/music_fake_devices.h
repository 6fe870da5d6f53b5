// A scripted CD drive, MPEGVideo player and wave player behind the music's ports. It answers the
// command strings as the real devices do for what the music relies on, records every call with
// the capacity offered, and lets a test move time on (a track ends, the file ends, the disc goes).
#pragma once

#include <algorithm>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "music/background_music.h"

namespace lw::music::testing {

struct Call {
  std::wstring what;  // a command string, "describe <code>", "waveOutGetNumDevs", "PlaySound <name>|stop"
  std::size_t capacity = 0;
  bool operator==(const Call&) const = default;
};
inline void PrintTo(const Call& c, std::ostream* os) {
  for (const wchar_t ch : c.what) *os << (ch < 128 ? static_cast<char>(ch) : '?');
  *os << " [" << c.capacity << "]";
}

struct Devices {
  bool drivePresent = true, discInserted = true, cdOpen = false, spinningUp = false;
  int tracks = 8, track = 1;
  std::wstring cdMode = L"stopped";
  std::optional<std::wstring> trackReply;  // overrides the current-track answer
  std::int32_t modeError = 0;              // makes the CD mode query fail
  std::wstring playableFile;               // the one file the MPEGVideo player opens
  std::optional<std::wstring> mp3Mode;     // set while the alias is open
  bool describable = true;
  std::int32_t waveDevices = 1;
  std::optional<std::wstring> looping;
  std::vector<Call> calls;

  static std::wstring Position(int t) { return (t < 10 ? L"0" : L"") + std::to_wstring(t) + L":00:00:00"; }

  void TrackEnds() {  // the disc plays on into the next track; the last one stops it
    if (cdMode == L"playing") track < tracks ? void(++track) : void(cdMode = L"stopped");
  }

  std::int32_t Answer(const std::wstring& c, std::wstring& reply) {
    const std::int32_t cd = !cdOpen ? 263 : spinningUp ? 276 : discInserted ? 0 : 304;  // not open / not ready / no disc
    if (c == L"open cdaudio") return drivePresent ? (cdOpen = true, 0) : 266;
    if (c == L"set cdaudio time format tmsf") return cdOpen ? 0 : 263;
    if (c == L"close cdaudio") return cdOpen ? (cdOpen = false, 0) : 263;
    if (c == L"status cdaudio mode") {
      if (!cdOpen || modeError) return cdOpen ? modeError : 263;
      reply = discInserted ? cdMode : L"not ready";
      return 0;
    }
    if (c.ends_with(L"cdaudio") || c.find(L" cdaudio ") != std::wstring::npos) {
      if (cd) return cd;
      if (c == L"stop cdaudio") return (cdMode = L"stopped", 0);
      if (c == L"play cdaudio") return (cdMode = L"playing", 0);
      if (c == L"status cdaudio current track") return (reply = trackReply.value_or(std::to_wstring(track)), 0);
      if (c == L"status cdaudio number of tracks") return (reply = std::to_wstring(tracks), 0);
      if (c.starts_with(L"status cdaudio position track ")) {
        const int t = std::stoi(c.substr(30));
        return t < 1 || t > tracks ? 282 : (reply = Position(t), 0);
      }
      for (int t = 1; t <= tracks; ++t)
        if (c == L"play cdaudio from " + Position(t)) return (track = t, cdMode = L"playing", 0);
      return 270;  // not a position
    }
    if (c == L"open \"" + playableFile + L"\" type MPEGVideo Alias MP3Play" && !playableFile.empty())
      return (mp3Mode = L"stopped", 0);
    if (c.starts_with(L"open ")) return 275;  // file not found
    if (!mp3Mode) return 263;
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
    MciOutcome out{d_.Answer(std::wstring(command), reply), {}};
    if (capacity == 0) return out;
    // A fixed buffer: the text, a NUL, then what the buffer held before.
    out.reply.assign(capacity, L'#');
    const auto n = std::min(reply.size(), capacity - 1);
    out.reply.replace(0, n, reply.substr(0, n));
    out.reply[n] = L'\0';
    return out;
  }
  MciErrorText DescribeError(std::int32_t code, std::size_t capacity) override {
    d_.calls.push_back({L"describe " + std::to_wstring(code), capacity});
    std::wstring text = L"MCI error " + std::to_wstring(code) + L'\0' + L"stale";
    text.resize(capacity, L'#');
    return {d_.describable, text};
  }

 private:
  Devices& d_;
};

class FakeSound final : public SoundPlayer {
 public:
  explicit FakeSound(Devices& d) : d_(d) {}
  std::int32_t DeviceCount() override { return d_.calls.push_back({L"waveOutGetNumDevs", 0}), d_.waveDevices; }
  void PlayLooped(std::wstring_view name) override {
    d_.calls.push_back({L"PlaySound " + std::wstring(name), 0});
    d_.looping = std::wstring(name);
  }
  void Stop() override { d_.calls.push_back({L"PlaySound stop", 0}), d_.looping.reset(); }

 private:
  Devices& d_;
};

inline std::unique_ptr<BackgroundMusic> MakeMusic(Devices& d, std::wstring file = L"", std::int16_t track = 0) {
  settings::Settings s;
  s.bgmFile = std::move(file);
  s.bgmTrack = track;
  return std::make_unique<BackgroundMusic>(std::make_unique<FakeMci>(d), std::make_unique<FakeSound>(d), s);
}

// The command strings sent since call number `from`.
inline std::vector<std::wstring> Commands(const Devices& d, std::size_t from = 0) {
  std::vector<std::wstring> out;
  for (std::size_t i = from; i < d.calls.size(); ++i) out.push_back(d.calls[i].what);
  return out;
}

}  // namespace lw::music::testing
