#include "saver/OutputPath.h"

namespace kestrava {

std::string_view OutputExtension(int outputType) {
  return outputType == 1 ? ".exe" : ".scr";
}

std::string ComposeOutputPath(std::string_view outputDir, std::string_view outputName,
                              std::string_view firstSource, int outputType) {
  std::string path(outputDir);
  if (!outputName.empty()) {
    path += outputName;
    path += ".exe";
  } else {
    const size_t slash = firstSource.find_last_of('/');
    path += slash == std::string_view::npos ? firstSource : firstSource.substr(slash + 1);
  }
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.erase(dot);
  path += OutputExtension(outputType);
  return path;
}

}  // namespace kestrava
