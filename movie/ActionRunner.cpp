#include "movie/ActionRunner.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <climits>
#include <cmath>
#include <string_view>
#include <vector>

#include "movie/SwfBits.h"

namespace kestrava {

namespace {

constexpr size_t kMaxStack = 4096;
constexpr int kMaxCallDepth = 8;
constexpr int kRegisters = 4;

// GetProperty and SetProperty number the properties.
constexpr std::string_view kPropertyNames[] = {
    "_x",           "_y",           "_xscale",       "_yscale",       "_currentframe",
    "_totalframes", "_alpha",       "_visible",      "_width",        "_height",
    "_rotation",    "_target",      "_framesloaded", "_name",         "_droptarget",
    "_url",         "_highquality", "_focusrect",    "_soundbuftime", "_quality",
    "_xmouse",      "_ymouse"};

bool SameText(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

enum : uint8_t {
  kEnd = 0x00,
  kNextFrame = 0x04,
  kPrevFrame = 0x05,
  kPlay = 0x06,
  kStop = 0x07,
  kToggleQuality = 0x08,
  kStopSounds = 0x09,
  kAdd = 0x0A,
  kSubtract = 0x0B,
  kMultiply = 0x0C,
  kDivide = 0x0D,
  kEquals = 0x0E,
  kLess = 0x0F,
  kAnd = 0x10,
  kOr = 0x11,
  kNot = 0x12,
  kStringEquals = 0x13,
  kStringLength = 0x14,
  kStringExtract = 0x15,
  kPop = 0x17,
  kToInteger = 0x18,
  kGetVariable = 0x1C,
  kSetVariable = 0x1D,
  kSetTarget2 = 0x20,
  kStringAdd = 0x21,
  kGetProperty = 0x22,
  kSetProperty = 0x23,
  kCloneSprite = 0x24,
  kRemoveSprite = 0x25,
  kTrace = 0x26,
  kStartDrag = 0x27,
  kStringLess = 0x29,
  kRandomNumber = 0x30,
  kGetTime = 0x34,
  kDelete = 0x3A,
  kDelete2 = 0x3B,
  kDefineLocal = 0x3C,
  kCallFunction = 0x3D,
  kReturn = 0x3E,
  kModulo = 0x3F,
  kNewObject = 0x40,
  kDefineLocal2 = 0x41,
  kInitArray = 0x42,
  kInitObject = 0x43,
  kTypeOf = 0x44,
  kTargetPath = 0x45,
  kAdd2 = 0x47,
  kLess2 = 0x48,
  kEquals2 = 0x49,
  kToNumber = 0x4A,
  kToString = 0x4B,
  kPushDuplicate = 0x4C,
  kStackSwap = 0x4D,
  kGetMember = 0x4E,
  kSetMember = 0x4F,
  kIncrement = 0x50,
  kDecrement = 0x51,
  kCallMethod = 0x52,
  kNewMethod = 0x53,
  kBitAnd = 0x60,
  kBitOr = 0x61,
  kBitXor = 0x62,
  kBitLShift = 0x63,
  kBitRShift = 0x64,
  kBitURShift = 0x65,
  kStrictEquals = 0x66,
  kGreater = 0x67,
  kStringGreater = 0x68,
  kGotoFrame = 0x81,
  kGetUrl = 0x83,
  kStoreRegister = 0x87,
  kConstantPool = 0x88,
  kWaitForFrame = 0x8A,
  kSetTarget = 0x8B,
  kGotoLabel = 0x8C,
  kWaitForFrame2 = 0x8D,
  kDefineFunction2 = 0x8E,
  kWith = 0x94,
  kPush = 0x96,
  kJump = 0x99,
  kGetUrl2 = 0x9A,
  kDefineFunction = 0x9B,
  kIf = 0x9D,
  kCall = 0x9E,
  kGotoFrame2 = 0x9F,
};

// A whole number in [low, high] from any double: NaN gives `low`, and no conversion overflows.
int ClampToInt(double number, int low, int high) {
  if (std::isnan(number) || number <= low) return low;
  if (number >= high) return high;
  return int(number);
}

int32_t ToInt32(double number) {
  if (!std::isfinite(number)) return 0;
  const double wrapped = std::fmod(std::trunc(number), 4294967296.0);
  return int32_t(uint32_t(int64_t(wrapped < 0 ? wrapped + 4294967296.0 : wrapped)));
}

}  // namespace

// One run of one script: its stack, constant pool, registers and target.
class TActionExecution {
 public:
  TActionExecution(TActionRunner& runner, uint64_t clip, std::span<const uint8_t> code)
      : runner_(runner),
        host_(runner.host_),
        version_(runner.host_.Version()),
        this_(clip),
        target_(clip),
        code_(code) {}

