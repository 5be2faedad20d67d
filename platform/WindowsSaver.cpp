#include "platform/WindowsSaver.h"

#include <filesystem>

namespace kestrava {

namespace {

std::string QuotedName(const std::string& saverPath) {
  return "\"" + std::filesystem::path(saverPath).filename().string() + "\"";
}

}  // namespace

std::vector<std::string> WinePreviewCommand(const std::string& wine, const std::string& saverPath) {
  // Wine would read a leading "-" as an option of its own.
  const std::string program =
      !saverPath.empty() && saverPath[0] == '-' ? "./" + saverPath : saverPath;
  return {wine, program, "/s"};
}

std::string WindowsPreviewAdvice(const std::string& saverPath) {
  return QuotedName(saverPath) +
         " is a Windows saver. Wine is not installed, so it cannot be shown here (sudo apt "
         "install wine).\n\nTo try it on a Windows PC, copy it there, right-click it and choose "
         "Test.";
}

std::string WindowsInstallAdvice(const std::string& saverPath) {
  return QuotedName(saverPath) +
         " is a Windows saver: it is not installed on this Linux desktop.\n\nTo install it, copy "
         "it to the Windows PC, right-click it and choose Install.";
}

}  // namespace kestrava
