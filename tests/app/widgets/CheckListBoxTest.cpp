#include "app/widgets/CheckListBox.h"

#include <gtest/gtest.h>

#include <vector>

#include <QSignalSpy>
#include <QTest>

namespace kestrava {
namespace {

class CheckListBoxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < 5; ++i)
      list.AddEntry(QStringLiteral("effect %1").arg(i + 1), 100 + i * 7);
  }
  TCheckListBox list;
};

TEST_F(CheckListBoxTest, EntriesCarryTheirNumbersAndStartUnticked) {
  ASSERT_EQ(list.count(), 5);
  for (int row = 0; row < 5; ++row) {
    EXPECT_EQ(list.Data(row), 100 + row * 7);
    EXPECT_FALSE(list.Checked(row));
    EXPECT_TRUE(list.item(row)->flags() & Qt::ItemIsUserCheckable);
  }
  EXPECT_EQ(list.item(3)->text(), "effect 4");
  EXPECT_TRUE(list.CheckedData().empty());
  // Rows outside the list read as nothing.
  EXPECT_EQ(list.Data(5), 0);
  EXPECT_FALSE(list.Checked(-1));
}

TEST_F(CheckListBoxTest, CheckedDataInListOrderAndToggleSignals) {
  QSignalSpy toggled(&list, &TCheckListBox::CheckToggled);
  list.SetChecked(3, true);
  list.SetChecked(0, true);
  list.SetChecked(0, true);  // no change, no signal
  EXPECT_EQ(list.CheckedData(), (std::vector<int>{100, 121}));
  list.item(1)->setText("renamed");  // not a tick
  list.SetChecked(3, false);
  EXPECT_EQ(list.CheckedData(), (std::vector<int>{100}));
  ASSERT_EQ(toggled.count(), 3);
  EXPECT_EQ(toggled[0][0].toInt(), 3);
  EXPECT_EQ(toggled[1][0].toInt(), 0);
  EXPECT_EQ(toggled[2][0].toInt(), 3);
}

TEST_F(CheckListBoxTest, SpaceBarAndCheckBoxClickToggle) {
  list.resize(200, 150);
  list.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
  QSignalSpy toggled(&list, &TCheckListBox::CheckToggled);

  list.setCurrentRow(2);
  QTest::keyClick(list.viewport(), Qt::Key_Space);
  EXPECT_TRUE(list.Checked(2));
  QTest::keyClick(list.viewport(), Qt::Key_Space);
  EXPECT_FALSE(list.Checked(2));

  // The check box stands at the left of the entry.
  const QRect entry = list.visualItemRect(list.item(4));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                    QPoint(entry.left() + entry.height() / 2, entry.center().y()));
  EXPECT_TRUE(list.Checked(4));
  // A click on the text selects without ticking.
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                    QPoint(entry.right() - 10, entry.center().y()));
  EXPECT_TRUE(list.Checked(4));
  EXPECT_EQ(list.currentRow(), 4);

  ASSERT_EQ(toggled.count(), 3);
  EXPECT_EQ(toggled[2][0].toInt(), 4);
}

}  // namespace
}  // namespace kestrava
