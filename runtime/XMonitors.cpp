#include "runtime/XMonitors.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xinerama.h>

#include <memory>

namespace kestrava {

namespace {

struct TCloseDisplay {
  void operator()(Display* display) const { XCloseDisplay(display); }
};
using TDisplay = std::unique_ptr<Display, TCloseDisplay>;

TDisplay OpenDisplay() {
  return TDisplay(XOpenDisplay(nullptr));
}

}  // namespace

std::vector<TRect> XMonitors() {
  std::vector<TRect> monitors;
  const TDisplay display = OpenDisplay();
  if (!display || !XineramaIsActive(display.get())) return monitors;
  int count = 0;
  XineramaScreenInfo* heads = XineramaQueryScreens(display.get(), &count);
  for (int i = 0; i < count; ++i)
    monitors.push_back({heads[i].x_org, heads[i].y_org, heads[i].x_org + heads[i].width,
                        heads[i].y_org + heads[i].height});
  if (heads) XFree(heads);
  return monitors;
}

TRect XRootRect() {
  const TDisplay display = OpenDisplay();
  if (!display) return {};
  const int screen = DefaultScreen(display.get());
  return {0, 0, DisplayWidth(display.get(), screen), DisplayHeight(display.get(), screen)};
}

TRect XWindowOnRoot(uint64_t window) {
  const TDisplay display = OpenDisplay();
  if (!display) return {};
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display.get(), Window(window), &attributes)) return {};
  int x = 0, y = 0;
  Window child = 0;
  XTranslateCoordinates(display.get(), Window(window), attributes.root, 0, 0, &x, &y, &child);
  return {x, y, x + attributes.width, y + attributes.height};
}

}  // namespace kestrava
