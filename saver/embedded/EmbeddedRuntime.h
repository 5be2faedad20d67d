#pragma once

// The resources of the builder programs: the saver runtime, as "exefile"/"head".

#include <span>

#include "saver/Resources.h"

namespace kestrava {

std::span<const TResource> ProgramResources();

}  // namespace kestrava
