#include "platform/XScreenSaverInstall.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "platform/Desktop.h"
#include "platform/XScreenSaverSettings.h"
#include "project/AtomicFile.h"

namespace kestrava {

namespace {

namespace fs = std::filesystem;

// A settings file holds a few kilobytes; something far larger is not one and is not read.
constexpr std::uintmax_t kLargestSettings = 16u << 20;

[[noreturn]] void Fail() {
  throw EInstallError(std::string(kInstallFailedMessage));
}

// A missing file reads as empty. One that exists but cannot be read is not replaced: writing
// our text over it would lose the user's settings.
bool ReadSettings(const fs::path& file, std::string& text) {
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  if (status.type() == fs::file_type::not_found) return true;
  if (error || status.type() != fs::file_type::regular) return false;
  const std::uintmax_t size = fs::file_size(file, error);
  if (error || size > kLargestSettings) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

std::string AccountHome() {
  std::vector<char> buffer(16384);
  passwd account{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &account, buffer.data(), buffer.size(), &found) != 0 || !found ||
      !found->pw_dir)
    return {};
  return found->pw_dir;
}

}  // namespace

fs::path XScreenSaverSettingsFile() {
  const char* home = std::getenv("HOME");
  const std::string folder = home && *home ? std::string(home) : AccountHome();
  if (folder.empty()) return {};
  return fs::path(folder) / ".xscreensaver";
}

void InstallIntoXScreenSaver(const std::string& saverPath) {
  std::error_code error;
  if (saverPath.empty() || !fs::exists(saverPath, error)) return;
  const fs::path saver = fs::absolute(saverPath, error).lexically_normal();
  if (error) Fail();
  const fs::path settings = XScreenSaverSettingsFile();
  std::string text;
  if (settings.empty() || !ReadSettings(settings, text)) Fail();
  std::string updated;
  try {
    updated = SelectSaverProgram(text, SaverCommand(saver.string()), saver.stem().string());
  } catch (const std::invalid_argument&) {
    Fail();  // a path no settings line can hold
  }
  if (!project::ReplaceFileAtomically(settings, updated)) Fail();
}

}  // namespace kestrava
