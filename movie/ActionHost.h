#pragma once

// What frame scripts may ask of the timelines: clips by id (0 is none), their names, frames,
// properties and variables, and timeline control. The timeline implements it; tests fake it.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "movie/ActionValue.h"

namespace kestrava {

class IActionHost {
 public:
  virtual ~IActionHost() = default;

  virtual uint8_t Version() const = 0;
  virtual uint64_t RootClip() const = 0;
  virtual uint64_t ParentClip(uint64_t clip) const = 0;
  virtual uint64_t ChildClip(uint64_t clip, std::string_view name) const = 0;
  // "_level0.name.name"; empty for a clip that is gone.
  virtual std::string ClipPath(uint64_t clip) const = 0;

  // A property such as "_x" or "_currentframe"; null for what is no property of a clip.
  virtual std::optional<TActionValue> ClipProperty(uint64_t clip, std::string_view name) const = 0;
  virtual const TActionValue* ClipVariable(uint64_t clip, const std::string& name) const = 0;
  virtual void SetClipVariable(uint64_t clip, const std::string& name, TActionValue value) = 0;

  // Frames are 0-based here. A frame past the end goes to the last one.
  virtual void GotoFrame(uint64_t clip, int frame, bool play) = 0;
  // False when the clip has no such label.
  virtual bool GotoLabel(uint64_t clip, const std::string& label, bool play) = 0;
  virtual void Play(uint64_t clip) = 0;
  virtual void Stop(uint64_t clip) = 0;
  virtual void NextFrame(uint64_t clip) = 0;
  virtual void PrevFrame(uint64_t clip) = 0;
  // The 0-based frame of a label of the clip, -1 without.
  virtual int LabelFrame(uint64_t clip, const std::string& label) const = 0;
  // The DoAction bodies of one frame of a clip, for the call() action.
  virtual std::vector<std::span<const uint8_t>> FrameActions(uint64_t clip, int frame) const = 0;

  // Movie time for getTimer(): frames played at the movie's rate, so runs repeat exactly.
  virtual double ElapsedMilliseconds() const = 0;
  virtual void StopSounds() = 0;
  virtual void Trace(std::string line) = 0;
};

}  // namespace kestrava
