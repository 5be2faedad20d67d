#include "runtime/SdlScreen.h"

#include <X11/Xlib.h>

#include <stdexcept>
#include <string>

#include "runtime/core/QuitRule.h"

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
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO) != 0 && SDL_Init(SDL_INIT_VIDEO) != 0)
    throw SdlError("cannot start the display");
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
  } else {
    // The display's own size, borderless at its corner: without a window manager (a bare X
    // server) "full screen" alone would leave the window at the size it was made with.
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0) throw SdlError("cannot read the display mode");
    window_ = SDL_CreateWindow("Kestrava", 0, 0, mode.w, mode.h,
                               SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS);
  }
  if (!window_) throw SdlError("cannot open the saver's window");
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (!renderer_) throw SdlError("cannot draw into the saver's window");
  SDL_GetRendererOutputSize(renderer_, &width_, &height_);
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                               width_, height_);
  if (!texture_) throw SdlError("cannot make the frame texture");
  SDL_ShowCursor(SDL_DISABLE);
  PointerOnScreen(startX_, startY_);
}

TSdlScreen::~TSdlScreen() {
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  SDL_Quit();
}

void TSdlScreen::Show(const TBitmap& frame) {
  // Device bitmaps are 0xXXRRGGBB per pixel: the texture's own layout.
  SDL_UpdateTexture(texture_, nullptr, frame.ScanLine(0), int(frame.Stride()));
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
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
