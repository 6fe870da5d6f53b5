// The two Windows multimedia facilities the background music drives, seen from the logic:
// MCI command strings and the looping sound player. One Win32 adapter each (music_ports_win32.h);
// tests script a fake device behind them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lw::music {

struct MciOutcome {
  std::int32_t code = 0;  // 0 success, otherwise the MCI error code
  std::wstring reply;     // the reply buffer as the device left it, NULs and all; empty without one
};

struct MciErrorText {
  bool ok = false;  // false when the description could not be fetched
  std::wstring text;  // the description buffer, NULs and all
};

class MciPort {
 public:
  virtual ~MciPort() = default;
  // Sends one command string synchronously (no callback window, no wait or notify flag),
  // offering `replyCapacity` characters for the reply; 0 offers no reply buffer at all.
  virtual MciOutcome Send(std::wstring_view command, std::size_t replyCapacity) = 0;
  // The system's description of an MCI error code, offering `capacity` characters.
  virtual MciErrorText DescribeError(std::int32_t code, std::size_t capacity) = 0;
};

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Number of wave output devices; 0 or less means none.
  virtual std::int32_t DeviceCount() = 0;
  // Starts the named sound in the background and repeats it until stopped. The name is looked up
  // as a sound alias first and otherwise taken as a file name.
  virtual void PlayLooped(std::wstring_view name) = 0;
  // Stops whatever this player is playing.
  virtual void Stop() = 0;
};

}  // namespace lw::music
