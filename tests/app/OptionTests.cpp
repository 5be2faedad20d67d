// The Options and Build pages: quit mode, interval, mask and output folder.

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/ClickableImage.h"
#include "app/RadioGroup.h"
#include "app/SpinEdit.h"
#include "project/ProjectFile.h"
#include "tests/app/FormRig.h"
#include "tests/app/TestSuites.h"

namespace kestrava::test {

class OptionTests : public QObject {
  Q_OBJECT

 private slots:
  void optionsPageLayout();
  void buildPageLayout();
  void quitModeFollowsTheGroup();
  void intervalAsTypedIsSaved_data();
  void intervalAsTypedIsSaved();
  void maskPictureAndBox();
  void chooseOutputFolder_data();
  void chooseOutputFolder();
};

void OptionTests::optionsPageLayout() {
  TFormRig rig;
  auto* quitMode = rig.Control<TRadioGroup>("RdoGpQuitMode");
  QCOMPARE(quitMode->geometry(), QRect(8, 8, 193, 201));
  QCOMPARE(quitMode->title(), QString("Quit mode  (Wake up  on)"));
  const QStringList items = {"Mouse move", "Mouse click", "Key press", "Either one of the three",
                             "None (Alt + F4)"};
  QCOMPARE(quitMode->Count(), 5);
  for (int i = 0; i < 5; ++i)
    QCOMPARE(quitMode->Button(i)->text(), items[i]);
  auto* interval = rig.Control<QGroupBox>("grpInterval");
  QCOMPARE(interval->geometry(), QRect(208, 8, 185, 81));
  QCOMPARE(interval->title(), QString(" Interval "));
  QCOMPARE(rig.Control<QLabel>("lblInterval")->text(), QString("Interval between two images:"));
  QCOMPARE(rig.Control<QLabel>("lblInterval")->toolTip(), QString("Interval between two images"));
  QCOMPARE(rig.Control<QLabel>("lblSeconds")->text(), QString("seconds"));
  auto* delay = rig.Control<TSpinEdit>("SpnDelayTime");
  QCOMPARE(delay->geometry(), QRect(16, 39, 49, 22));
  QCOMPARE(delay->Value(), 8);
  QCOMPARE(rig.Control<QCheckBox>("chkMask")->text(), QString(" use mask on pictures"));
  QCOMPARE(rig.Control<QLabel>("imgmask1")->size(), QSize(49, 33));
  QCOMPARE(rig.Control<QGroupBox>("grpMask")->title(), QString(" Image mask "));
  // A new project shrinks larger pictures only, smoothly.
  QCOMPARE(rig.Control<TRadioGroup>("RdoGpFitMode")->ItemIndex(), 0);
  QVERIFY(rig.Control<QCheckBox>("chkSmooth")->isChecked());
}

void OptionTests::buildPageLayout() {
  TFormRig rig;
  QCOMPARE(rig.Control<QLabel>("pnlOutPath")->text(), QString("     Screen Saver OutPut Path:"));
  QCOMPARE(rig.Control<QLabel>("pnlOutName")->text(),
           QString("     Screen Saver OutPut File Name:"));
  auto* path = rig.Control<QLineEdit>("edtOutPath");
  QVERIFY(path->isReadOnly());
  // Chosen through the folder button only, and shown so: no white field inviting typing.
  QCOMPARE(path->palette().color(QPalette::Base), path->palette().color(QPalette::Window));
  QCOMPARE(path->geometry(), QRect(16, 64, 345, 20));
  QCOMPARE(rig.Control<QLineEdit>("edtOutputName")->geometry(), QRect(16, 148, 113, 20));
  QVERIFY(rig.Control<QLineEdit>("edtOutputName")->text().isEmpty());
  auto* type = rig.Control<TRadioGroup>("RdoGpOutType");
  QCOMPARE(type->title(), QString(" Output File Type "));
  QCOMPARE(type->ItemIndex(), 0);
  QCOMPARE(type->Button(0)->text(), QString(".scr"));
  QCOMPARE(type->Button(1)->text(), QString(".exe"));
  auto* target = rig.Control<TRadioGroup>("RdoGpTarget");
  QCOMPARE(target->title(), QString(" Saver Made For "));
  QCOMPARE(target->ItemIndex(), 0);
  QCOMPARE(target->Count(), 2);
  QCOMPARE(target->Button(0)->text(), QString("Linux with XScreenSaver"));
  QCOMPARE(target->Button(1)->text(), QString("Windows"));
  QVERIFY(!target->isHidden());
  // Beside the big buttons, under the name and type, overlapping neither.
  for (const char* other : {"edtOutputName", "RdoGpOutType", "btnPreview"})
    QVERIFY2(!target->geometry().intersects(rig.Control<QWidget>(other)->geometry()), other);
  QVERIFY(target->geometry().bottom() <= rig.Control<QWidget>("btnPreview")->geometry().bottom());
  const struct {
    const char* Name;
    const char* Caption;
    int X;
  } buttons[] = {
      {"btnPreview", "Preview", 223}, {"btnSetup", "Install", 280}, {"scButBuild", "Build", 337}};
  for (const auto& button : buttons) {
    auto* control = rig.Control<QAbstractButton>(button.Name);
    QCOMPARE(control->text(), QString(button.Caption));
    QCOMPARE(control->geometry(), QRect(button.X, 200, 57, 49));
  }
  QVERIFY(rig.Control<QWidget>("btnpre_temp")->isHidden());
  QVERIFY(rig.Control<QWidget>("btnsetup_temp")->isHidden());
}

void OptionTests::quitModeFollowsTheGroup() {
  TFormRig rig;
  auto* quitMode = rig.Control<TRadioGroup>("RdoGpQuitMode");
  for (int item : {1, 4, 0, 3}) {
    quitMode->Button(item)->click();
    QCOMPARE(rig.Form().State().QuitMode, item + 1);
  }
  quitMode->Button(1)->click();
  rig.ChooseFlash();
  QCOMPARE(quitMode->ItemIndex(), 2);
  QCOMPARE(rig.Form().State().QuitMode, 3);
}

void OptionTests::intervalAsTypedIsSaved_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<int>("stored");
  QTest::newRow("negative") << "-3" << -3;
  QTest::newRow("letters") << "abc" << 0;  // refused as typed: the field stays empty
  QTest::newRow("zero") << "0" << 0;
  QTest::newRow("decimal") << "2.5" << 0;
}

