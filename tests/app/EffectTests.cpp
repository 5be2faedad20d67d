// The Effects page: the offered effects, Select All/None and the effect preview.

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/widgets/CheckListBox.h"
#include "app/widgets/TextListBox.h"
#include "app/widgets/TransitionPlayerWidget.h"
#include "tests/app/FormRig.h"
#include "tests/app/TestSuites.h"

namespace kestrava::test {

namespace {

struct TEffectsPage {
  explicit TEffectsPage(TFormRig& rig)
      : Rig(rig),
        List(*rig.Control<TCheckListBox>("lbx_effects")),
        Player(*rig.Control<TTransitionPlayerWidget>("TransitionPlayer1")),
        Sources(*rig.Control<TTextListBox>("lbSourcefiles")) {
    rig.ClickTab(4);
  }
  // The colour in the middle of the picture the player was last given; 0 for none.
  QRgb PreviewedColour() {
    const auto& picture = Player.Player().Picture();
    if (!picture.HasGraphic()) return 0;
    const TBitmap& bitmap = picture.Graphic();
    return QRgb(bitmap.PixelAt(bitmap.Width() / 2, bitmap.Height() / 2) & 0xFFFFFF) | 0xFF000000;
  }
  uint8_t Cursor() const { return Rig.Form().State().PreviewCursor; }
  // Waits for the transition that is running to end, so that the next one can start.
  bool Settle() {
    if (!Player.Player().Busy()) return true;
    QSignalSpy done(&Player, &TTransitionPlayerWidget::TransitionDone);
    return done.wait(10000);
  }

  TFormRig& Rig;
  TCheckListBox& List;
  TTransitionPlayerWidget& Player;
  TTextListBox& Sources;
};

}  // namespace

class EffectTests : public QObject {
  Q_OBJECT

