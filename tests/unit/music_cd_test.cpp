// Audio-CD supervision played through as scenarios: saver load, 200 ms ticks, arrow keys, shutdown.
#include <gtest/gtest.h>

#include "music_fake_devices.h"

namespace lw::music {
namespace {

using testing::Commands;
using testing::Devices;
using testing::MakeMusic;
using Strings = std::vector<std::wstring>;

const std::wstring kCurrent = L"status cdaudio current track";
const std::wstring kCount = L"status cdaudio number of tracks";
const std::wstring kMode = L"status cdaudio mode";
const Strings kQuietTick = {kCurrent, kCount, kMode};

Strings Plus(Strings a, const Strings& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// One Timer2 tick as the saver runs it; returns the commands it sent.
Strings Tick(BackgroundMusic& music, Devices& d) {
  const std::size_t mark = d.calls.size();
  music.CD_Check();
  return Commands(d, mark);
}

TEST(MusicCd, StoppedDiscIsStartedThenLeftPlaying) {
  Devices d;
  auto music = MakeMusic(d);
  music->CD_Open();
  EXPECT_EQ(Commands(d), (Strings{L"open cdaudio", L"set cdaudio time format tmsf"}));
  EXPECT_EQ(Tick(*music, d), Plus(kQuietTick, {L"play cdaudio"}));
  EXPECT_TRUE(music->CD_Active());
  EXPECT_EQ(d.cdMode, L"playing");
  EXPECT_EQ(Tick(*music, d), kQuietTick);
  d.TrackEnds();
  EXPECT_EQ(Tick(*music, d), kQuietTick) << "the disc plays on into track 2";
  EXPECT_EQ(d.track, 2);
  const std::size_t mark = d.calls.size();
  music->CD_Stop();
  music.reset();
  EXPECT_EQ(Commands(d, mark), (Strings{L"stop cdaudio", L"close cdaudio"}));
  EXPECT_FALSE(d.cdOpen);
}

TEST(MusicCd, RepeatTrackIsKeptPlaying) {
  Devices d;
  d.track = 4;
  d.cdMode = L"playing";
  auto music = MakeMusic(d, L"", 3);
  music->CD_Open();
  const Strings back = Plus(kQuietTick, {L"status cdaudio position track 3", L"play cdaudio from 03:00:00:00"});
  EXPECT_EQ(Tick(*music, d), back) << "playing track 4 with track 3 to repeat";
  EXPECT_EQ(d.track, 3);
  EXPECT_EQ(Tick(*music, d), kQuietTick);

  // Right arrow: on to track 4, and the next tick brings it back.
  std::size_t mark = d.calls.size();
  music->CD_NextTrack();
  EXPECT_EQ(Commands(d, mark),
            (Strings{kCurrent, L"status cdaudio position track 4", L"play cdaudio from 04:00:00:00"}));
  EXPECT_EQ(d.track, 4);
  EXPECT_EQ(Tick(*music, d), back);
  EXPECT_EQ(d.track, 3);

  // The repeated track is the last one and ends: the disc stops, and starts again at track 3.
  d.tracks = 3;
  d.TrackEnds();
  EXPECT_EQ(d.cdMode, L"stopped");
  EXPECT_EQ(Tick(*music, d), back);
  EXPECT_EQ(d.cdMode, L"playing");
  EXPECT_TRUE(music->CD_Active());
}

TEST(MusicCd, StepsBeyondEitherEndChangeNothing) {
  struct Case {
    const char* name;
    int track;
    bool next;
    std::wstring target;
  };
  const Case cases[] = {
      {"Right on the last track", 8, true, L"9"},
      {"Left on the first track", 1, false, L"0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Devices d;
    d.track = c.track;
    auto music = MakeMusic(d);
    music->CD_Open();
    Tick(*music, d);
    const std::size_t mark = d.calls.size();
    c.next ? music->CD_NextTrack() : music->CD_PrevTrack();
    EXPECT_EQ(Commands(d, mark), (Strings{kCurrent, L"status cdaudio position track " + c.target, L"describe 282",
                                          L"play cdaudio from Error:282", L"describe 270"}));
    EXPECT_EQ(d.track, c.track);
    EXPECT_EQ(d.cdMode, L"playing");
    EXPECT_EQ(Tick(*music, d), kQuietTick);
    EXPECT_TRUE(music->CD_Active());
  }
}

TEST(MusicCd, UnusableDiscEndsSupervision) {
  struct Case {
    const char* name;
    bool drive;
    bool removeAfterStart;
    Strings firstCheck;
    Strings afterDrop;  // what dropping the music sends once supervision has ended
  };
  const Case cases[] = {
      {"no drive", false, false, {kCurrent, L"describe 263"}, {}},
      {"disc taken out mid-run", true, true, {kCurrent, L"describe 304"}, {L"close cdaudio"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Devices d;
    d.drivePresent = c.drive;
    auto music = MakeMusic(d);
    music->CD_Open();
    if (c.removeAfterStart) {
      Tick(*music, d);
      EXPECT_TRUE(music->CD_Active());
      d.discInserted = false;
    }
    EXPECT_EQ(Tick(*music, d), c.firstCheck);
    EXPECT_FALSE(music->CD_Active());
    const std::size_t mark = d.calls.size();
    music.reset();
    EXPECT_EQ(Commands(d, mark), c.afterDrop);
  }
}

TEST(MusicCd, DriveNotReadyYetIsAskedAgain) {
  Devices d;
  d.spinningUp = true;
  auto music = MakeMusic(d);
  music->CD_Open();
  EXPECT_EQ(Tick(*music, d), (Strings{kCurrent, L"describe 276"}));
  EXPECT_TRUE(music->CD_Active());
  d.spinningUp = false;
  EXPECT_EQ(Tick(*music, d), Plus(kQuietTick, {L"play cdaudio"}));
}

TEST(MusicCd, TickDecisionsByModeAndCurrentTrack) {
  struct Case {
    const char* name;
    std::wstring mode;
    std::int32_t modeError;
    std::wstring current;
    std::int16_t repeat;
    bool plays;
    bool active;
  };
  const Case cases[] = {
      {"stopped", L"stopped", 0, L"2", 0, true, true},
      {"mode beginning with stopped", L"stopped at end", 0, L"2", 0, true, true},
      {"Stopped in another case", L"Stopped", 0, L"2", 0, false, true},
      {"empty mode", L"", 0, L"2", 0, false, true},
      {"failed mode query", L"stopped", 346, L"2", 0, false, true},
      {"repeat track already playing", L"playing", 0, L"3", 3, false, true},
      {"repeat track, other track", L"playing", 0, L"4", 3, true, true},
      {"current track as a decimal number", L"playing", 0, L" 3.0 ", 3, false, true},
      {"current track not a number, repeat set", L"playing", 0, L"three", 3, false, false},
      {"current track not a number, no repeat", L"stopped", 0, L"three", 0, true, true},
      {"current track mentions an error", L"stopped", 0, L"terror", 0, false, false},
      // A repeat track the disc does not have: the whole disc, as with no repeat track.
      {"repeat beyond the disc, stopped", L"stopped", 0, L"2", 9, true, true},
      {"repeat beyond the disc, playing", L"playing", 0, L"2", 9, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Devices d;
    d.cdMode = c.mode;
    d.modeError = c.modeError;
    d.trackReply = c.current;
    auto music = MakeMusic(d, L"", c.repeat);
    music->CD_Open();
    const Strings sent = Tick(*music, d);
    const bool played = !sent.empty() && sent.back().starts_with(L"play cdaudio");
    EXPECT_EQ(played, c.plays);
    EXPECT_EQ(music->CD_Active(), c.active);
  }
}

}  // namespace
}  // namespace lw::music