  void Run() {
    while (pc_ < code_.size() && runner_.budget_ > 0) {
      --runner_.budget_;
      const uint8_t op = code_[pc_++];
      if (op == kEnd) return;
      std::span<const uint8_t> data;
      if (op >= 0x80) {
        if (code_.size() - pc_ < 2) return;
        const size_t length = code_[pc_] | code_[pc_ + 1] << 8;
        pc_ += 2;
        if (length > code_.size() - pc_) return;
        data = code_.subspan(pc_, length);
        pc_ += length;
      }
      try {
        if (!Step(op, data)) return;
      } catch (const ESwfError&) {
        // A record too short for its own fields: the script ends here.
        return;
      }
    }
  }

 private:
  // False ends the script.
  bool Step(uint8_t op, std::span<const uint8_t> data) {
    TSwfBits bits(data);
    // With a target path that led nowhere, timeline actions act on nothing.
    if (target_ == 0 && AffectsTarget(op)) {
      if (op == kGotoFrame2) Pop();
      return true;
    }
    switch (op) {
      case kNextFrame:
        host_.NextFrame(target_);
        return true;
      case kPrevFrame:
        host_.PrevFrame(target_);
        return true;
      case kPlay:
        host_.Play(target_);
        return true;
      case kStop:
        host_.Stop(target_);
        return true;
      case kToggleQuality:
        return true;
      case kStopSounds:
        host_.StopSounds();
        return true;
      case kGotoFrame:
        host_.GotoFrame(target_, bits.U16(), false);
        return true;
      case kGotoLabel:
        host_.GotoLabel(target_, bits.String(), false);
        return true;
      case kGotoFrame2: {
        const uint8_t flags = bits.U8();
        const int bias = (flags & 0x02) ? bits.U16() : 0;
        GotoValue(target_, Pop(), flags & 0x01, bias);
        return true;
      }
      case kSetTarget:
        SetTarget(bits.String());
        return true;
      case kSetTarget2: {
        const TActionValue value = Pop();
        if (value.Kind == TActionValue::TKind::Clip)
          target_ = value.Clip;
        else
          SetTarget(ToString(value, version_));
        return true;
      }
      case kWaitForFrame: {
        const int frame = bits.U16();
        const int skip = bits.U8();
        if (!FrameLoaded(frame)) SkipActions(skip);
        return true;
      }
      case kWaitForFrame2: {
        const int skip = bits.U8();
        const TActionValue frame = Pop();
        // A 1-based whole number, counted in 32 bits as the player does; anything else waits
        // for nothing.
        if (frame.Kind == TActionValue::TKind::Number && frame.Number == std::trunc(frame.Number) &&
            !FrameLoaded(int32_t(uint32_t(ToInt32(frame.Number)) - 1u)))
          SkipActions(skip);
        return true;
      }
      case kCall:
        CallFrame(Pop());
        return true;

      case kPush:
        PushValues(bits);
        return true;
      case kConstantPool: {
        pool_.clear();
        const int count = bits.U16();
        for (int i = 0; i < count && !bits.AtEnd(); ++i)
          pool_.push_back(bits.String());
        return true;
      }
      case kPop:
        Pop();
        return true;
      case kPushDuplicate: {
        const TActionValue top = Pop();
        Push(top);
        Push(top);
        return true;
      }
      case kStackSwap: {
        TActionValue a = Pop(), b = Pop();
        Push(std::move(a));
        Push(std::move(b));
        return true;
      }
      case kStoreRegister: {
        const uint8_t index = bits.U8();
        const TActionValue top = Pop();
        if (index < kRegisters) registers_[index] = top;
        Push(top);
        return true;
      }

      case kGetVariable:
        Push(GetVariable(PopString()));
        return true;
      case kSetVariable: {
        TActionValue value = Pop();
        SetVariable(PopString(), std::move(value));
        return true;
      }
      case kDefineLocal: {
        TActionValue value = Pop();
        host_.SetClipVariable(this_, PopString(), std::move(value));
        return true;
      }
      case kDefineLocal2:
        Pop();
        return true;
      case kGetMember: {
        const std::string name = PopString();
        const TActionValue object = Pop();
        Push(object.Kind == TActionValue::TKind::Clip ? Member(object.Clip, name) : TActionValue{});
        return true;
      }
      case kSetMember: {
        TActionValue value = Pop();
        const std::string name = PopString();
        const TActionValue object = Pop();
        if (object.Kind == TActionValue::TKind::Clip && !name.empty() && name[0] != '_')
          host_.SetClipVariable(object.Clip, name, std::move(value));
        return true;
      }
      case kGetProperty: {
        const int index = ClampToInt(PopNumber(), -1, INT_MAX);
        const uint64_t clip = ClipOf(Pop());
        Push(Property(clip, index));
        return true;
      }
      case kSetProperty:
        Pop(), Pop(), Pop();
        return true;
      case kTargetPath: {
        const TActionValue value = Pop();
        Push(value.Kind == TActionValue::TKind::Clip ? TActionValue::Of(value.Text)
                                                     : TActionValue{});
        return true;
      }

      case kCallFunction: {
        const std::string name = PopString();
        std::vector<TActionValue> args = PopArguments();
        if (!CallTimelineMethod(target_, name, args) && SameText(name, "stopAllSounds"))
          host_.StopSounds();
        Push({});
        return true;
      }
      case kCallMethod: {
        const std::string name = PopString();
        const TActionValue object = Pop();
        std::vector<TActionValue> args = PopArguments();
        if (object.Kind == TActionValue::TKind::Clip) CallTimelineMethod(object.Clip, name, args);
        Push({});
        return true;
      }
      case kNewObject:
      case kNewMethod: {
        Pop();
        if (op == kNewMethod) Pop();
        PopArguments();
        Push({});
        return true;
      }
      case kInitArray:
        PopArguments();
        Push({});
        return true;
      case kInitObject: {
        const double pairs = PopNumber();
        for (double i = 0; i < pairs && !stack_.empty(); ++i)
          Pop(), Pop();
        Push({});
        return true;
      }
      case kDefineFunction:
      case kDefineFunction2:
        // Functions are not kept; their bodies, which follow the record, are stepped over.
        SkipFunctionBody(data);
        if (!data.empty() && data[0] == 0) Push({});  // an anonymous function as a value
        return true;
      case kWith:
        Pop();
        return true;
      case kReturn:
        return false;
      case kGetUrl:
        return true;
      case kGetUrl2:
        Pop(), Pop();
        return true;
      case kCloneSprite:
        Pop(), Pop(), Pop();
        return true;
      case kRemoveSprite:
        Pop();
        return true;
      case kStartDrag: {
        Pop(), Pop();
        if (ToBool(Pop(), version_)) Pop(), Pop(), Pop(), Pop();
        return true;
      }
      case kDelete:
        Pop(), Pop();
        Push(TActionValue::Of(false));
        return true;
      case kDelete2:
        Pop();
        Push(TActionValue::Of(false));
        return true;

      case kTrace: {
        const TActionValue value = Pop();
        // trace() writes "undefined" whatever the version.
        host_.Trace(value.Kind == TActionValue::TKind::Undefined ? "undefined"
                                                                 : ToString(value, version_));
        return true;
      }
      case kJump:
        return JumpBy(bits.S16());
      case kIf: {
        const int16_t offset = bits.S16();
        if (ToBool(Pop(), version_)) return JumpBy(offset);
        return true;
      }

      case kAdd:
      case kSubtract:
      case kMultiply:
      case kDivide:
      case kModulo: {
        const double a = PopNumber(), b = PopNumber();
        double r = 0;
        switch (op) {
          case kAdd:
            r = b + a;
            break;
          case kSubtract:
            r = b - a;
            break;
          case kMultiply:
            r = b * a;
            break;
          case kDivide:
            r = b / a;
            break;
          default:
            r = std::fmod(b, a);
            break;
        }
        Push(TActionValue::Of(r));
        return true;
      }
      case kEquals: {
        const double a = PopNumber(), b = PopNumber();
        PushLogical(b == a);
        return true;
      }
      case kLess: {
        const double a = PopNumber(), b = PopNumber();
        PushLogical(b < a);
        return true;
      }
      case kAnd: {
        const bool a = ToBool(Pop(), version_), b = ToBool(Pop(), version_);
        PushLogical(a && b);
        return true;
      }
      case kOr: {
        const bool a = ToBool(Pop(), version_), b = ToBool(Pop(), version_);
        PushLogical(a || b);
        return true;
      }
      case kNot:
        PushLogical(!ToBool(Pop(), version_));
        return true;
      case kStringEquals: {
        const std::string a = PopString(), b = PopString();
        PushLogical(b == a);
        return true;
      }
      case kStringLess:
      case kStringGreater: {
        const std::string a = PopString(), b = PopString();
        PushLogical(op == kStringLess ? b < a : b > a);
        return true;
      }
      case kStringLength:
        Push(TActionValue::Of(double(PopString().size())));
        return true;
      case kStringExtract: {
        const double count = PopNumber(), index = PopNumber();
        const std::string text = PopString();
        const size_t from =
            index >= 1 && index <= double(text.size()) ? size_t(index) - 1 : text.size();
        const size_t length = count >= 0 ? size_t(ClampToInt(count, 0, INT_MAX)) : text.size();
        Push(TActionValue::Of(text.substr(from, length)));
        return true;
      }
      case kStringAdd: {
        const std::string a = PopString(), b = PopString();
        Push(TActionValue::Of(b + a));
        return true;
      }
      case kToInteger:
        Push(TActionValue::Of(std::trunc(PopNumber())));
        return true;
      case kToNumber:
        Push(TActionValue::Of(PopNumber()));
        return true;
      case kToString:
        Push(TActionValue::Of(PopString()));
        return true;
      case kIncrement:
        Push(TActionValue::Of(PopNumber() + 1));
        return true;
      case kDecrement:
        Push(TActionValue::Of(PopNumber() - 1));
        return true;
      case kAdd2: {
        const TActionValue a = Pop(), b = Pop();
        if (IsText(a) || IsText(b))
          Push(TActionValue::Of(ToString(b, version_) + ToString(a, version_)));
        else
          Push(TActionValue::Of(ToNumber(b, version_) + ToNumber(a, version_)));
        return true;
      }
      case kLess2:
      case kGreater: {
        const TActionValue a = Pop(), b = Pop();
        Push(op == kLess2 ? Compare(b, a) : Compare(a, b));
        return true;
      }
      case kEquals2: {
        const TActionValue a = Pop(), b = Pop();
        Push(TActionValue::Of(LooselyEqual(a, b)));
        return true;
      }
      case kStrictEquals: {
        const TActionValue a = Pop(), b = Pop();
        Push(TActionValue::Of(a.Kind == b.Kind && LooselyEqual(a, b)));
        return true;
      }
      case kTypeOf:
        Push(TActionValue::Of(std::string(TypeName(Pop()))));
        return true;
      case kBitAnd:
      case kBitOr:
      case kBitXor:
      case kBitLShift:
      case kBitRShift:
      case kBitURShift: {
        const int32_t a = ToInt32(PopNumber()), b = ToInt32(PopNumber());
        double r = 0;
        switch (op) {
          case kBitAnd:
            r = b & a;
            break;
          case kBitOr:
            r = b | a;
            break;
          case kBitXor:
            r = b ^ a;
            break;
          case kBitLShift:
            r = int32_t(uint32_t(b) << (a & 31));
            break;
          case kBitRShift:
            r = b >> (a & 31);
            break;
          default:
            r = uint32_t(b) >> (a & 31);
            break;
        }
        Push(TActionValue::Of(r));
        return true;
      }
      case kRandomNumber: {
        const double limit = PopNumber();
        runner_.random_ = runner_.random_ * 6364136223846793005ull + 1442695040888963407ull;
        const double unit = double(runner_.random_ >> 11) / 9007199254740992.0;
        Push(TActionValue::Of(
            limit > 0 && std::isfinite(limit) ? std::floor(unit * std::floor(limit)) : 0.0));
        return true;
      }
      case kGetTime:
        Push(TActionValue::Of(std::floor(host_.ElapsedMilliseconds())));
        return true;
      default:
        // Unknown or not needed: stepped over by its length.
        return true;
    }
  }

