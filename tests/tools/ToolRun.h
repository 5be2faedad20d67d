#pragma once

// Runs a built program (kestrava-tool unless told otherwise) as a user would, in a scratch folder
// of its own, and keeps what it printed and its exit code.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace kestrava::test {

struct TToolRun {
  int exitCode = -1;
  std::string out, err;
};

// A path as one shell word.
inline std::string Quoted(const std::filesystem::path& path) {
  return "'" + path.string() + "'";
}

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// `arguments` gets the fresh folder (to put files in) and returns the command line after the
// tool's name; `input` becomes the standard input. The folder is removed afterwards.
inline TToolRun RunProgram(
    const std::string& program, const std::string& folderName,
    const std::function<std::string(const std::filesystem::path&)>& arguments,
    const std::string& input = "") {
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::path(::testing::TempDir()) / (folderName + "-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(dir / "in", std::ios::binary) << input;
  const std::string command = "'" + program + "' " + arguments(dir) + " < '" +
                              (dir / "in").string() + "' > '" + (dir / "out").string() + "' 2> '" +
                              (dir / "err").string() + "'";
  const int status = std::system(command.c_str());
  TToolRun run;
  if (status != -1 && WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  run.out = ReadText(dir / "out");
  run.err = ReadText(dir / "err");
  fs::remove_all(dir);
  return run;
}

inline TToolRun RunTool(const std::string& folderName,
                        const std::function<std::string(const std::filesystem::path&)>& arguments,
                        const std::string& input = "") {
  return RunProgram(KESTRAVA_TOOL_PATH, folderName, arguments, input);
}

}  // namespace kestrava::test
