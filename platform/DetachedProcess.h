#pragma once

// Starting programs that live on by themselves: the builder neither waits for them nor reaps them.

#include <string>
#include <vector>

namespace kestrava {

// Runs the executable file with these arguments (args[0] included) in a session of its own,
// under a grandchild process that nobody needs to reap; the environment and the current folder
// are inherited, our other open files and blocked signals are not. True once the program has
// been started: false when the file is missing, not an executable file, or could not be run.
bool SpawnDetached(const std::string& file, const std::vector<std::string>& args);

// The executable file of that name in $PATH, as a shell would find it; empty when none is there.
// A name with a "/" is a path and is returned as it is when it names an executable file.
std::string FindOnPath(const std::string& name);

}  // namespace kestrava
