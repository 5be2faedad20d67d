#include "runtime/core/RuntimeOptions.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

namespace kestrava {

const char* const kRuntimeUsage =
    "usage: kestrava-saver [/s | /c | /p ID | -root | -window-id ID | --help]\n"
    "       kestrava-saver --frames N --dump DIR [--size WxH] [--seed S] [--payload FILE]\n"
    "  (none), /s        the slide show full screen until the wake-up action\n"
    "  /c, /p ID         what the Windows screen-saver settings pass: here it exits at\n"
    "                    once; the Windows saver shows its note or draws into window ID\n"
    "  -root, --root     draw into the root window (XScreenSaver)\n"
    "  -window-id ID     draw into that X window (also --window-id; XScreenSaver sets\n"
    "                    XSCREENSAVER_WINDOW too)\n"
    "  --frames, --dump  render N frames of 40 ms to DIR/frame-00000.png ..., no display\n"
    "  --size WxH        the size of those frames (default: the stored pictures' or first\n"
    "                    movie's size, at most 4096 pixels a side)\n"
    "  --seed S          the seed of the effect choice, for repeatable frames\n"
    "  --payload FILE    show the saver file FILE instead of this program's own\n"
    "exit status: 0 done, 1 wrong arguments, 2 a damaged saver file, 74 a frame that\n"
    "could not be written (a full disk)\n";

namespace {

uint64_t ParseId(const std::string& text, const char* what) {
  // X window ids come in decimal or as 0x... hexadecimal.
  const bool hex = text.starts_with("0x") || text.starts_with("0X");
  const char* first = text.data() + (hex ? 2 : 0);
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(first, text.data() + text.size(), value, hex ? 16 : 10);
  if (error != std::errc() || end != text.data() + text.size() || first == end)
    throw ERuntimeUsage(std::string("kestrava-saver: ") + what + ": not a number: \"" + text +
                        "\"");
  return value;
}

int ParseCount(const std::string& text, const char* what, int least) {
  const uint64_t value = ParseId(text, what);
  if (value < uint64_t(least) || value > 1000000)
    throw ERuntimeUsage(std::string("kestrava-saver: ") + what + " out of range: " + text);
  return int(value);
}

// The window handle of "/p HWND", "/p:HWND" or "/c:HWND" (the switch's own letters included in
// arg), 0 when none follows.
uint64_t WindowAfter(const std::string& arg, const std::vector<std::string>& args, size_t index,
                     const char* what) {
  if (arg.size() > 2) {
    const size_t start = arg[2] == ':' ? 3 : 2;
    return ParseId(arg.substr(start), what);
  }
  if (index + 1 < args.size()) return ParseId(args[index + 1], what);
  return 0;
}

}  // namespace

TRuntimeOptions ParseRuntimeOptions(const std::vector<std::string>& args,
                                    const char* xscreensaverWindow) {
  TRuntimeOptions options;
  if (xscreensaverWindow && *xscreensaverWindow) {
    options.Mode = TRunMode::InWindow;
    options.WindowId = ParseId(xscreensaverWindow, "XSCREENSAVER_WINDOW");
  }
  bool dump = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw ERuntimeUsage("kestrava-saver: " + arg + " wants a value");
      return args[++i];
    };
    // Windows passes its switches in either case, sometimes as "/p:1234".
    const std::string lower = [&] {
      std::string s = arg;
      for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
      return s;
    }();
    if (lower == "/s" || lower == "-s") {
      options.Mode = TRunMode::FullScreen;
    } else if (lower.starts_with("/c") || lower.starts_with("-c")) {
      // "/c:HWND" names the settings dialog that owns ours; plain "/c" has none.
      options.Mode = TRunMode::Configure;
      options.WindowId = WindowAfter(arg, args, i, "/c");
      return options;
    } else if (lower.starts_with("/p") || lower.starts_with("-p")) {
      options.Mode = TRunMode::Preview;
      options.WindowId = WindowAfter(arg, args, i, "/p");
      return options;
    } else if (arg == "-root" || arg == "--root") {
      options.Mode = TRunMode::InWindow;
      options.RootWindow = true;
    } else if (arg == "-window-id" || arg == "--window-id") {
      options.Mode = TRunMode::InWindow;
      options.WindowId = ParseId(value(), "-window-id");
    } else if (arg == "--frames") {
      options.Frames = ParseCount(value(), "--frames", 1);
      dump = true;
    } else if (arg == "--dump") {
      options.DumpDir = value();
      dump = true;
    } else if (arg == "--size") {
      const std::string& size = value();
      const size_t x = size.find('x');
      if (x == std::string::npos) throw ERuntimeUsage("kestrava-saver: --size wants WxH");
      options.Width = ParseCount(size.substr(0, x), "--size", 1);
      options.Height = ParseCount(size.substr(x + 1), "--size", 1);
      if (options.Width > 16384 || options.Height > 16384)
        throw ERuntimeUsage("kestrava-saver: --size: at most 16384x16384");
    } else if (arg == "--seed") {
      options.Seed = uint32_t(ParseId(value(), "--seed"));
    } else if (arg == "--payload") {
      options.Payload = value();
    } else if (arg == "--help" || arg == "-h") {
      options.Mode = TRunMode::Help;
      return options;
    } else {
      throw ERuntimeUsage("kestrava-saver: unknown argument " + arg);
    }
  }
  if (dump) {
    if (options.Frames == 0 || options.DumpDir.empty())
      throw ERuntimeUsage("kestrava-saver: --frames N and --dump DIR go together");
    options.Mode = TRunMode::Dump;
  }
  return options;
}

}  // namespace kestrava
