// The command channel: what reaches MCI, with which capacities, and what comes back.
#include <gtest/gtest.h>

#include "music_fake_devices.h"

namespace lw::music {
namespace {

using testing::Call;
using testing::Devices;
using testing::MakeMusic;

TEST(MusicChannel, SendAndQuery) {
  struct Case {
    const char* name;
    std::wstring command;
    bool cdOpen;
    bool describable;
    std::int32_t code;
    std::wstring reply;  // MCI_Send's reply text
    std::wstring query;  // MCI_Query's result
    std::vector<Call> calls;
  };
  const std::wstring track = L"status cdaudio current track";
  const Case cases[] = {
      {"empty command never reaches MCI", L"", true, true, -1, std::wstring(kNoCommandText), L"Error:-1", {}},
      {"reply cut at its first NUL", track, true, true, 0, L"1", L"1", {{track, 512}}},
      {"success with an empty reply", L"set cdaudio time format tmsf", true, true, 0, L"", L"",
       {{L"set cdaudio time format tmsf", 512}}},
      {"failure described by the system", track, false, true, 263, L"MCI error 263", L"Error:263",
       {{track, 512}, {L"describe 263", 256}}},
      {"failure without a description", track, false, false, 263, std::wstring(kNoErrorText), L"Error:263",
       {{track, 512}, {L"describe 263", 256}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Devices d;
    d.cdOpen = c.cdOpen;
    d.describable = c.describable;
    auto music = MakeMusic(d);
    std::wstring reply = L"previous";
    EXPECT_EQ(music->MCI_Send(c.command, reply), c.code);
    EXPECT_EQ(reply, c.reply);
    EXPECT_EQ(d.calls, c.calls);
    EXPECT_EQ(music->MCI_Query(c.command), c.query);
    EXPECT_EQ(music->MCI_Reply(), c.reply);
  }
}

TEST(MusicChannel, PlayCommandText) {
  struct Case {
    std::wstring from, to, command;
  };
  const Case cases[] = {
      {L"", L"", L"play cdaudio"},
      {L"03:00:00:00", L"", L"play cdaudio from 03:00:00:00"},
      {L"", L"04:00:00:00", L"play cdaudio to 04:00:00:00"},
      {L"03:00:00:00", L"04:00:00:00", L"play cdaudio from 03:00:00:00 to 04:00:00:00"},
      {L" 3 ", L"", L"play cdaudio from  3 "},           // inserted as given
      {L"Error:282", L"", L"play cdaudio from Error:282"},  // an error text goes through too
  };
  for (const auto& c : cases) {
    Devices d;
    d.cdOpen = true;
    auto music = MakeMusic(d);
    music->MCI_Play(L"cdaudio", c.from, c.to);
    ASSERT_FALSE(d.calls.empty());
    EXPECT_EQ(d.calls.front(), (Call{c.command, 512}));
  }
}

TEST(MusicChannel, WavLoopsOnlyWithAWaveDevice) {
  struct Case {
    std::int32_t devices;
    std::vector<std::wstring> calls;
  };
  const std::wstring file = L"C:\\My Music\\rain.Wav";
  const Case cases[] = {
      {1, {L"waveOutGetNumDevs", L"PlaySound " + file, L"PlaySound stop"}},
      {0, {L"waveOutGetNumDevs", L"PlaySound stop"}},
      {-1, {L"waveOutGetNumDevs", L"PlaySound stop"}},
  };
  for (const auto& c : cases) {
    Devices d;
    d.waveDevices = c.devices;
    {
      auto music = MakeMusic(d, file);
      music->WAV_Play();
      EXPECT_EQ(d.looping.has_value(), c.devices > 0);
      music->WAV_Stop();
    }
    EXPECT_EQ(testing::Commands(d), c.calls) << c.devices;
    EXPECT_FALSE(d.looping);
  }
}

// Every reply buffer offered to the platform, by the command that receives it.
TEST(MusicChannel, CapacitiesOfferedForEachCommand) {
  Devices d;
  d.playableFile = L"C:\\m\\a.mp3";
  auto music = MakeMusic(d, d.playableFile, 3);
  music->CD_Open();
  music->CD_Check();
  music->CD_NextTrack();
  music->CD_Stop();
  music->MP3_Play();
  music->MP3_Replay();
  music->MP3_Stop();
  music->MCI_Query(L"status nothing mode");
  const std::vector<Call> expected = {
      {L"open cdaudio", 0},
      {L"set cdaudio time format tmsf", 0},
      {L"status cdaudio current track", 512},
      {L"status cdaudio number of tracks", 512},
      {L"status cdaudio mode", 255},
      {L"status cdaudio position track 3", 512},
      {L"play cdaudio from 03:00:00:00", 512},
      {L"status cdaudio current track", 512},
      {L"status cdaudio position track 4", 512},
      {L"play cdaudio from 04:00:00:00", 512},
      {L"stop cdaudio", 0},
      {L"close cdaudio", 0},
      {L"open \"C:\\m\\a.mp3\" type MPEGVideo Alias MP3Play", 0},
      {L"play MP3Play", 0},
      {L"status MP3Play mode", 30},
      {L"stop MP3Play", 0},
      {L"close MP3Play", 0},
      {L"status nothing mode", 512},
      {L"describe 263", 256},
  };
  EXPECT_EQ(d.calls, expected);
}

}  // namespace
}  // namespace lw::music