  static bool AffectsTarget(uint8_t op) {
    switch (op) {
      case kNextFrame:
      case kPrevFrame:
      case kPlay:
      case kStop:
      case kGotoFrame:
      case kGotoLabel:
      case kGotoFrame2:
        return true;
      default:
        return false;
    }
  }

  // Stack ---------------------------------------------------------------------------------

  void Push(TActionValue value) {
    if (stack_.size() < kMaxStack) stack_.push_back(std::move(value));
  }
  TActionValue Pop() {
    if (stack_.empty()) return {};
    TActionValue value = std::move(stack_.back());
    stack_.pop_back();
    return value;
  }
  double PopNumber() { return ToNumber(Pop(), version_); }
  std::string PopString() { return ToString(Pop(), version_); }
  std::vector<TActionValue> PopArguments() {
    const double count = PopNumber();
    std::vector<TActionValue> args;
    for (double i = 0; i < count && !stack_.empty(); ++i)
      args.push_back(Pop());
    return args;
  }
  // Version 4 movies have no booleans: comparisons give 1 and 0.
  void PushLogical(bool value) {
    Push(version_ >= 5 ? TActionValue::Of(value) : TActionValue::Of(value ? 1.0 : 0.0));
  }

  void PushValues(TSwfBits& bits) {
    while (!bits.AtEnd()) {
      switch (bits.U8()) {
        case 0:
          Push(TActionValue::Of(bits.String()));
          break;
        case 1:
          Push(TActionValue::Of(double(bits.Float())));
          break;
        case 2:
          Push(TActionValue::Null());
          break;
        case 3:
          Push({});
          break;
        case 4: {
          const uint8_t index = bits.U8();
          Push(index < kRegisters ? registers_[index] : TActionValue{});
          break;
        }
        case 5:
          Push(TActionValue::Of(bits.U8() != 0));
          break;
        case 6: {
          // The two 32-bit halves of the double come high half first.
          const uint64_t high = bits.U32(), low = bits.U32();
          Push(TActionValue::Of(std::bit_cast<double>(high << 32 | low)));
          break;
        }
        case 7:
          Push(TActionValue::Of(double(bits.S32())));
          break;
        case 8:
          PushConstant(bits.U8());
          break;
        case 9:
          PushConstant(bits.U16());
          break;
        default:
          return;  // an unknown type: its size is unknown too
      }
    }
  }
  void PushConstant(size_t index) {
    Push(index < pool_.size() ? TActionValue::Of(pool_[index]) : TActionValue{});
  }

