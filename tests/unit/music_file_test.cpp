// MP3 file music over the MPEGVideo device, played through as scenarios of saver ticks.
#include <gtest/gtest.h>

#include "music_fake_devices.h"

namespace lw::music {
namespace {

using testing::Commands;
using testing::Devices;
using testing::MakeMusic;
using Strings = std::vector<std::wstring>;

const std::wstring kSong = L"C:\\users\\me\\My Music\\night drive.mp3";
const std::wstring kOpen = L"open \"" + kSong + L"\" type MPEGVideo Alias MP3Play";

TEST(MusicFile, PlaysEndsIsReplayedAndStops) {
  Devices d;
  d.playableFile = kSong;
  auto music = MakeMusic(d, kSong);
  music->MP3_Play();
  EXPECT_EQ(Commands(d), (Strings{kOpen, L"play MP3Play"}));
  EXPECT_EQ(d.mp3Mode, L"playing");

  std::size_t mark = d.calls.size();
  music->MP3_Replay();
  music->MP3_Replay();
  EXPECT_EQ(Commands(d, mark), (Strings{L"status MP3Play mode", L"status MP3Play mode"}));

  d.mp3Mode = L"stopped";  // the file reached its end
  mark = d.calls.size();
  music->MP3_Replay();
  EXPECT_EQ(Commands(d, mark), (Strings{L"status MP3Play mode", L"stop MP3Play", L"play MP3Play from 0"}));
  EXPECT_EQ(d.mp3Mode, L"playing");

  mark = d.calls.size();
  music->MP3_Replay();
  music->MP3_Stop();
  EXPECT_EQ(Commands(d, mark), (Strings{L"status MP3Play mode", L"stop MP3Play", L"close MP3Play"}));
  EXPECT_FALSE(d.mp3Mode);
  mark = d.calls.size();
  music.reset();
  EXPECT_EQ(d.calls.size(), mark) << "nothing is left to close";
}

TEST(MusicFile, AFailedOpenNeverPlays) {
  Devices d;
  d.playableFile = L"C:\\other.mp3";
  auto music = MakeMusic(d, kSong);
  music->MP3_Play();
  EXPECT_EQ(Commands(d), (Strings{kOpen}));
  std::size_t mark = d.calls.size();
  music->MP3_Replay();
  music->MP3_Replay();
  const Strings tick = {L"status MP3Play mode", L"stop MP3Play", L"play MP3Play from 0"};
  Strings twoTicks = tick;
  twoTicks.insert(twoTicks.end(), tick.begin(), tick.end());
  EXPECT_EQ(Commands(d, mark), twoTicks);
  EXPECT_FALSE(d.mp3Mode) << "never opened, never playing";
  mark = d.calls.size();
  music->MP3_Stop();
  music.reset();
  EXPECT_EQ(Commands(d, mark), (Strings{L"stop MP3Play", L"close MP3Play"}));
}

TEST(MusicFile, OnlyAModeBeginningWithPlayingCountsAsPlaying) {
  struct Case {
    std::wstring mode;
    bool replayed;
  };
  const Case cases[] = {
      {L"playing", false}, {L"playing forward", false}, {L"Playing", true}, {L"play", true},
      {L"paused", true},   {L"stopped", true},          {L"", true},
      {std::wstring(40, L'x'), true},  // longer than the buffer: cut, still not playing
  };
  for (const auto& c : cases) {
    Devices d;
    d.playableFile = kSong;
    auto music = MakeMusic(d, kSong);
    music->MP3_Play();
    d.mp3Mode = c.mode;
    const std::size_t mark = d.calls.size();
    music->MP3_Replay();
    EXPECT_EQ(Commands(d, mark).size() == 3, c.replayed) << std::string(c.mode.begin(), c.mode.end());
    music->MP3_Stop();
  }
}

}  // namespace
}  // namespace lw::music
