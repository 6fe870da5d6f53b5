// What the settings dialog shows and what it writes, without any window: the values its controls
// take when it opens, the music-source choice, the particle slider's rules and the commit.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

namespace lw::dialog {

// The particle-count slider: lower end 100 with an arrow step of 1.
struct SliderRange {
  int min = 100;
  int max = 2000;
  int arrowStep = 1;
  int pageStep = 100;
  int designValue = 600;
};
inline constexpr SliderRange kParticleSlider{};

inline constexpr int kSourceChoices = 3;  // 0 none, 1 audio CD, 2 music file
using RadioMarks = std::array<bool, kSourceChoices>;

// The address the link shows and opens.
inline constexpr std::wstring_view kHomePageUrl = L"https://lumenweave.example/";

// The controls' contents when the dialog opens.
struct OpenView {
  int sliderValue = kParticleSlider.designValue;
  std::wstring readout;       // the slider's read-out label
  RadioMarks marks{};         // which radio mark shows the selected picture
  std::wstring repeatText;    // the repeat box's text
  std::vector<std::wstring> repeatList;
  // The list entry selected: the stored track's, so the arrow keys step on from it; none for 0
  // or a track the list does not hold.
  std::optional<std::size_t> repeatSelection;
  std::wstring fileCaption;   // the bordered file-name label
};

OpenView ViewOnOpen(const settings::Settings& settings);

// The mark of `source` selected, the others not; a source outside 0-2 selects none.
RadioMarks MarksFor(int source);

// A track number as the repeat box shows it: no leading zeros, empty for 0.
std::wstring RepeatText(std::int16_t track);

// A click on the mark or label of choice `index` (0-2).
void ChooseSource(settings::Settings& settings, int index);

// A file picked with "...": it becomes the music file and the music-file source is selected, so
// that picking a file and saving plays it.
void ChooseFile(settings::Settings& settings, std::wstring path);

// The slider's value after a scroll action; `thumb` is used by the two thumb actions.
enum class ScrollAction { LineLeft, LineRight, PageLeft, PageRight, Thumb, Left, Right, None };
int SliderAfter(int value, ScrollAction action, int thumb, const SliderRange& range = kParticleSlider);

// Commit: the four keys, in order, to the settings file at settings.iniPath, in one replace of
// the file: a failure anywhere leaves it byte for byte as it was. The particle count
// is the slider's value once the user has moved it (`movedSlider`); untouched, a stored count the
// slider cannot show (outside its range, or 0 from a damaged value) is not written, so the file
// keeps it as it was. BGM_Track is taken from the repeat box's text first: a number is rounded
// half to even (a value beyond 16 bits leaves it as it was), any other text gives 0. The status
// of the save is returned.
[[nodiscard]] settings::SaveStatus SaveSettings(settings::IniFile& ini, settings::Settings& settings,
                                                std::optional<int> movedSlider, std::wstring_view repeatText);

}  // namespace lw::dialog