  // Control flow ----------------------------------------------------------------------------

  // Every frame is in memory before the movie plays, but the player never counts more than
  // 16000 frames as loaded.
  static bool FrameLoaded(int64_t frame) { return frame <= 16000; }

  void SkipActions(int count) {
    for (int i = 0; i < count && pc_ < code_.size(); ++i) {
      const uint8_t op = code_[pc_++];
      if (op >= 0x80) {
        if (code_.size() - pc_ < 2) {
          pc_ = code_.size();
          return;
        }
        const size_t length = code_[pc_] | code_[pc_ + 1] << 8;
        pc_ = std::min(code_.size(), pc_ + 2 + length);
      }
    }
  }

  bool JumpBy(int offset) {
    const int64_t to = int64_t(pc_) + offset;
    if (to < 0 || to > int64_t(code_.size())) return false;
    pc_ = size_t(to);
    return true;
  }

  void SkipFunctionBody(std::span<const uint8_t> data) {
    if (data.size() < 2) return;
    const size_t body = data[data.size() - 2] | data[data.size() - 1] << 8;
    pc_ = std::min(code_.size(), pc_ + body);
  }

  void CallFrame(const TActionValue& frame) {
    uint64_t clip = target_;
    int index = -1;
    std::string text = ToString(frame, version_);
    if (frame.Kind == TActionValue::TKind::Number) {
      index = ClampToInt(frame.Number, 0, INT_MAX) - 1;
    } else {
      const size_t colon = text.rfind(':');
      if (colon != std::string::npos) {
        clip = Resolve(target_, std::string_view(text).substr(0, colon));
        text = text.substr(colon + 1);
      }
      double number = 0;
      if (ParseWholeNumber(text, number))
        index = ClampToInt(number, 0, INT_MAX) - 1;
      else
        index = FindLabelFrame(clip, text);
    }
    if (clip == 0 || index < 0 || runner_.callDepth_ >= kMaxCallDepth) return;
    ++runner_.callDepth_;
    for (const std::span<const uint8_t> code : host_.FrameActions(clip, index))
      TActionExecution(runner_, clip, code).Run();
    --runner_.callDepth_;
  }

