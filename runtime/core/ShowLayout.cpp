#include "runtime/core/ShowLayout.h"

#include <algorithm>
#include <cstdint>

namespace kestrava {

namespace {

// The largest rectangle of the show's shape that fits the area, centred on it.
TRect FitCentred(int showWidth, int showHeight, const TRect& area) {
  if (showWidth == area.Width() && showHeight == area.Height()) return area;
  int width = area.Width();
  int height = int(int64_t(showHeight) * width / showWidth);
  if (height > area.Height()) {
    height = area.Height();
    width = int(int64_t(showWidth) * height / showHeight);
  }
  const int left = area.Left + (area.Width() - width) / 2;
  const int top = area.Top + (area.Height() - height) / 2;
  return {left, top, left + width, top + height};
}

}  // namespace

TShowLayout LayOutShow(const TRect& window, std::span<const TRect> monitors) {
  std::vector<TRect> areas;
  for (const TRect& monitor : monitors) {
    const TRect area = Intersect(monitor, window);
    const TRect inWindow = area.Offset(-window.Left, -window.Top);
    // Cloned outputs report the same place twice: it is shown once.
    if (!area.IsEmpty() && std::find(areas.begin(), areas.end(), inWindow) == areas.end())
      areas.push_back(inWindow);
  }
  TShowLayout layout;
  if (areas.size() <= 1) {
    // One monitor, or a window of its own inside one (XScreenSaver's): the window is the screen.
    layout.ShowWidth = window.Width();
    layout.ShowHeight = window.Height();
    layout.Targets.push_back({0, 0, window.Width(), window.Height()});
    return layout;
  }
  const TRect* largest = &areas.front();
  for (const TRect& area : areas)
    if (int64_t(area.Width()) * area.Height() > int64_t(largest->Width()) * largest->Height())
      largest = &area;
  layout.ShowWidth = largest->Width();
  layout.ShowHeight = largest->Height();
  for (const TRect& area : areas)
    layout.Targets.push_back(FitCentred(layout.ShowWidth, layout.ShowHeight, area));
  return layout;
}

}  // namespace kestrava
