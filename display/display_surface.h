// The saver's drawing surface, in twips: what the particle passes and the emitter step draw on.
// The Win32 window backs it with a DIB section; tests and the preview renderer use MemorySurface.
#pragma once

#include <cstdint>

namespace lw::display {

class PixelCanvas;

// Colours are 0x00BBGGRR, red in the low byte.
inline constexpr std::uint32_t kBlack = 0x000000;
inline constexpr std::uint32_t kYellow = 0x00FFFF;

class DisplaySurface {
 public:
  virtual ~DisplaySurface() = default;
  // Size of the drawing area and of the whole screen, in twips.
  virtual float ScaleWidth() const = 0;
  virtual float ScaleHeight() const = 0;
  virtual float ScreenWidth() const = 0;
  virtual float ScreenHeight() const = 0;
  virtual float TwipsPerPixelX() const = 0;
  virtual float TwipsPerPixelY() const = 0;
  // Sets the one pixel at a point given in twips; a point outside the area draws nothing.
  virtual void PSet(float x, float y, std::uint32_t colour) = 0;
  // Fills the whole surface with black.
  virtual void Cls() = 0;
  // Makes the current content visible; the display loop, not the surface, paces the frames.
  virtual void Refresh() = 0;
  // The pixels behind PSet when they are plain memory, so the particle passes can store into them
  // without a call per point; nullptr for surfaces that draw some other way.
  virtual PixelCanvas* Canvas() { return nullptr; }
};

}  // namespace lw::display