  int FindLabelFrame(uint64_t clip, const std::string& label) const {
    return clip == 0 ? -1 : host_.LabelFrame(clip, label);
  }

  // Targets and paths ---------------------------------------------------------------------

  void SetTarget(const std::string& path) { target_ = path.empty() ? this_ : Resolve(this_, path); }

  // Slash paths ("/a/b", "../c") and dot paths ("_root.a.b", "_parent.c") from `base`.
  uint64_t Resolve(uint64_t base, std::string_view path) const {
    if (path.empty()) return base;
    uint64_t clip = base;
    const bool slashes = path.find('/') != std::string_view::npos;
    if (slashes && path[0] == '/') {
      clip = host_.RootClip();
      path.remove_prefix(1);
    }
    const char separator = slashes ? '/' : '.';
    while (clip != 0) {
      const size_t end = path.find(separator);
      const std::string_view part = path.substr(0, end);
      if (part.empty() || part == "this") {
        // stays
      } else if (part == ".." || SameText(part, "_parent")) {
        clip = host_.ParentClip(clip);
      } else if (SameText(part, "_root") || SameText(part, "_level0")) {
        clip = host_.RootClip();
      } else {
        clip = host_.ChildClip(clip, part);
      }
      if (end == std::string_view::npos) break;
      path.remove_prefix(end + 1);
    }
    return clip;
  }