 private slots:
  void listOffers103Effects();
  void previewCyclesThroughTheSources();
  void previewStretchesToThePanel();
  void previewOnlyWhenItCan_data();
  void previewOnlyWhenItCan();
  void failedLoadDoesNotAdvance();
  void shortenedListStartsAgainAtTheTop();
  void clickWhileRunningDoesNotRestart();
  void doubleClickInvertsTheTick();
  void selectAllAndNone();
};

void EffectTests::listOffers103Effects() {
  TFormRig rig;
  TEffectsPage page(rig);
  QCOMPARE(page.List.count(), 103);
  for (int row = 0; row < page.List.count(); ++row) {
    QCOMPARE(page.List.item(row)->text(), QStringLiteral("effect %1").arg(row + 1));
    QVERIFY(!page.List.Checked(row));
  }
  const struct {
    int Entry, Style;
  } known[] = {{1, 1},   {6, 6},   {7, 8},   {8, 10},  {14, 18},
               {20, 28}, {25, 35}, {36, 46}, {37, 52}, {103, 118}};
  for (const auto& entry : known)
    QCOMPARE(page.List.Data(entry.Entry - 1), entry.Style);
  // Each entry's tooltip names what it is in the catalogue.
  QCOMPARE(page.List.item(0)->toolTip(), QStringLiteral("Expand from right (style 1)"));
  QCOMPARE(page.List.item(102)->toolTip(), QStringLiteral("Fade (style 118)"));
}

void EffectTests::previewCyclesThroughTheSources() {
  TFormRig rig;
  TEffectsPage page(rig);
  const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
  rig.AddSources({rig.Picture("r.bmp", colours[0]), rig.Picture("g.bmp", colours[1]),
                  rig.Picture("b.bmp", colours[2])});
  for (int click = 0; click < 4; ++click) {
    QVERIFY(page.Settle());
    rig.ClickEntry(page.List, click + 5);
    QCOMPARE(page.PreviewedColour(), colours[click % 3]);
    QCOMPARE(int(page.Cursor()), (click + 1) % 3);
    QCOMPARE(int(page.Player.Player().Style()), page.List.Data(click + 5));
    QVERIFY(page.Player.Player().Stretch());
  }
}

void EffectTests::previewStretchesToThePanel() {
  TFormRig rig;
  TEffectsPage page(rig);
  rig.AddSources({rig.Picture("wide.bmp", Qt::red, {300, 10})});
  rig.ClickEntry(page.List, 0);
  const auto& picture = page.Player.Player().Picture();
  QVERIFY(picture.HasGraphic());
  const QSize panel = rig.Control<QWidget>("pnl_effectpre")->contentsRect().size();
  QCOMPARE(QSize(picture.Width(), picture.Height()), panel);
  QCOMPARE(page.Player.size(), panel);
}

void EffectTests::previewOnlyWhenItCan_data() {
  QTest::addColumn<QString>("situation");
  QTest::newRow("no sources") << "empty";
  QTest::newRow("preview box unticked") << "unticked";
  QTest::newRow("Flash kind") << "flash";
}

void EffectTests::previewOnlyWhenItCan() {
  QFETCH(QString, situation);
  TFormRig rig;
  TEffectsPage page(rig);
  if (situation != "empty") rig.AddSources({rig.Picture("p.bmp", Qt::red)});
  if (situation == "unticked") rig.Control<QCheckBox>("scchkPreviewEffect")->click();
  if (situation == "flash") rig.ChooseFlash();
  rig.Dialogs.TakeLog();
  rig.ClickEntry(page.List, 3);
  QVERIFY(!page.Player.Player().Picture().HasGraphic());
  QVERIFY(!page.Player.Player().Busy());
  QCOMPARE(int(page.Cursor()), 0);
  QVERIFY(rig.Dialogs.Log.isEmpty());
}

void EffectTests::failedLoadDoesNotAdvance() {
  TFormRig rig;
  TEffectsPage page(rig);
  rig.AddSources({rig.Picture("ok.bmp", Qt::red), rig.File("bad.jpg", "not a jpeg"),
                  rig.Picture("ok2.bmp", Qt::blue)});
  rig.ClickEntry(page.List, 0);
  QCOMPARE(int(page.Cursor()), 1);
  rig.Dialogs.TakeLog();
  for (int click = 0; click < 2; ++click) {
    QVERIFY(page.Settle());
    rig.ClickEntry(page.List, 1);
    QCOMPARE(int(page.Cursor()), 1);  // the same source is tried again
    QCOMPARE(page.PreviewedColour(), qRgb(255, 0, 0));
  }
  const QStringList log = rig.Dialogs.TakeLog();
  QCOMPARE(log.size(), 2);
  QVERIFY(log[0].startsWith("error: "));
}

void EffectTests::shortenedListStartsAgainAtTheTop() {
  TFormRig rig;
  TEffectsPage page(rig);
  rig.AddSources({rig.Picture("r.bmp", Qt::red), rig.Picture("g.bmp", Qt::green),
                  rig.Picture("b.bmp", Qt::blue)});
  rig.ClickEntry(page.List, 0);
  QVERIFY(page.Settle());
  rig.ClickEntry(page.List, 1);
  QCOMPARE(int(page.Cursor()), 2);
  // Down to one source: the cursor points past the end.
  rig.Form().SelectFiles1_oldClick();
  for (int removed = 0; removed < 2; ++removed) {
    page.Sources.setCurrentRow(page.Sources.count() - 1);
    rig.ClickButton("scButton2");
  }
  QCOMPARE(page.Sources.count(), 1);
  rig.ClickTab(4);
  QVERIFY(page.Settle());
  rig.ClickEntry(page.List, 2);
  QCOMPARE(page.PreviewedColour(), qRgb(255, 0, 0));
  QCOMPARE(int(page.Cursor()), 0);
}

void EffectTests::clickWhileRunningDoesNotRestart() {
  TFormRig rig;
  TEffectsPage page(rig);
  rig.AddSources({rig.Picture("r.bmp", Qt::red), rig.Picture("g.bmp", Qt::green)});
  QSignalSpy done(&page.Player, &TTransitionPlayerWidget::TransitionDone);
  rig.ClickEntry(page.List, 0);
  QVERIFY(page.Player.Player().Busy());
  rig.ClickEntry(page.List, 9);
  // The picture and style change, the running transition goes on, and the cursor advances.
  QCOMPARE(page.PreviewedColour(), qRgb(0, 255, 0));
  QCOMPARE(int(page.Player.Player().Style()), page.List.Data(9));
  QCOMPARE(int(page.Cursor()), 0);
  QVERIFY(done.wait(10000));
  QCOMPARE(done.count(), 1);
  QVERIFY(!page.Player.Player().Busy());
}

void EffectTests::doubleClickInvertsTheTick() {
  TFormRig rig;
  TEffectsPage page(rig);
  rig.AddSources({rig.Picture("r.bmp", Qt::red), rig.Picture("g.bmp", Qt::green)});
  TFormRig::DoubleClick(page.List, 4);
  QVERIFY(page.List.Checked(4));
  QCOMPARE(int(page.Cursor()), 1);  // previewed once
  QVERIFY(page.Settle());
  TFormRig::DoubleClick(page.List, 4);
  QVERIFY(!page.List.Checked(4));
}

void EffectTests::selectAllAndNone() {
  TFormRig rig;
  TEffectsPage page(rig);
  auto* button = rig.Control<QPushButton>("btnSelectEffects");
  QCOMPARE(button->text(), QString("Select All"));
  QVERIFY(button->isFlat());
  QVERIFY(!button->isChecked());
  const auto ticked = [&] { return int(page.List.CheckedData().size()); };
  button->click();
  QCOMPARE(button->text(), QString("Select None"));
  QCOMPARE(ticked(), 103);
  page.List.SetChecked(0, false);
  page.List.SetChecked(1, false);
  button->click();
  QCOMPARE(button->text(), QString("Select All"));
  QCOMPARE(ticked(), 0);
  page.List.SetChecked(7, true);
  button->click();
  QCOMPARE(ticked(), 103);
}

int RunEffectTests(int argc, char** argv) {
  EffectTests tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace kestrava::test

#include "EffectTests.moc"
