#include "tools/kestrava-build/PrimaryDisplay.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstdlib>

namespace kestrava {

std::optional<TScreenSize> PrimaryDisplaySize() {
  if (!std::getenv("DISPLAY")) return std::nullopt;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return std::nullopt;
  const Window root = DefaultRootWindow(display);
  TScreenSize size{DisplayWidth(display, DefaultScreen(display)),
                   DisplayHeight(display, DefaultScreen(display))};
  // The primary output's mode, when the server names one; else the whole screen.
  int eventBase = 0, errorBase = 0;
  if (XRRQueryExtension(display, &eventBase, &errorBase)) {
    if (XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root)) {
      if (const RROutput primary = XRRGetOutputPrimary(display, root)) {
        if (XRROutputInfo* output = XRRGetOutputInfo(display, resources, primary)) {
          if (output->crtc)
            if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, output->crtc)) {
              if (crtc->width > 0 && crtc->height > 0) size = {int(crtc->width), int(crtc->height)};
              XRRFreeCrtcInfo(crtc);
            }
          XRRFreeOutputInfo(output);
        }
      }
      XRRFreeScreenResources(resources);
    }
  }
  XCloseDisplay(display);
  return size;
}

}  // namespace kestrava
