#pragma once

// The wizard's own captions and messages, letter for letter.

namespace kestrava::texts {

inline constexpr char kTitle[] = "Kestrava";
inline constexpr char kNext[] = "   &Next";
inline constexpr char kPreviewPanel[] = "  Preview";
inline constexpr char kNoSoundsForFlash[] = "Flash animations can not set sounds.";
inline constexpr char kMustBuildFirst[] = "You must build the screensaver first!";
inline constexpr char kChooseFolderTitle[] = "Please specify a directory";
inline constexpr char kSelectAll[] = "Select All";
inline constexpr char kSelectNone[] = "Select None";
inline constexpr char kAddItemHint[] = "Add a new item";
inline constexpr char kMaskFileName[] = "mask1.jpg";
inline constexpr char kNoMovie[] = "noswf";
// The Build page's choice of the system the saver is made for, in TSaverTarget order.
inline constexpr char kTargetCaption[] = " Saver Made For ";
inline constexpr char kLinuxTarget[] = "Linux with XScreenSaver";
inline constexpr char kWindowsTarget[] = "Windows";
// How pictures meet the screen.
inline constexpr char kFitCaption[] = " Picture Size ";
inline constexpr char kShrinkOnly[] = "Shrink";
inline constexpr char kFitScreen[] = "Fit";
inline constexpr char kFillScreen[] = "Fill";
inline constexpr char kSmoothCaption[] = "Smooth";
// The labels under the lists: two blanks at start, three for an emptied list; a path shown
// there is followed by blanks.
inline constexpr char kLabelAtStart[] = "  ";
inline constexpr char kLabelEmptied[] = "   ";
inline constexpr char kHoverSourceTail[] = "    ";
inline constexpr char kPathTail[] = "          ";

}  // namespace kestrava::texts
