#pragma once

// The resources of the builder programs: the saver runtimes, "exefile"/"head" for Linux and,
// when the builder was made with it, "exefile"/"headwin" for Windows.

#include <span>

#include "saver/Resources.h"

namespace kestrava {

std::span<const TResource> ProgramResources();

}  // namespace kestrava
