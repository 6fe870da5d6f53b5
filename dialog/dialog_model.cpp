#include "dialog/dialog_model.h"

#include <algorithm>
#include <utility>

#include "platform/conversions.h"

namespace lw::dialog {
namespace {

// The repeat list: a blank entry (no repeat), then the tracks of an audio CD's usual range.
constexpr int kRepeatListLastTrack = 30;

}  // namespace

RadioMarks MarksFor(int source) {
  RadioMarks marks{};
  if (source >= 0 && source < kSourceChoices) marks[static_cast<std::size_t>(source)] = true;
  return marks;
}

std::wstring RepeatText(std::int16_t track) { return track == 0 ? std::wstring() : DecimalText(track); }

OpenView ViewOnOpen(const settings::Settings& settings) {
  OpenView view;
  const int count = settings.particleCount;
  // A count the slider cannot hold leaves it at its design value; the read-out still tells the truth.
  if (count >= kParticleSlider.min && count <= kParticleSlider.max) view.sliderValue = count;
  view.readout = DecimalText(count);
  view.marks = MarksFor(settings.bgmSource);
  view.repeatText = RepeatText(settings.bgmTrack);
  for (int track = 0; track <= kRepeatListLastTrack; ++track)
    view.repeatList.push_back(RepeatText(static_cast<std::int16_t>(track)));
  if (settings.bgmTrack > 0 && settings.bgmTrack <= kRepeatListLastTrack)
    view.repeatSelection = static_cast<std::size_t>(settings.bgmTrack);
  view.fileCaption = settings.bgmFile;
  return view;
}

void ChooseSource(settings::Settings& settings, int index) {
  if (index >= 0 && index < kSourceChoices) settings.bgmSource = static_cast<std::int16_t>(index);
}

void ChooseFile(settings::Settings& settings, std::wstring path) {
  settings.bgmFile = std::move(path);
  settings.bgmSource = settings::kSourceFile;
}

int SliderAfter(int value, ScrollAction action, int thumb, const SliderRange& range) {
  int next = value;
  switch (action) {
    case ScrollAction::LineLeft: next = value - range.arrowStep; break;
    case ScrollAction::LineRight: next = value + range.arrowStep; break;
    case ScrollAction::PageLeft: next = value - range.pageStep; break;
    case ScrollAction::PageRight: next = value + range.pageStep; break;
    case ScrollAction::Thumb: next = thumb; break;
    case ScrollAction::Left: next = range.min; break;
    case ScrollAction::Right: next = range.max; break;
    case ScrollAction::None: break;
  }
  return std::clamp(next, range.min, range.max);
}

settings::SaveStatus SaveSettings(settings::IniFile& ini, settings::Settings& settings,
                                  std::optional<int> movedSlider, std::wstring_view repeatText) {
  using namespace settings;
  const int count = settings.particleCount;
  std::optional<int> particles = movedSlider;
  if (!particles && count >= kParticleSlider.min && count <= kParticleSlider.max) particles = count;
  std::vector<IniFile::Entry> entries;
  if (particles) entries.push_back({kKeyParticleCount, DecimalText(*particles)});
  entries.push_back({kKeyBgmSource, DecimalText(settings.bgmSource)});
  if (const auto number = CoerceNumber(repeatText)) {
    if (const auto track = RoundToInt16(*number)) settings.bgmTrack = *track;
  } else {
    settings.bgmTrack = 0;
  }
  entries.push_back({kKeyBgmRepeat, DecimalText(settings.bgmTrack)});
  entries.push_back({kKeyBgmFile, settings.bgmFile});
  return ini.WriteAll(kSection, entries, settings.iniPath);
}

}  // namespace lw::dialog
