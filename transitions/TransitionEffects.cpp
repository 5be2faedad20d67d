#include "transitions/TransitionEffects.h"

#include <algorithm>
#include <cctype>

#include "raster/MulDiv.h"
#include "transitions/BarEffects.h"
#include "transitions/BlindEffects.h"
#include "transitions/CornerEffects.h"
#include "transitions/CurvedEffects.h"
#include "transitions/DiagonalEffects.h"
#include "transitions/EdgeEffects.h"
#include "transitions/PivotEffects.h"
#include "transitions/PushFadeEffects.h"
#include "transitions/RotationalEffects.h"
#include "transitions/ShredEffects.h"
#include "transitions/SpeckleEffects.h"
#include "transitions/UnrollEffects.h"

namespace kestrava {

void NotYetDrawn(TBitmap&, const TBitmap&, const TRect&, uint16_t, int) {}

namespace {

constexpr std::string_view kCustomName = "Custom";

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

// The names are display text exactly as users have always seen them, misspellings included.
const TEffect EffectTable[kMaxTransitionStyle + 1] = {
    {kCustomName, nullptr},                                                              // 0
    {"Expand from right", ExpandFromRight},                                              // 1
    {"Expand from left", ExpandFromLeft},                                                // 2
    {"Slide in from right", SlideInFromRight},                                           // 3
    {"Slide in from left", SlideInFromLeft},                                             // 4
    {"Reveal from left", RevealFromLeft, RevealFromLeftRegion},                          // 5
    {"Reveal from right", RevealFromRight, RevealFromRightRegion},                       // 6
    {"Expand in from right", ExpandInFromRight},                                         // 7
    {"Expand in from left", ExpandInFromLeft},                                           // 8
    {"Expand in to middle", ExpandInToMiddle},                                           // 9
    {"Expand out from middle", ExpandOutFromMiddle},                                     // 10
    {"Reveal out from middle", RevealOutFromMiddle, RevealOutFromMiddleRegion},          // 11
    {"Reveal in from sides", RevealInFromSides, RevealInFromSidesRegion},                // 12
    {"Expand in from sides", ExpandInFromSides},                                         // 13
    {"Unroll from left", UnrollFromLeft},                                                // 14
    {"Unroll from right", UnrollFromRight},                                              // 15
    {"Build up from right", BuildUpFromRight},                                           // 16
    {"Build up from left", BuildUpFromLeft},                                             // 17
    {"Expand from bottom", ExpandFromBottom},                                            // 18
    {"Expand from top", ExpandFromTop},                                                  // 19
    {"Slide in from bottom", SlideInFromBottom},                                         // 20
    {"Slide in from top", SlideInFromTop},                                               // 21
    {"Reveal from top", RevealFromTop, RevealFromTopRegion},                             // 22
    {"Reveal from bottom", RevealFromBottom, RevealFromBottomRegion},                    // 23
    {"Expand in from bottom", ExpandInFromBottom},                                       // 24
    {"Expand in from top", ExpandInFromTop},                                             // 25
    {"Expand in to middle (horiz)", ExpandInToMiddleHoriz},                              // 26
    {"Expand out from middle (horiz)", ExpandOutFromMiddleHoriz},                        // 27
    {"Reveal from middle (horiz)", RevealFromMiddleHoriz, RevealFromMiddleHorizRegion},  // 28
    {"Slide in from top / bottom", SlideInFromTopBottom, SlideInFromTopBottomRegion},    // 29
    {"Expand in from top / bottom", ExpandInFromTopBottom},                              // 30
    {"Unroll from top", UnrollFromTop},                                                  // 31
    {"Unroll from bottom", UnrollFromBottom},                                            // 32
    {"Expand from bottom", ExpandFromBottomBuildUp},                                     // 33
    {"Expand in from top", ExpandInFromTopBuildUp},                                      // 34
    {"Expand from bottom right", ExpandFromBottomRight},                                 // 35
    {"Expand from top right", ExpandFromTopRight},                                       // 36
    {"Expand from top left", ExpandFromTopLeft},                                         // 37
    {"Expand from bottom left", ExpandFromBottomLeft},                                   // 38
    {"Slide in from bottom right", SlideInFromBottomRight},                              // 39
    {"Slide in from top right", SlideInFromTopRight},                                    // 40
    {"Slide in from top left", SlideInFromTopLeft},                                      // 41
    {"Slide in from bottom left", SlideInFromBottomLeft},                                // 42
    {"Reveal from top left", RevealFromTopLeft, RevealFromTopLeftRegion},                // 43
    {"Reveal from bottom left", RevealFromBottomLeft, RevealFromBottomLeftRegion},       // 44
    {"Reveal from bottom right", RevealFromBottomRight, RevealFromBottomRightRegion},    // 45
    {"Reveal from top right", RevealFromTopRight, RevealFromTopRightRegion},             // 46
    {"Appear and Contract to top left", AppearAndContractToTopLeft},                     // 47
    {"Appear and Contract to bottom left", AppearAndContractToBottomLeft},               // 48
    {"Appear and Contract to bottom right", AppearAndContractToBottomRight},             // 49
    {"Appear and Contract to top right", AppearAndContractToTopRight},                   // 50
    {"Appear and Contract to middle", AppearAndContractToMiddle},                        // 51
    {"Expand out from centre", ExpandOutFromCentre},                                     // 52
    {"Reveal out from centre", RevealOutFromCentre, RevealOutFromCentreRegion},          // 53
    {"Reveal in to centre", RevealInToCentre, RevealInToCentreRegion},                   // 54
    {"Quarters Reveal in to middle", QuartersRevealInToMiddle,
     QuartersRevealInToMiddleRegion},                                                  // 55
    {"Quarters Expand to middle", QuartersExpandToMiddle},                             // 56
    {"Quarters Slide in to middle", QuartersSlideInToMiddle},                          // 57
    {"Curved Reveal from left", CurvedRevealFromLeft, CurvedRevealFromLeftRegion},     // 58
    {"Curved Reveal from right", CurvedRevealFromRight, CurvedRevealFromRightRegion},  // 59
    {"Bars in from right", BarsInFromRight, BarsInFromRightRegion},                    // 60
    {"Bars in from left", BarsInFromLeft, BarsInFromLeftRegion},                       // 61
    {"Bars left then right", BarsLeftThenRight, BarsLeftThenRightRegion},              // 62
    {"Bars right then left", BarsRightThenLeft, BarsRightThenLeftRegion},              // 63
    {"Bars from both sides", BarsFromBothSides, BarsFromBothSidesRegion},              // 64
    {"Uneven shred from right", UnevenShredFromRight, UnevenShredFromRightRegion},     // 65
    {"Uneven shred from left", UnevenShredFromLeft, UnevenShredFromLeftRegion},        // 66
    {"Uneven shred out from middle (horiz)", UnevenShredOutFromMiddleHoriz,
     UnevenShredOutFromMiddleHorizRegion},  // 67
    {"Uneven shred in to middle (horiz)", UnevenShredInToMiddleHoriz,
     UnevenShredInToMiddleHorizRegion},                                                       // 68
    {"Curved Reveal from top", CurvedRevealFromTop, CurvedRevealFromTopRegion},               // 69
    {"Curved Reveal from bottom", CurvedRevealFromBottom, CurvedRevealFromBottomRegion},      // 70
    {"Bars from bottom", BarsFromBottom, BarsFromBottomRegion},                               // 71
    {"Bars from top", BarsFromTop, BarsFromTopRegion},                                        // 72
    {"Bars top then bottom", BarsTopThenBottom, BarsTopThenBottomRegion},                     // 73
    {"Bars bottom then top", BarsBottomThenTop, BarsBottomThenTopRegion},                     // 74
    {"Bars from top and bottom", BarsFromTopAndBottom, BarsFromTopAndBottomRegion},           // 75
    {"Unven shred from bottom", UnevenShredFromBottom, UnevenShredFromBottomRegion},          // 76
    {"Uneven shred from top", UnevenShredFromTop, UnevenShredFromTopRegion},                  // 77
    {"Uneven shred from horizon", UnevenShredFromHorizon, UnevenShredFromHorizonRegion},      // 78
    {"Uneven shred in to horizon", UnevenShredInToHorizon, UnevenShredInToHorizonRegion},     // 79
    {"Curved reveal from top left", CurvedRevealFromTopLeft, CurvedRevealFromTopLeftRegion},  // 80
    {"Curved reveal from top right", CurvedRevealFromTopRight,
     CurvedRevealFromTopRightRegion},  // 81
    {"Curved reveal from bottom left", CurvedRevealFromBottomLeft,
     CurvedRevealFromBottomLeftRegion},  // 82
    {"Curved reveal from bottom right", CurvedRevealFromBottomRight,
     CurvedRevealFromBottomRightRegion},  // 83
    {"Circular reveal from centre", CircularRevealFromCentre,
     CircularRevealFromCentreRegion},                                                     // 84
    {"Circular reveal to centre", CircularRevealToCentre, CircularRevealToCentreRegion},  // 85
    {"Criss Cross reveal from bottom right", CrissCrossRevealFromBottomRight,
     CrissCrossRevealFromBottomRightRegion},  // 86
    {"Criss Cross reveal from top right", CrissCrossRevealFromTopRight,
     CrissCrossRevealFromTopRightRegion},  // 87
    {"Criss Cross reveal from bottom left", CrissCrossRevealFromBottomLeft,
     CrissCrossRevealFromBottomLeftRegion},  // 88
    {"Criss Cross reveal from top left", CrissCrossRevealFromTopLeft,
     CrissCrossRevealFromTopLeftRegion},  // 89
    {"Criss Cross reveal bounce from top left", CrissCrossRevealBounceFromTopLeft,
     CrissCrossRevealBounceFromTopLeftRegion},  // 90
    {"Criss Cross reveal bounce from bottom left", CrissCrossRevealBounceFromBottomLeft,
     CrissCrossRevealBounceFromBottomLeftRegion},  // 91
    {"Criss Cross reveal bounce from top right", CrissCrossRevealBounceFromTopRight,
     CrissCrossRevealBounceFromTopRightRegion},  // 92
    {"Criss Cross reveal bounce from bottom right", CrissCrossRevealBounceFromBottomRight,
     CrissCrossRevealBounceFromBottomRightRegion},  // 93
    {"Criss Cross reveal from right top and bottom", CrissCrossRevealFromRightTopAndBottom,
     CrissCrossRevealFromRightTopAndBottomRegion},  // 94
    {"Criss Cross reveal from left top and bottom", CrissCrossRevealFromLeftTopAndBottom,
     CrissCrossRevealFromLeftTopAndBottomRegion},  // 95
    {"Criss Cross reveal from left right and bottom", CrissCrossRevealFromLeftRightAndBottom,
     CrissCrossRevealFromLeftRightAndBottomRegion},  // 96
    {"Criss Cross reveal from left right and top", CrissCrossRevealFromLeftRightAndTop,
     CrissCrossRevealFromLeftRightAndTopRegion},  // 97
    {"Criss Cross reveal from top left right and bottom", CrissCrossRevealFromTopLeftRightAndBottom,
     CrissCrossRevealFromTopLeftRightAndBottomRegion},  // 98
    {"Criss Cross reveal from bottom left top right", CrissCrossRevealFromBottomLeftTopRight,
     CrissCrossRevealFromBottomLeftTopRightRegion},  // 99
    {"Uneven shred from bottom and right", UnevenShredFromBottomAndRight,
     UnevenShredFromBottomAndRightRegion},  // 100
    {"Uneven shred from top and right", UnevenShredFromTopAndRight,
     UnevenShredFromTopAndRightRegion},  // 101
    {"Uneven shred from bottom and left", UnevenShredFromBottomAndLeft,
     UnevenShredFromBottomAndLeftRegion},  // 102
    {"Uneven shred from top and left", UnevenShredFromTopAndLeft,
     UnevenShredFromTopAndLeftRegion},  // 103
    {"Uneven shred from horiz and right", UnevenShredFromHorizAndRight,
     UnevenShredFromHorizAndRightRegion},  // 104
    {"Uneven shred from horiz and left", UnevenShredFromHorizAndLeft,
     UnevenShredFromHorizAndLeftRegion},  // 105
    {"Uneven shred from bottom and vert middle", UnevenShredFromBottomAndVertMiddle,
     UnevenShredFromBottomAndVertMiddleRegion},  // 106
    {"Uneven shred from top and vert middle", UnevenShredFromTopAndVertMiddle,
     UnevenShredFromTopAndVertMiddleRegion},                                           // 107
    {"Uneven shred from centre", UnevenShredFromCentre, UnevenShredFromCentreRegion},  // 108
    {"Uneven shred to centre", UnevenShredToCentre, UnevenShredToCentreRegion},        // 109
    {"Reveal diagonal from top left", RevealDiagonalFromTopLeft,
     RevealDiagonalFromTopLeftRegion},  // 110
    {"Reveal diagonal from top right", RevealDiagonalFromTopRight,
     RevealDiagonalFromTopRightRegion},  // 111
    {"Reveal diagonal from bottom left", RevealDiagonalFromBottomLeft,
     RevealDiagonalFromBottomLeftRegion},  // 112
    {"Reveal diagonal from bottom right", RevealDiagonalFromBottomRight,
     RevealDiagonalFromBottomRightRegion},  // 113
    {"Diagonal sweep from top left bottom right anticlockwise",
     DiagonalSweepFromTopLeftBottomRightAnticlockwise,
     DiagonalSweepFromTopLeftBottomRightAnticlockwiseRegion},  // 114
    {"Diagonal sweep from top left bottom right clockwise",
     DiagonalSweepFromTopLeftBottomRightClockwise,
     DiagonalSweepFromTopLeftBottomRightClockwiseRegion},  // 115
    {"Starburst clockwise from center", StarburstClockwiseFromCenter,
     StarburstClockwiseFromCenterRegion},  // 116
    {"Triangular shred to top left", TriangularShredToTopLeft,
     TriangularShredToTopLeftRegion},                                                        // 117
    {"Fade", Fade},                                                                          // 118
    {"Pivot from top left", PivotFromTopLeft},                                               // 119
    {"Pivot from bottom left", PivotFromBottomLeft},                                         // 120
    {"Pivot from top right", PivotFromTopRight},                                             // 121
    {"Pivot from bottom right", PivotFromBottomRight},                                       // 122
    {"Speckle appear from right", SpeckleAppearFromRight, SpeckleAppearFromRightRegion},     // 123
    {"Speckle appear from left", SpeckleAppearFromLeft, SpeckleAppearFromLeftRegion},        // 124
    {"Speckle appear from bottom", SpeckleAppearFromBottom, SpeckleAppearFromBottomRegion},  // 125
    {"Speckle appear from top", SpeckleAppearFromTop, SpeckleAppearFromTopRegion},           // 126
    {"Random squares appear", RandomSquaresAppear, RandomSquaresAppearRegion},               // 127
    {"Push right", PushRight},                                                               // 128
    {"Push left", PushLeft},                                                                 // 129
    {"Push and squeeze right", PushAndSqueezeRight},                                         // 130
    {"Push and squeeze left", PushAndSqueezeLeft},                                           // 131
    {"Push down", PushDown},                                                                 // 132
    {"Push up", PushUp},                                                                     // 133
    {"Push and sqeeze down", PushAndSqueezeDown},                                            // 134
    {"Push and sqeeze up", PushAndSqueezeUp},                                                // 135
    {"Blind vertically", BlindVertically, BlindVerticallyRegion},                            // 136
    {"Blind horizontally", BlindHorizontally, BlindHorizontallyRegion},                      // 137
    {"Uneven blind from left", UnevenBlindFromLeft, UnevenBlindFromLeftRegion},              // 138
    {"Uneven blind from right", UnevenBlindFromRight, UnevenBlindFromRightRegion},           // 139
    {"Uneven blind from top", UnevenBlindFromTop, UnevenBlindFromTopRegion},                 // 140
    {"Uneven blind from bottom", UnevenBlindFromBottom, UnevenBlindFromBottomRegion},        // 141
    {"Rectangular shred", RectangularShred, RectangularShredRegion},                         // 142
    {"Sweep clockwise", SweepClockwise, SweepClockwiseRegion},                               // 143
    {"Sweep anticlockwise", SweepAnticlockwise, SweepAnticlockwiseRegion},                   // 144
    {"Rectangles apear from left and disapear to right",
     RectanglesAppearFromLeftAndDisappearToRight,
     RectanglesAppearFromLeftAndDisappearToRightRegion},  // 145
    {"Rectangles apear from right and disapear to left",
     RectanglesAppearFromRightAndDisappearToLeft,
     RectanglesAppearFromRightAndDisappearToLeftRegion},  // 146
    {"Rectangles apear from up and disapear to bottom", RectanglesAppearFromUpAndDisappearToBottom,
     RectanglesAppearFromUpAndDisappearToBottomRegion},  // 147
    {"Rectangles apear from bottom and disapear to up", RectanglesAppearFromBottomAndDisappearToUp,
     RectanglesAppearFromBottomAndDisappearToUpRegion},                        // 148
    {"Rotational rectangle", RotationalRectangle, RotationalRectangleRegion},  // 149
    {"Rotational star", RotationalStar, RotationalStarRegion},                 // 150
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
