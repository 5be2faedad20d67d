// The wizard's own small controls: the radio group, the interval field, the list click, the
// right-button filter and the dialogs' type lists.

#include <climits>

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QTest>

#include "app/AppMessageFilter.h"
#include "app/ListClickRelay.h"
#include "app/PicturePreviewPane.h"
#include "app/RadioGroup.h"
#include "app/SpinEdit.h"
#include "app/WizardDialogs.h"
#include "app/widgets/FlashPreview.h"
#include "tests/app/TestSuites.h"

namespace kestrava::test {

class ControlTests : public QObject {
  Q_OBJECT

 private slots:
  void radioGroupClampsAndClicksOnlyOnChange();
  void radioGroupUserClick();
  void spinEditReadsWholeNumbers_data();
  void spinEditReadsWholeNumbers();
  void spinEditRefusesOtherCharacters();
  void spinEditArrowsStepWithoutBounds();
  void listClickFromMouseKeyboardAndCode();
  void filterSwallowsOnlyRightPressesOnTheMoviePreview();
  void nameFiltersInQtForm();
  void previewPaneShowsEveryPictureKind_data();
  void previewPaneShowsEveryPictureKind();
};

void ControlTests::radioGroupClampsAndClicksOnlyOnChange() {
  TRadioGroup group("g", {"a", "b", "c"}, 1);
  QSignalSpy clicks(&group, &TRadioGroup::Click);
  QCOMPARE(group.ItemIndex(), -1);
  const struct {
    int Set, Index, Clicks;
  } steps[] = {{1, 1, 1}, {1, 1, 1}, {9, 2, 2}, {-5, -1, 2}, {-1, -1, 2}, {0, 0, 3}};
  for (const auto& step : steps) {
    group.SetItemIndex(step.Set);
    QCOMPARE(group.ItemIndex(), step.Index);
    QCOMPARE(clicks.count(), step.Clicks);
    for (int i = 0; i < group.Count(); ++i)
      QCOMPARE(group.Button(i)->isChecked(), i == step.Index);
  }
}

void ControlTests::radioGroupUserClick() {
  TRadioGroup group("g", {"a", "b"}, 2);
  group.SetItemIndex(0);
  QSignalSpy clicks(&group, &TRadioGroup::Click);
  group.Button(0)->click();  // already selected
  QCOMPARE(clicks.count(), 0);
  group.Button(1)->click();
  QCOMPARE(clicks.count(), 1);
  QCOMPARE(group.ItemIndex(), 1);
}

void ControlTests::spinEditReadsWholeNumbers_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("value");
  QTest::newRow("plain") << "8" << 8;
  QTest::newRow("negative") << "-3" << -3;
  QTest::newRow("plus sign") << "+12" << 12;
  QTest::newRow("letters") << "abc" << 0;
  QTest::newRow("empty") << "" << 0;
  QTest::newRow("decimal") << "1.5" << 0;
  QTest::newRow("two signs") << "--3" << 0;
  QTest::newRow("largest") << "2147483647" << INT_MAX;
  QTest::newRow("too large") << "2147483648" << 0;
}

void ControlTests::spinEditReadsWholeNumbers() {
  QFETCH(QString, text);
  QFETCH(int, value);
  QCOMPARE(TSpinEdit::ValueOfText(text), value);
}

void ControlTests::spinEditRefusesOtherCharacters() {
  TSpinEdit edit;
  edit.show();
  edit.setFocus();
  edit.selectAll();
  QTest::keyClicks(&edit, "-3a b");
  QCOMPARE(edit.text(), QString("-3"));
  QCOMPARE(edit.Value(), -3);
  edit.selectAll();
  QTest::keyClicks(&edit, QString("1") + edit.locale().decimalPoint() + "5");
  QCOMPARE(edit.text(), QString("1") + edit.locale().decimalPoint() + "5");
  QCOMPARE(edit.Value(), 0);
  // Leaving the field keeps what was typed.
  QWidget other;
  other.show();
  other.setFocus();
  QCOMPARE(edit.text(), QString("1") + edit.locale().decimalPoint() + "5");
}

void ControlTests::spinEditArrowsStepWithoutBounds() {
  TSpinEdit edit;
  edit.SetValue(0);
  edit.stepDown();
  edit.stepDown();
  QCOMPARE(edit.Value(), -2);
  edit.SetValue(INT_MAX - 1);
  edit.stepBy(5);
  QCOMPARE(edit.Value(), INT_MAX);
  edit.findChild<QLineEdit*>()->setText("+-");  // no number: reads as 0
  edit.stepUp();
  QCOMPARE(edit.Value(), 1);
}

