// The background music over scripted MCI and sound ports: file music and the audio-CD supervision,
// checked by the command strings sent (the reply capacities are test_music.sh's).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "music/background_music.h"

namespace lw::music {
namespace {

using Strings = std::vector<std::wstring>;

// Every reply is scripted by command (others succeed with an empty reply); every call is logged.
struct Devices {
  std::map<std::wstring, std::pair<std::int32_t, std::wstring>> answers;
  std::int32_t waveDevices = 1;
  Strings calls;
  std::wstring Log(std::wstring what) { calls.push_back(what); return what; }
};

// Both ports over one set of devices (the music owns one of these as each).
struct FakePorts final : MciPort, SoundPlayer {
  Devices& d;
  explicit FakePorts(Devices& devices) : d(devices) {}
  MciOutcome Send(std::wstring_view command, std::size_t capacity) override {
    const auto [code, text] = d.answers[d.Log(std::wstring(command))];
    if (capacity == 0) return {code, {}};
    std::wstring buffer(capacity, L'#');  // a fixed buffer: the text, a NUL, then what it held before
    const auto n = std::min(text.size(), capacity - 1);
    buffer.replace(0, n, text.substr(0, n));
    buffer[n] = L'\0';
    return {code, buffer};
  }
  MciErrorText DescribeError(std::int32_t code, std::size_t) override {
    return {true, d.Log(L"describe " + std::to_wstring(code))};
  }
  std::int32_t DeviceCount() override { return d.Log(L"waveOutGetNumDevs"), d.waveDevices; }
  void PlayLooped(std::wstring_view name) override { d.Log(L"PlaySound " + std::wstring(name)); }
  void Stop() override { d.Log(L"PlaySound stop"); }
};

std::unique_ptr<BackgroundMusic> MakeMusic(Devices& d, std::wstring file = L"", std::int16_t track = 0) {
  return std::make_unique<BackgroundMusic>(std::make_unique<FakePorts>(d), std::make_unique<FakePorts>(d),
                                           settings::Settings{L"", 600, 0, track, std::move(file)});
}

const std::wstring kCurrent = L"status cdaudio current track", kCount = L"status cdaudio number of tracks",
                   kCdMode = L"status cdaudio mode", kMp3Mode = L"status MP3Play mode";

// Whole lives of the music, from the first call to the object's end (the MP3 and WAV loops and
// faults under Wine are test_music.sh's): what is closed or stopped at the end, and what is not.
TEST(Music, Lifecycles) {
  const std::wstring song = L"C:\\My Music\\night drive.mp3", wav = L"C:\\My Music\\rain.Wav";
  const std::wstring open = L"open \"" + song + L"\" type MPEGVideo Alias MP3Play";
  const struct { const char* name; std::wstring file; void (*run)(BackgroundMusic&); Strings calls;
                 std::int32_t waveDevices = 1; } cases[] = {
      {"CD left open is closed at the end", L"", [](auto& m) { m.CD_Open(); },
       {L"open cdaudio", L"set cdaudio time format tmsf", L"close cdaudio"}},
      {"MP3 still playing", song, [](auto& m) { m.MP3_Play(), m.MP3_Replay(), m.MP3_Stop(); },
       {open, L"play MP3Play", kMp3Mode, L"stop MP3Play", L"close MP3Play"}},
      {"WAV stopped is not stopped again", wav, [](auto& m) { m.WAV_Play(), m.WAV_Stop(); },
       {L"waveOutGetNumDevs", L"PlaySound " + wav, L"PlaySound stop"}},
      {"no wave device", wav, [](auto& m) { m.WAV_Play(); }, {L"waveOutGetNumDevs"}, 0},
  };
  for (const auto& c : cases) {
    Devices d;
    d.answers[kMp3Mode] = {0, L"playing"};
    d.waveDevices = c.waveDevices;
    c.run(*MakeMusic(d, c.file));
    EXPECT_EQ(d.calls, c.calls) << c.name;
  }
}

// One supervision tick: a repeat track is brought back when it is not the one playing; without one
// a stopped disc is started, as it is for a repeat track the disc does not have; any error but a
// drive not ready yet ends the supervision.
TEST(MusicCd, TickDecisions) {
  // `play`: the play command sent, if any.
  const struct { const char* name; std::wstring mode; std::int32_t modeError, countError; std::wstring current;
                 std::int16_t repeat; std::wstring play; bool active; } cases[] = {
      {"mode beginning with stopped", L"stopped at end", 0, 0, L"2", 0, L"play cdaudio", true},
      {"Stopped in another case", L"Stopped", 0, 0, L"2", 0, L"", true},
      {"failed mode query", L"stopped", 346, 0, L"2", 0, L"", true},
      {"failed track count", L"stopped", 0, 263, L"2", 0, L"", false},
      {"drive not ready yet: asked again", L"stopped", 0, 276, L"2", 0, L"", true},
      {"repeat track beyond the disc, stopped", L"stopped", 0, 0, L"2", 9, L"play cdaudio", true},
      {"repeat track already playing", L"playing", 0, 0, L"3", 3, L"", true},
      {"repeat track, other track", L"playing", 0, 0, L"4", 3, L"play cdaudio from 03:00:00:00", true},
      {"current track not a number, repeat set", L"stopped", 0, 0, L"three", 3, L"", false},
      {"current track mentions an error", L"stopped", 0, 0, L"tErRor", 0, L"", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Devices d;
    d.answers = {{kCdMode, {c.modeError, c.mode}}, {kCurrent, {0, c.current}}, {kCount, {c.countError, L"8"}},
                 {L"status cdaudio position track 3", {0, L"03:00:00:00"}}};
    auto music = MakeMusic(d, L"", c.repeat);
    music->CD_Check();
    const auto play = std::find_if(d.calls.begin(), d.calls.end(), [](auto& s) { return s.starts_with(L"play"); });
    EXPECT_EQ(play == d.calls.end() ? L"" : *play, c.play);
    EXPECT_EQ(music->CD_Active(), c.active);
  }
}

// A drive not ready is asked again a tick later (200 ms), then after twice as long each time up to
// 25 ticks (5 s), and soon again once a disc has answered; supervision goes on meanwhile. One
// character a tick: '.' not ready, 'd' a disc playing.
TEST(MusicCd, NotReadyIsAskedLessAndLessOften) {
  const struct { std::string drive; std::vector<int> asked; } cases[] = {
      {std::string(90, '.'), {0, 1, 3, 7, 15, 31, 56, 81}},
      {".......d........", {0, 1, 3, 7, 8, 9, 11, 15}},
  };
  for (const auto& c : cases) {
    Devices d;
    auto music = MakeMusic(d);
    std::vector<int> asked;
    for (std::size_t tick = 0; tick < c.drive.size(); ++tick) {
      d.answers[kCurrent] = c.drive[tick] == 'd' ? std::pair{0, std::wstring(L"2")} : std::pair{276, std::wstring()};
      d.calls.clear();
      music->CD_Check();
      if (!d.calls.empty()) asked.push_back(static_cast<int>(tick));
      EXPECT_TRUE(music->CD_Active()) << tick;
    }
    EXPECT_EQ(asked, c.asked) << c.drive;
  }
}

// The arrow keys: the current track (a forgiving number, rounded) plus or minus one; a position
// query that fails puts its error text into the play command, which then fails too. A device
// that did not open (`openError`) is left alone.
TEST(MusicCd, TrackSteps) {
  const struct { std::wstring current; bool next; std::wstring target; std::int32_t openError = 0; } cases[] = {
      {L"4", false, L"3"}, {L"1", false, L"0"}, {L" 3.5x", true, L"5"}, {L"abc", true, L"1"},
      {L"32767", true, L"0"}, {L"40000", true, L"1"}, {L"4", true, L"", 266},
  };
  for (const auto& c : cases) {
    Devices d;
    d.answers = {{kCurrent, {0, c.current}}, {L"status cdaudio position track 0", {282, L""}},
                 {L"open cdaudio", {c.openError, L""}}};
    auto music = MakeMusic(d);
    music->CD_Open();
    d.calls.clear();
    c.next ? music->CD_NextTrack() : music->CD_PrevTrack();
    Strings expected = {kCurrent, L"status cdaudio position track " + c.target};
    if (c.target == L"0") expected.push_back(L"describe 282");
    expected.push_back(c.target == L"0" ? L"play cdaudio from Error:282" : L"play cdaudio");
    EXPECT_EQ(d.calls, c.openError ? Strings{} : expected) << ::testing::PrintToString(c.current) << c.next;
  }
}

}  // namespace
}  // namespace lw::music
