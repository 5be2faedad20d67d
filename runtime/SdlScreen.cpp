#include "runtime/SdlScreen.h"

#include <X11/Xlib.h>

#include <stdexcept>
#include <string>

#include "runtime/XMonitors.h"
#include "runtime/core/QuitRule.h"
#include "runtime/core/ShowLayout.h"

namespace kestrava {

namespace {

std::runtime_error SdlError(const char* what) {
  return std::runtime_error(std::string(what) + ": " + SDL_GetError());
}

// Where the pointer is on the screen, asked of the X server itself: SDL's global pointer state
// follows raw device motion only and misses warps and absolute jumps.
void PointerOnScreen(int& x, int& y) {
  if (Display* display = XOpenDisplay(nullptr)) {
    Window root = 0, child = 0;
    int winX = 0, winY = 0;
    unsigned mask = 0;
    const bool found = XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y,
                                     &winX, &winY, &mask);
    XCloseDisplay(display);
    if (found) return;
  }
  SDL_GetGlobalMouseState(&x, &y);
}

}  // namespace

TSdlScreen::TSdlScreen(bool inWindow, uint64_t windowId, bool root) {
  // The window's pixels go to the X server as they are (shared memory where it offers it):
  // SDL's default would route them through a renderer, which under a software GL costs a core.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) != 0 && SDL_Init(SDL_INIT_VIDEO) != 0)
    throw SdlError("cannot start the display");
  const std::vector<TRect> monitors = XMonitors();
  TRect onRoot;
  if (inWindow) {
    if (root && windowId == 0) {
      // The root window of the default screen, as -root asks. XScreenSaver passes --root and
      // names its own window in XSCREENSAVER_WINDOW: that window wins.
      if (Display* display = XOpenDisplay(nullptr)) {
        windowId = DefaultRootWindow(display);
        XCloseDisplay(display);
      }
    }
    if (windowId == 0) throw std::runtime_error("no window to draw into");
    window_ = SDL_CreateWindowFrom(reinterpret_cast<void*>(uintptr_t(windowId)));
    onRoot = XWindowOnRoot(windowId);
  } else if (monitors.size() > 1) {
    // Over every monitor: full screen in SDL's sense covers only one.
    onRoot = XRootRect();
    window_ = SDL_CreateWindow("Kestrava", onRoot.Left, onRoot.Top, onRoot.Width(), onRoot.Height(),
                               SDL_WINDOW_BORDERLESS);
  } else {
    // The display's own size, borderless at its corner: without a window manager (a bare X
    // server) "full screen" alone would leave the window at the size it was made with.
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) throw SdlError("cannot read the display mode");
    window_ = SDL_CreateWindow("Kestrava", 0, 0, mode.w, mode.h,
                               SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS);
  }
  if (!window_) throw SdlError("cannot open the saver's window");
  TakeSurface();
  // The show is made for the window's first size; a later size shows it at the top left.
  if (onRoot.IsEmpty()) onRoot = {0, 0, surface_->w, surface_->h};
  onRoot.Right = onRoot.Left + surface_->w;
  onRoot.Bottom = onRoot.Top + surface_->h;
  const TShowLayout layout = LayOutShow(onRoot, monitors);
  width_ = layout.ShowWidth;
  height_ = layout.ShowHeight;
  targets_ = layout.Targets;
  SDL_ShowCursor(SDL_DISABLE);
  PointerOnScreen(startX_, startY_);
}

TSdlScreen::~TSdlScreen() {
  if (window_) SDL_DestroyWindow(window_);
  SDL_Quit();
}

void TSdlScreen::TakeSurface() {
  surface_ = SDL_GetWindowSurface(window_);
  if (!surface_) throw SdlError("cannot draw into the saver's window");
  SDL_FillRect(surface_, nullptr, SDL_MapRGB(surface_->format, 0, 0, 0));
  damage_ = {0, 0, surface_->w, surface_->h};
}

void TSdlScreen::Paint(const TBitmap& frame, const TRect& area) {
  const TRect painted = Intersect(area, {0, 0, frame.Width(), frame.Height()});
  if (painted.IsEmpty()) return;
  // Device bitmaps are 0xXXRRGGBB per pixel; SDL copies them row by row where the window's
  // pixels are the same, and converts them where not.
  SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
      const_cast<uint8_t*>(frame.ScanLine(0)), frame.Width(), frame.Height(), 32,
      int(frame.Stride()), SDL_PIXELFORMAT_RGB888);
  if (!source) return;
  const TRect window{0, 0, surface_->w, surface_->h};
  for (const TRect& target : targets_) {
    if (target.Width() == frame.Width() && target.Height() == frame.Height()) {
      // Only the painted area, where the monitor shows the show at its own size.
      SDL_Rect from{painted.Left, painted.Top, painted.Width(), painted.Height()};
      SDL_Rect to{target.Left + painted.Left, target.Top + painted.Top, 0, 0};
      SDL_BlitSurface(source, &from, surface_, &to);
      damage_ = Union(damage_, Intersect(painted.Offset(target.Left, target.Top), window));
    } else {
      // A monitor of another size: the whole frame, scaled to it.
      SDL_Rect to{target.Left, target.Top, target.Width(), target.Height()};
      SDL_BlitScaled(source, nullptr, surface_, &to);
      damage_ = Union(damage_, Intersect(target, window));
    }
  }
  SDL_FreeSurface(source);
}

void TSdlScreen::Flush() {
  if (damage_.IsEmpty()) return;
  const SDL_Rect rect{damage_.Left, damage_.Top, damage_.Width(), damage_.Height()};
  SDL_UpdateWindowSurfaceRects(window_, &rect, 1);
  damage_ = {};
}

void TSdlScreen::Show(const TBitmap& frame) {
  Paint(frame, {0, 0, frame.Width(), frame.Height()});
  Flush();
}

bool TSdlScreen::ShouldQuit(int quitMode) {
  const TQuitRule rule(quitMode, startX_, startY_);
  SDL_Event event;
  bool quit = false;
  while (SDL_PollEvent(&event)) {
    switch (event.type) {
      case SDL_QUIT:
        quit = quit || rule.Ends(TUserAction::WindowClosed);
        break;
      case SDL_KEYDOWN: {
        const bool altF4 = (event.key.keysym.mod & KMOD_ALT) && event.key.keysym.sym == SDLK_F4;
        quit = quit || rule.Ends(altF4 ? TUserAction::AltF4 : TUserAction::KeyPressed);
        break;
      }
      case SDL_MOUSEBUTTONDOWN:
        quit = quit || rule.Ends(TUserAction::ButtonPressed);
        break;
      case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
          // The window's pixels are still ours: show them again.
          damage_ = {0, 0, surface_->w, surface_->h};
          Flush();
        } else if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
          TakeSurface();
          repaint_ = true;
        }
        break;
      case SDL_MOUSEMOTION: {
        // The event's own position, on the screen: every jump is seen where it lands.
        int windowX = 0, windowY = 0;
        SDL_GetWindowPosition(window_, &windowX, &windowY);
        quit = quit || rule.Ends(TUserAction::PointerMoved, windowX + event.motion.x,
                                 windowY + event.motion.y);
        break;
      }
      default:
        break;
    }
  }
  return quit;
}

}  // namespace kestrava