void OptionTests::intervalAsTypedIsSaved() {
  QFETCH(QString, typed);
  QFETCH(int, stored);
  TFormRig rig;
  rig.ClickTab(3);
  auto* delay = rig.Control<TSpinEdit>("SpnDelayTime");
  delay->setFocus();
  delay->selectAll();
  QTest::keyClick(delay, Qt::Key_Delete);
  QTest::keyClicks(delay, QString(typed).replace('.', delay->locale().decimalPoint()));
  rig.ClickTab(4);  // leaving the page keeps what was typed
  const QString file = rig.ScratchPath("interval.kvp");
  rig.Dialogs.SaveAnswers.push_back(file);
  rig.Form().SaveProjectAs1Click();
  project::TProjectSettings other;
  other.Interval = 12345;
  QCOMPARE(project::LoadProjectFile(file.toStdString(), other).Interval, stored);
}

void OptionTests::maskPictureAndBox() {
  TFormRig rig;
  rig.ClickTab(3);
  auto* box = rig.Control<QCheckBox>("chkMask");
  auto* panel = rig.Control<QFrame>("pnlmask1");
  auto* picture = rig.Control<TClickableImage>("imgmask1");
  QCOMPARE(panel->frameShape(), QFrame::NoFrame);
  QCOMPARE(panel->size(), QSize(49, 33));

  QTest::mouseClick(picture, Qt::LeftButton);
  QVERIFY(box->isChecked());
  QVERIFY(panel->frameShape() != QFrame::NoFrame);
  QCOMPARE(panel->size(), QSize(49, 33) + 2 * QSize(panel->frameWidth(), panel->frameWidth()));
  QCOMPARE(QString::fromStdString(rig.Form().State().MaskFileName), QString("mask1.jpg"));

  box->click();
  QCOMPARE(panel->frameShape(), QFrame::NoFrame);
  QVERIFY(rig.Form().State().MaskFileName.empty());
  box->click();
  QVERIFY(panel->frameShape() != QFrame::NoFrame);
  QCOMPARE(QString::fromStdString(rig.Form().State().MaskFileName), QString("mask1.jpg"));
  QTest::mouseClick(picture, Qt::LeftButton);  // chosen again: still on
  QVERIFY(box->isChecked());
}

void OptionTests::chooseOutputFolder_data() {
  QTest::addColumn<std::optional<QString>>("answer");
  QTest::addColumn<QString>("shown");  // empty: unchanged
  QTest::newRow("folder") << std::optional<QString>("/srv/savers") << "/srv/savers/";
  QTest::newRow("folder with separator")
      << std::optional<QString>("/srv/savers/") << "/srv/savers/";
  QTest::newRow("root") << std::optional<QString>("/") << "/";
  QTest::newRow("cancelled") << std::optional<QString>() << "";
}

void OptionTests::chooseOutputFolder() {
  QFETCH(std::optional<QString>, answer);
  QFETCH(QString, shown);
  TFormRig rig;
  if (shown.isEmpty()) shown = rig.ProgramDir() + "/";
  rig.Dialogs.FolderAnswers.push_back(answer);
  rig.ClickButton("SpeedButton8");
  QCOMPARE(rig.Dialogs.TakeLog(), QStringList{"folder: Please specify a directory"});
  QCOMPARE(rig.Control<QLineEdit>("edtOutPath")->text(), shown);
  QCOMPARE(QString::fromStdString(rig.Form().State().OutputDir), shown);
}

int RunOptionTests(int argc, char** argv) {
  OptionTests tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace kestrava::test

#include "OptionTests.moc"