void ControlTests::listClickFromMouseKeyboardAndCode() {
  QListWidget list;
  list.addItems({"a", "b", "c"});
  list.show();
  QVERIFY(QTest::qWaitForWindowExposed(&list));
  auto* relay = new TListClickRelay(list);
  QSignalSpy clicks(relay, &TListClickRelay::Clicked);
  const auto centre = [&](int row) { return list.visualItemRect(list.item(row)).center(); };

  // Focus alone makes the first entry current, unselected: not a click.
  list.activateWindow();
  list.setFocus();
  QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
  QApplication::sendEvent(&list, &focusIn);
  QCOMPARE(list.currentRow(), 0);
  QCOMPARE(clicks.count(), 0);

  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centre(1));
  QCOMPARE(clicks.count(), 1);  // a new entry: one click, not one more for the change
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centre(1));
  QCOMPARE(clicks.count(), 2);  // the same entry again
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centre(0));
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, centre(0));
  QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, centre(0));
  QCOMPARE(clicks.count(), 3);  // a double click is one click
  list.setFocus();
  QTest::keyClick(&list, Qt::Key_Down);
  QCOMPARE(list.currentRow(), 1);
  QCOMPARE(clicks.count(), 4);
  {
    const QSignalBlocker quiet(&list);
    list.setCurrentRow(2);
  }
  QCOMPARE(clicks.count(), 4);
}

void ControlTests::filterSwallowsOnlyRightPressesOnTheMoviePreview() {
  QWidget window;
  auto* movie = new TFlashPreview(&window);
  movie->setGeometry(0, 0, 50, 50);
  auto* other = new TFlashPreview(&window);
  other->setGeometry(60, 0, 50, 50);
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  AppMessageFilter filter(*movie);
  qApp->installEventFilter(&filter);
  QSignalSpy moviePresses(movie, &TFlashPreview::MousePressed);
  QSignalSpy otherPresses(other, &TFlashPreview::MousePressed);

  QTest::mousePress(movie, Qt::RightButton, {}, {10, 10});
  QTest::mouseRelease(movie, Qt::RightButton, {}, {10, 10});
  QTest::mousePress(movie, Qt::LeftButton, {}, {10, 10});
  QTest::mouseRelease(movie, Qt::LeftButton, {}, {10, 10});
  QTest::mousePress(other, Qt::RightButton, {}, {10, 10});
  QTest::mouseRelease(other, Qt::RightButton, {}, {10, 10});
  qApp->removeEventFilter(&filter);

  QCOMPARE(moviePresses.count(), 1);
  QCOMPARE(moviePresses.front().front().value<Qt::MouseButton>(), Qt::LeftButton);
  QCOMPARE(otherPresses.count(), 1);
  QCOMPARE(otherPresses.front().front().value<Qt::MouseButton>(), Qt::RightButton);
}

void ControlTests::nameFiltersInQtForm() {
  QCOMPARE(TQtWizardDialogs::NameFilters(
               {{"Picture Files (JPEG)", {"*.jpeg", "*.jpg"}}, {"Picture Files (BMP)", {"*.bmp"}}}),
           QString("Picture Files (JPEG) (*.jpeg *.jpg);;Picture Files (BMP) (*.bmp)"));
  QCOMPARE(TQtWizardDialogs::NameFilters({{"*.kvp", {"*.kvp"}}}), QString("*.kvp"));
}

// The dialog's pane shows the kinds Qt itself may not read here (WebP, HEIC) through Kestrava's
// readers; what no reader takes shows nothing.
void ControlTests::previewPaneShowsEveryPictureKind_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<bool>("shown");
  const QString prepare = QStringLiteral(KESTRAVA_TEST_DATA_DIR "/prepare/");
  QTest::newRow("PNG") << prepare + "picture.png" << true;
  QTest::newRow("WebP") << prepare + "picture.webp" << true;
  QTest::newRow("HEIC") << prepare + "halves.heic" << true;
  QTest::newRow("no picture") << prepare + "README.md" << false;
}

void ControlTests::previewPaneShowsEveryPictureKind() {
  QFETCH(QString, file);
  QFETCH(bool, shown);
  TPicturePreviewPane pane;
  pane.ShowFile(file);
  QCOMPARE(!pane.pixmap().isNull(), shown);
}

int RunControlTests(int argc, char** argv) {
  ControlTests tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace kestrava::test

#include "ControlTests.moc"
