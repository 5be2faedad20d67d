#include "app/widgets/TextListBox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QScrollBar>

namespace kestrava {
namespace {

const QString kShort = QStringLiteral("C:/a.jpg");
const QString kMiddle = QStringLiteral("C:/pictures/holiday/beach.jpg");
const QString kLong = QStringLiteral("C:/pictures/holiday/2003/summer/at the seaside/sunset.jpg");

// The widest text plus "x" in the list's font: the range the list must scroll.
int ExpectedExtent(const TTextListBox& list, const QStringList& texts) {
  int widest = 0;
  for (const QString& text : texts)
    widest = std::max(widest, QFontMetrics(list.font()).horizontalAdvance(text + "x"));
  return widest;
}

// The scroll bar follows the extent once the event loop has run.
int ScrollWidth(TTextListBox& list) {
  QApplication::processEvents();
  QScrollBar* bar = list.horizontalScrollBar();
  return bar->maximum() + bar->pageStep();
}

TEST(TextListBoxTest, ExtentFollowsTheWidestEntry) {
  TTextListBox list;
  list.resize(120, 100);
  list.show();
  EXPECT_EQ(list.HorizontalExtent(), 0);

  list.AddItems({kShort, kMiddle});
  EXPECT_EQ(list.HorizontalExtent(), ExpectedExtent(list, {kMiddle}));
  list.AddItems({kLong});
  EXPECT_EQ(list.HorizontalExtent(), ExpectedExtent(list, {kLong}));
  EXPECT_EQ(ScrollWidth(list), list.HorizontalExtent());

  delete list.takeItem(2);  // the widest goes: the range shrinks to the next widest
  EXPECT_EQ(list.HorizontalExtent(), ExpectedExtent(list, {kMiddle}));
  EXPECT_EQ(ScrollWidth(list), list.HorizontalExtent());

  list.item(0)->setText(kLong);  // an entry replaced in place, as reordering does
  EXPECT_EQ(list.HorizontalExtent(), ExpectedExtent(list, {kLong}));

  list.clear();
  EXPECT_EQ(list.HorizontalExtent(), 0);
  EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0);
}

TEST(TextListBoxTest, FontChangeMeasuresAgain) {
  TTextListBox list;
  list.resize(120, 100);
  list.show();
  list.SetItems({kMiddle, kShort});
  const int before = list.HorizontalExtent();
  QFont bigger = list.font();
  bigger.setPointSizeF(bigger.pointSizeF() * 2);
  list.setFont(bigger);
  EXPECT_GT(list.HorizontalExtent(), before);
  EXPECT_EQ(list.HorizontalExtent(), ExpectedExtent(list, {kMiddle}));
  EXPECT_EQ(ScrollWidth(list), list.HorizontalExtent());
}

TEST(TextListBoxTest, ItemsSetItemsAndSelection) {
  TTextListBox list;
  list.AddItems({kShort, kMiddle});
  list.SetItems({kLong, kShort});
  EXPECT_EQ(list.Items(), (QStringList{kLong, kShort}));
  EXPECT_EQ(list.HorizontalExtent(), ExpectedExtent(list, {kLong}));
  EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
  // The form labels the entry under the mouse (itemEntered), which needs tracking.
  EXPECT_TRUE(list.hasMouseTracking());
}

}  // namespace
}  // namespace kestrava
