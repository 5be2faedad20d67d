#include "transitions/TransitionEffects.h"

#include <algorithm>
#include <cctype>

#include "raster/MulDiv.h"
#include "transitions/CornerEffects.h"
#include "transitions/EdgeEffects.h"

namespace kestrava {

namespace {

// The procedure of the styles whose family is not drawn yet: the frame keeps the old image.
void NotYetDrawn(TBitmap&, const TBitmap&, const TRect&, uint16_t, int) {}

constexpr std::string_view kCustomName = "Custom";

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

// The names are display text exactly as users have always seen them, misspellings included.
const TEffect EffectTable[kMaxTransitionStyle + 1] = {
    {kCustomName, nullptr},  // 0
    {"Expand from right", ExpandFromRight},  // 1
    {"Expand from left", ExpandFromLeft},  // 2
    {"Slide in from right", SlideInFromRight},  // 3
    {"Slide in from left", SlideInFromLeft},  // 4
    {"Reveal from left", RevealFromLeft},  // 5
    {"Reveal from right", RevealFromRight},  // 6
    {"Expand in from right", ExpandInFromRight},  // 7
    {"Expand in from left", ExpandInFromLeft},  // 8
    {"Expand in to middle", ExpandInToMiddle},  // 9
    {"Expand out from middle", ExpandOutFromMiddle},  // 10
    {"Reveal out from middle", RevealOutFromMiddle},  // 11
    {"Reveal in from sides", RevealInFromSides},  // 12
    {"Expand in from sides", ExpandInFromSides},  // 13
    {"Unroll from left", NotYetDrawn},  // 14
    {"Unroll from right", NotYetDrawn},  // 15
    {"Build up from right", NotYetDrawn},  // 16
    {"Build up from left", NotYetDrawn},  // 17
    {"Expand from bottom", ExpandFromBottom},  // 18
    {"Expand from top", ExpandFromTop},  // 19
    {"Slide in from bottom", SlideInFromBottom},  // 20
    {"Slide in from top", SlideInFromTop},  // 21
    {"Reveal from top", RevealFromTop},  // 22
    {"Reveal from bottom", RevealFromBottom},  // 23
    {"Expand in from bottom", ExpandInFromBottom},  // 24
    {"Expand in from top", ExpandInFromTop},  // 25
    {"Expand in to middle (horiz)", ExpandInToMiddleHoriz},  // 26
    {"Expand out from middle (horiz)", ExpandOutFromMiddleHoriz},  // 27
    {"Reveal from middle (horiz)", RevealFromMiddleHoriz},  // 28
    {"Slide in from top / bottom", SlideInFromTopBottom},  // 29
    {"Expand in from top / bottom", ExpandInFromTopBottom},  // 30
    {"Unroll from top", NotYetDrawn},  // 31
    {"Unroll from bottom", NotYetDrawn},  // 32
    {"Expand from bottom", NotYetDrawn},  // 33
    {"Expand in from top", NotYetDrawn},  // 34
    {"Expand from bottom right", ExpandFromBottomRight},  // 35
    {"Expand from top right", ExpandFromTopRight},  // 36
    {"Expand from top left", ExpandFromTopLeft},  // 37
    {"Expand from bottom left", ExpandFromBottomLeft},  // 38
    {"Slide in from bottom right", SlideInFromBottomRight},  // 39
    {"Slide in from top right", SlideInFromTopRight},  // 40
    {"Slide in from top left", SlideInFromTopLeft},  // 41
    {"Slide in from bottom left", SlideInFromBottomLeft},  // 42
    {"Reveal from top left", RevealFromTopLeft},  // 43
    {"Reveal from bottom left", RevealFromBottomLeft},  // 44
    {"Reveal from bottom right", RevealFromBottomRight},  // 45
    {"Reveal from top right", RevealFromTopRight},  // 46
    {"Appear and Contract to top left", AppearAndContractToTopLeft},  // 47
    {"Appear and Contract to bottom left", AppearAndContractToBottomLeft},  // 48
    {"Appear and Contract to bottom right", AppearAndContractToBottomRight},  // 49
    {"Appear and Contract to top right", AppearAndContractToTopRight},  // 50
    {"Appear and Contract to middle", AppearAndContractToMiddle},  // 51
    {"Expand out from centre", ExpandOutFromCentre},  // 52
    {"Reveal out from centre", RevealOutFromCentre},  // 53
    {"Reveal in to centre", RevealInToCentre},  // 54
    {"Quarters Reveal in to middle", QuartersRevealInToMiddle},  // 55
    {"Quarters Expand to middle", QuartersExpandToMiddle},  // 56
    {"Quarters Slide in to middle", QuartersSlideInToMiddle},  // 57
    {"Curved Reveal from left", NotYetDrawn},  // 58
    {"Curved Reveal from right", NotYetDrawn},  // 59
    {"Bars in from right", NotYetDrawn},  // 60
    {"Bars in from left", NotYetDrawn},  // 61
    {"Bars left then right", NotYetDrawn},  // 62
    {"Bars right then left", NotYetDrawn},  // 63
    {"Bars from both sides", NotYetDrawn},  // 64
    {"Uneven shred from right", NotYetDrawn},  // 65
    {"Uneven shred from left", NotYetDrawn},  // 66
    {"Uneven shred out from middle (horiz)", NotYetDrawn},  // 67
    {"Uneven shred in to middle (horiz)", NotYetDrawn},  // 68
    {"Curved Reveal from top", NotYetDrawn},  // 69
    {"Curved Reveal from bottom", NotYetDrawn},  // 70
    {"Bars from bottom", NotYetDrawn},  // 71
    {"Bars from top", NotYetDrawn},  // 72
    {"Bars top then bottom", NotYetDrawn},  // 73
    {"Bars bottom then top", NotYetDrawn},  // 74
    {"Bars from top and bottom", NotYetDrawn},  // 75
    {"Unven shred from bottom", NotYetDrawn},  // 76
    {"Uneven shred from top", NotYetDrawn},  // 77
    {"Uneven shred from horizon", NotYetDrawn},  // 78
    {"Uneven shred in to horizon", NotYetDrawn},  // 79
    {"Curved reveal from top left", NotYetDrawn},  // 80
    {"Curved reveal from top right", NotYetDrawn},  // 81
    {"Curved reveal from bottom left", NotYetDrawn},  // 82
    {"Curved reveal from bottom right", NotYetDrawn},  // 83
    {"Circular reveal from centre", NotYetDrawn},  // 84
    {"Circular reveal to centre", NotYetDrawn},  // 85
    {"Criss Cross reveal from bottom right", NotYetDrawn},  // 86
    {"Criss Cross reveal from top right", NotYetDrawn},  // 87
    {"Criss Cross reveal from bottom left", NotYetDrawn},  // 88
    {"Criss Cross reveal from top left", NotYetDrawn},  // 89
    {"Criss Cross reveal bounce from top left", NotYetDrawn},  // 90
    {"Criss Cross reveal bounce from bottom left", NotYetDrawn},  // 91
    {"Criss Cross reveal bounce from top right", NotYetDrawn},  // 92
    {"Criss Cross reveal bounce from bottom right", NotYetDrawn},  // 93
    {"Criss Cross reveal from right top and bottom", NotYetDrawn},  // 94
    {"Criss Cross reveal from left top and bottom", NotYetDrawn},  // 95
    {"Criss Cross reveal from left right and bottom", NotYetDrawn},  // 96
    {"Criss Cross reveal from left right and top", NotYetDrawn},  // 97
    {"Criss Cross reveal from top left right and bottom", NotYetDrawn},  // 98
    {"Criss Cross reveal from bottom left top right", NotYetDrawn},  // 99
    {"Uneven shred from bottom and right", NotYetDrawn},  // 100
    {"Uneven shred from top and right", NotYetDrawn},  // 101
    {"Uneven shred from bottom and left", NotYetDrawn},  // 102
    {"Uneven shred from top and left", NotYetDrawn},  // 103
    {"Uneven shred from horiz and right", NotYetDrawn},  // 104
    {"Uneven shred from horiz and left", NotYetDrawn},  // 105
    {"Uneven shred from bottom and vert middle", NotYetDrawn},  // 106
    {"Uneven shred from top and vert middle", NotYetDrawn},  // 107
    {"Uneven shred from centre", NotYetDrawn},  // 108
    {"Uneven shred to centre", NotYetDrawn},  // 109
    {"Reveal diagonal from top left", NotYetDrawn},  // 110
    {"Reveal diagonal from top right", NotYetDrawn},  // 111
    {"Reveal diagonal from bottom left", NotYetDrawn},  // 112
    {"Reveal diagonal from bottom right", NotYetDrawn},  // 113
    {"Diagonal sweep from top left bottom right anticlockwise", NotYetDrawn},  // 114
    {"Diagonal sweep from top left bottom right clockwise", NotYetDrawn},  // 115
    {"Starburst clockwise from center", NotYetDrawn},  // 116
    {"Triangular shred to top left", NotYetDrawn},  // 117
    {"Fade", NotYetDrawn},  // 118
    {"Pivot from top left", NotYetDrawn},  // 119
    {"Pivot from bottom left", NotYetDrawn},  // 120
    {"Pivot from top right", NotYetDrawn},  // 121
    {"Pivot from bottom right", NotYetDrawn},  // 122
    {"Speckle appear from right", NotYetDrawn},  // 123
    {"Speckle appear from left", NotYetDrawn},  // 124
    {"Speckle appear from bottom", NotYetDrawn},  // 125
    {"Speckle appear from top", NotYetDrawn},  // 126
    {"Random squares appear", NotYetDrawn},  // 127
    {"Push right", NotYetDrawn},  // 128
    {"Push left", NotYetDrawn},  // 129
    {"Push and squeeze right", NotYetDrawn},  // 130
    {"Push and squeeze left", NotYetDrawn},  // 131
    {"Push down", NotYetDrawn},  // 132
    {"Push up", NotYetDrawn},  // 133
    {"Push and sqeeze down", NotYetDrawn},  // 134
    {"Push and sqeeze up", NotYetDrawn},  // 135
    {"Blind vertically", NotYetDrawn},  // 136
    {"Blind horizontally", NotYetDrawn},  // 137
    {"Uneven blind from left", NotYetDrawn},  // 138
    {"Uneven blind from right", NotYetDrawn},  // 139
    {"Uneven blind from top", NotYetDrawn},  // 140
    {"Uneven blind from bottom", NotYetDrawn},  // 141
    {"Rectangular shred", NotYetDrawn},  // 142
    {"Sweep clockwise", NotYetDrawn},  // 143
    {"Sweep anticlockwise", NotYetDrawn},  // 144
    {"Rectangles apear from left and disapear to right", NotYetDrawn},  // 145
    {"Rectangles apear from right and disapear to left", NotYetDrawn},  // 146
    {"Rectangles apear from up and disapear to bottom", NotYetDrawn},  // 147
    {"Rectangles apear from bottom and disapear to up", NotYetDrawn},  // 148
    {"Rotational rectangle", NotYetDrawn},  // 149
    {"Rotational star", NotYetDrawn},  // 150
};

std::string_view StyleNameOf(TTransitionStyle style) {
  return style <= kMaxTransitionStyle ? EffectTable[style].Name : std::string_view();
}

std::optional<TTransitionStyle> StyleFromName(std::string_view name) {
  for (int style = 0; style <= kMaxTransitionStyle; ++style)
    if (SameNameIgnoringCase(name, EffectTable[style].Name)) return TTransitionStyle(style);
  return std::nullopt;
}

TProgressExtents ProgressExtents(const TRect& R, uint16_t Step, int Progress) {
  TProgressExtents e;
  e.W = R.Right - R.Left;
  e.H = R.Bottom - R.Top;
  // Scaled from the larger side (the width on a tie) so that sw : sh keeps the picture's shape.
  if (e.W >= e.H) {
    e.sw = MulDiv(e.W, Progress, 100);
    e.sh = MulDiv(e.sw, e.H, e.W);
    e.u = MulDiv(e.W, Step, 90);
  } else {
    e.sh = MulDiv(e.H, Progress, 100);
    e.sw = MulDiv(e.sh, e.W, e.H);
    e.u = MulDiv(e.H, Step, 90);
  }
  return e;
}

bool IsStyleImplemented(TTransitionStyle style) {
  return style >= 1 && style <= kMaxTransitionStyle && EffectTable[style].Proc != NotYetDrawn;
}

}  // namespace kestrava