  uint64_t ClipOf(const TActionValue& value) const {
    if (value.Kind == TActionValue::TKind::Clip) return value.Clip;
    return Resolve(target_, ToString(value, version_));
  }

  TActionValue ClipValue(uint64_t clip) const {
    if (clip == 0) return {};
    return TActionValue::OfClip(clip, host_.ClipPath(clip));
  }

  TActionValue Member(uint64_t clip, const std::string& name) const {
    if (clip == 0) return {};
    if (SameText(name, "_parent")) return ClipValue(host_.ParentClip(clip));
    if (SameText(name, "_root") || SameText(name, "_level0")) return ClipValue(host_.RootClip());
    if (!name.empty() && name[0] == '_')
      if (std::optional<TActionValue> property = host_.ClipProperty(clip, name)) return *property;
    if (const TActionValue* variable = host_.ClipVariable(clip, name)) return *variable;
    if (const uint64_t child = host_.ChildClip(clip, name)) return ClipValue(child);
    return {};
  }

  TActionValue Property(uint64_t clip, int index) const {
    if (clip == 0 || index < 0 || size_t(index) >= std::size(kPropertyNames)) return {};
    return host_.ClipProperty(clip, kPropertyNames[index]).value_or(TActionValue{});
  }

  // A variable name may carry a path: "/a/b:v", "_root.a.v", or name a clip itself.
  TActionValue GetVariable(const std::string& name) const {
    if (name == "this") return ClipValue(this_);
    const size_t colon = name.rfind(':');
    if (colon != std::string::npos)
      return Member(Resolve(target_, std::string_view(name).substr(0, colon)),
                    name.substr(colon + 1));
    const size_t separator = name.find_last_of("/.");
    if (separator == std::string::npos) return Member(target_, name);
    if (const uint64_t clip = Resolve(target_, name)) return ClipValue(clip);
    return Member(Resolve(target_, std::string_view(name).substr(0, separator)),
                  name.substr(separator + 1));
  }

  void SetVariable(const std::string& name, TActionValue value) {
    size_t separator = name.rfind(':');
    if (separator == std::string::npos) separator = name.find_last_of("/.");
    if (separator == std::string::npos) {
      if (target_ != 0) host_.SetClipVariable(target_, name, std::move(value));
      return;
    }
    const uint64_t clip = Resolve(target_, std::string_view(name).substr(0, separator));
    if (clip != 0) host_.SetClipVariable(clip, name.substr(separator + 1), std::move(value));
  }

  // Timeline control ----------------------------------------------------------------------

  // A goto by value: numbers are 1-based frames, text is a frame number, a label, or either
  // behind a path ("/clip:5"). Frames before the first and unknown labels change nothing.
  void GotoValue(uint64_t clip, const TActionValue& frame, bool play, int bias) {
    if (clip == 0) return;
    if (frame.Kind == TActionValue::TKind::String) {
      std::string text = frame.Text;
      const size_t colon = text.rfind(':');
      if (colon != std::string::npos) {
        clip = Resolve(clip, std::string_view(text).substr(0, colon));
        text = text.substr(colon + 1);
        if (clip == 0) return;
      }
      double number = 0;
      if (ParseWholeNumber(text, number))
        GotoNumber(clip, number + bias, play);
      else
        host_.GotoLabel(clip, text, play);
      return;
    }
    GotoNumber(clip, std::trunc(ToNumber(frame, version_)) + bias, play);
  }

  void GotoNumber(uint64_t clip, double frame, bool play) {
    if (std::isnan(frame) || frame < 1) return;
    host_.GotoFrame(clip, ClampToInt(frame, 1, INT_MAX) - 1, play);
  }

  // gotoAndPlay() and the rest called as functions or methods of a clip.
  bool CallTimelineMethod(uint64_t clip, const std::string& name,
                          const std::vector<TActionValue>& args) {
    if (clip == 0) return false;
    if (SameText(name, "gotoAndPlay") || SameText(name, "gotoAndStop")) {
      // With two arguments the first names a scene; the frame is the last.
      if (!args.empty()) GotoValue(clip, args.back(), SameText(name, "gotoAndPlay"), 0);
    } else if (SameText(name, "play")) {
      host_.Play(clip);
    } else if (SameText(name, "stop")) {
      host_.Stop(clip);
    } else if (SameText(name, "nextFrame")) {
      host_.NextFrame(clip);
    } else if (SameText(name, "prevFrame")) {
      host_.PrevFrame(clip);
    } else {
      return false;
    }
    return true;
  }

  // Comparisons -----------------------------------------------------------------------------

  static bool IsText(const TActionValue& v) {
    return v.Kind == TActionValue::TKind::String || v.Kind == TActionValue::TKind::Clip;
  }

  // a < b, undefined when either is not a number.
  TActionValue Compare(const TActionValue& a, const TActionValue& b) const {
    if (a.Kind == TActionValue::TKind::String && b.Kind == TActionValue::TKind::String)
      return TActionValue::Of(a.Text < b.Text);
    const double x = ToNumber(a, version_), y = ToNumber(b, version_);
    if (std::isnan(x) || std::isnan(y)) return {};
    return TActionValue::Of(x < y);
  }

  bool LooselyEqual(const TActionValue& a, const TActionValue& b) const {
    using K = TActionValue::TKind;
    const auto nothing = [](const TActionValue& v) {
      return v.Kind == K::Undefined || v.Kind == K::Null;
    };
    if (nothing(a) || nothing(b)) return nothing(a) && nothing(b);
    if (a.Kind == K::Clip || b.Kind == K::Clip) return a.Kind == b.Kind ? a.Clip == b.Clip : false;
    if (a.Kind == K::String && b.Kind == K::String) return a.Text == b.Text;
    return ToNumber(a, version_) == ToNumber(b, version_);
  }

  static std::string_view TypeName(const TActionValue& v) {
    switch (v.Kind) {
      case TActionValue::TKind::Undefined:
        return "undefined";
      case TActionValue::TKind::Null:
        return "null";
      case TActionValue::TKind::Bool:
        return "boolean";
      case TActionValue::TKind::Number:
        return "number";
      case TActionValue::TKind::String:
        return "string";
      case TActionValue::TKind::Clip:
        return "movieclip";
    }
    return "undefined";
  }

  TActionRunner& runner_;
  IActionHost& host_;
  const uint8_t version_;
  const uint64_t this_;
  uint64_t target_;
  std::span<const uint8_t> code_;
  size_t pc_ = 0;
  std::vector<TActionValue> stack_;
  std::vector<std::string> pool_;
  TActionValue registers_[kRegisters];
};

void TActionRunner::Run(uint64_t clip, std::span<const uint8_t> code) {
  if (budget_ <= 0 || clip == 0) return;
  TActionExecution(*this, clip, code).Run();
}

}  // namespace kestrava
