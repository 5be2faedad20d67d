// The window, its menus and pages, the kind switch, the about box and the help.

#include <QAction>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include "app/RadioGroup.h"
#include "app/widgets/FlashPreview.h"
#include "project/ProjectFile.h"
#include "project/ProjectLocation.h"
#include "tests/app/FormRig.h"
#include "tests/app/TestSuites.h"

namespace kestrava::test {

namespace {

// The View items in page order, with the check marks as a string of 0s and 1s.
QString ViewChecks(TFormRig& rig) {
  QString checks;
  for (const char* name : {"SaverType1_old", "SelectFiles1_old", "Souns1_old", "Options1_old",
                           "Effects1_old", "Build1_old"})
    checks += rig.Control<QAction>(name)->isChecked() ? '1' : '0';
  return checks;
}

}  // namespace

class ShellTests : public QObject {
  Q_OBJECT

 private slots:
  void startUpState();
  void startUpWritesTheBaselineProject();
  void layoutAndCaptions();
  void menus_data();
  void menus();
  void kindSwitchBothWays();
  void kindClickOnCheckedButtonRaisesNothing();
  void pagesFromNextViewAndTabs_data();
  void pagesFromNextViewAndTabs();
  void soundsRefusedForFlash_data();
  void soundsRefusedForFlash();
  void leavingSoundsStopsTheMusic();
  void f5BuildsFromEveryPage_data();
  void f5BuildsFromEveryPage();
  void aboutBox();
  void helpOpensTheManual();
  void rightPressesNeverReachTheMoviePreview();
};

void ShellTests::startUpState() {
  TFormRig rig;
  TSaverForm& form = rig.Form();
  QCOMPARE(form.ActivePage(), 0);
  QVERIFY(rig.Control<QRadioButton>("scRdoPicType")->isChecked());
  QVERIFY(!rig.Control<QRadioButton>("scRdoFlaType")->isChecked());
  QCOMPARE(form.State().SaverKind, 0);
  QCOMPARE(form.State().QuitMode, 1);
  QCOMPARE(rig.Control<TRadioGroup>("RdoGpQuitMode")->ItemIndex(), 0);
  QCOMPARE(QString::fromStdString(form.State().OutputDir), rig.ProgramDir() + "/");
  QCOMPARE(rig.Control<QLineEdit>("edtOutPath")->text(), rig.ProgramDir() + "/");
  QVERIFY(form.State().MaskFileName.empty());
  QVERIFY(form.State().BuiltSaverPath.empty());
  QVERIFY(!form.State().SaverBuilt);
  QCOMPARE(form.State().PreviewCursor, 0);
  QCOMPARE(ViewChecks(rig), QString("100000"));
  QCOMPARE(rig.Control<QLabel>("lblfullname")->text(), QString("  "));
  QCOMPARE(rig.Control<QLabel>("lblfullnamemusic")->text(), QString("  "));
  QVERIFY(rig.Dialogs.Log.isEmpty());
}

void ShellTests::startUpWritesTheBaselineProject() {
  const auto temp = project::ResolveProjectFile("temp.kvp");
  std::filesystem::remove(temp);
  TFormRig rig;
  QCOMPARE(QString::fromStdString(rig.Form().ProjectFileName()), QString("temp.kvp"));
  QVERIFY(std::filesystem::exists(temp));
  project::TProjectSettings other;
  other.Kind = project::TSaverKind::Flash;
  other.Interval = 99;
  other.OutPath = "elsewhere";
  const project::TProjectSettings stored = project::LoadProjectFile(temp, other);
  QVERIFY(stored == project::StartupSettings(rig.ProgramDir().toStdString() + "/"));
}

void ShellTests::layoutAndCaptions() {
  TFormRig rig;
  QCOMPARE(rig.Form().windowTitle(), QString("Kestrava"));
  QCOMPARE(rig.Form().size(), QSize(448, 338));
  auto* pages = rig.Control<QTabWidget>("scPageWiz");
  QCOMPARE(pages->geometry(), QRect(16, 40, 417, 281));
  const QStringList tabs = {"Saver Type", "Select Files", "Sounds", "Options", "Effects", "Build"};
  const char* pageNames[] = {"tab_type",    "tab_sourcefiles", "tab_sounds",
                             "tab_options", "tab_effects",     "tab_build"};
  QCOMPARE(pages->count(), 6);
  for (int i = 0; i < pages->count(); ++i) {
    QCOMPARE(pages->tabText(i), tabs[i]);
    QCOMPARE(pages->widget(i)->objectName(), QString(pageNames[i]));
    const auto nexts =
        pages->widget(i)->findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
    int found = 0;
    for (QPushButton* button : nexts) {
      if (button->text() != "   &Next") continue;
      ++found;
      QCOMPARE(button->geometry(), QRect(314, 216, 81, 25));
      QVERIFY(button->isFlat());
    }
    QCOMPARE(found, i == 5 ? 0 : 1);
  }
  QCOMPARE(rig.Control<QRadioButton>("scRdoPicType")->text(),
           QString("Images slide show (.jpg, .bmp, .gif)"));
  QCOMPARE(rig.Control<QRadioButton>("scRdoFlaType")->text(), QString("Flash animations (.swf)"));
  QVERIFY(rig.Control<QLabel>("lblSaverType")->text() ==
          "Please select which type of Screen Saver you want to build:");
}

void ShellTests::menus_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("caption");
  QTest::addColumn<QKeySequence>("shortcut");
  QTest::newRow("load") << "LoadProject1"
                        << "&Load Project" << QKeySequence("Ctrl+O");
  QTest::newRow("save") << "SaveProject1"
                        << "&Save Project" << QKeySequence("Ctrl+S");
  QTest::newRow("save as") << "SaveProjectAs1"
                           << "Save Project &As" << QKeySequence();
  QTest::newRow("build") << "BuildProject1"
                         << "&Build Project" << QKeySequence("F5");
  QTest::newRow("type") << "SaverType1_old"
                        << "Saver &Type" << QKeySequence();
  QTest::newRow("files") << "SelectFiles1_old"
                         << "Select &Files" << QKeySequence();
  QTest::newRow("sounds") << "Souns1_old"
                          << "&Sounds" << QKeySequence();
  QTest::newRow("options") << "Options1_old"
                           << "&Options" << QKeySequence();
  QTest::newRow("effects") << "Effects1_old"
                           << "&Effects" << QKeySequence();
  QTest::newRow("build page") << "Build1_old"
                              << "&Build" << QKeySequence();
  QTest::newRow("about") << "About1_old"
                         << "&About" << QKeySequence();
  QTest::newRow("help") << "Help2_old"
                        << "&Help" << QKeySequence();
}

void ShellTests::menus() {
  QFETCH(QString, name);
  QFETCH(QString, caption);
  QFETCH(QKeySequence, shortcut);
  TFormRig rig;
  auto* action = rig.Control<QAction>(name.toUtf8().constData());
  QCOMPARE(action->text(), caption);
  QCOMPARE(action->shortcut(), shortcut);
}

void ShellTests::kindSwitchBothWays() {
  TFormRig rig;
  auto* quitMode = rig.Control<TRadioGroup>("RdoGpQuitMode");
  auto* interval = rig.Control<QGroupBox>("grpInterval");
  auto* addMusic = rig.Control<QPushButton>("scButton5");
  quitMode->Button(1)->click();
  QCOMPARE(rig.Form().State().QuitMode, 2);

  rig.ChooseFlash();
  QCOMPARE(rig.Form().State().SaverKind, 1);
  QCOMPARE(quitMode->ItemIndex(), 2);
  QCOMPARE(rig.Form().State().QuitMode, 3);
  QVERIFY(interval->isHidden());
  QVERIFY(!addMusic->isEnabled());

  rig.ChoosePictures();
  QCOMPARE(rig.Form().State().SaverKind, 0);
  QCOMPARE(quitMode->ItemIndex(), 0);
  QCOMPARE(rig.Form().State().QuitMode, 1);
  QVERIFY(!interval->isHidden());
  QVERIFY(addMusic->isEnabled());
}

void ShellTests::kindClickOnCheckedButtonRaisesNothing() {
  TFormRig rig;
  auto* quitMode = rig.Control<TRadioGroup>("RdoGpQuitMode");
  quitMode->Button(3)->click();
  rig.ChoosePictures();  // already chosen: the quit mode stays
  QCOMPARE(quitMode->ItemIndex(), 3);
  QCOMPARE(rig.Form().State().QuitMode, 4);
}

void ShellTests::pagesFromNextViewAndTabs_data() {
  QTest::addColumn<QString>("way");
  QTest::addColumn<int>("from");
  QTest::addColumn<int>("to");
  const char* views[] = {"SaverType1_old", "SelectFiles1_old", "Souns1_old",
                         "Options1_old",   "Effects1_old",     "Build1_old"};
  for (int page = 0; page < 5; ++page)
    QTest::addRow("next on %d", page) << "next" << page << page + 1;
  for (int page = 0; page < 6; ++page) {
    QTest::addRow("view %s", views[page]) << QString(views[page]) << 5 - page << page;
    QTest::addRow("tab %d", page) << "tab" << (page + 2) % 6 << page;
  }
}

void ShellTests::pagesFromNextViewAndTabs() {
  QFETCH(QString, way);
  QFETCH(int, from);
  QFETCH(int, to);
  TFormRig rig;
  auto* pages = rig.Control<QTabWidget>("scPageWiz");
  pages->setCurrentIndex(from);
  if (way == "next") {
    for (QPushButton* button : pages->widget(from)->findChildren<QPushButton*>())
      if (button->text() == "   &Next") button->click();
  } else if (way == "tab") {
    rig.ClickTab(to);
  } else {
    rig.Control<QAction>(way.toUtf8().constData())->trigger();
  }
  QCOMPARE(rig.Form().ActivePage(), to);
  QString checks = "000000";
  checks[to] = '1';
  QCOMPARE(ViewChecks(rig), checks);
  QVERIFY(rig.Dialogs.Log.isEmpty());
}

void ShellTests::soundsRefusedForFlash_data() {
  QTest::addColumn<QString>("way");
  QTest::newRow("Next on Select Files") << "next";
  QTest::newRow("View Sounds") << "view";
  QTest::newRow("Sounds tab") << "tab";
}

void ShellTests::soundsRefusedForFlash() {
  QFETCH(QString, way);
  TFormRig rig;
  rig.ChooseFlash();
  rig.Control<QAction>("SelectFiles1_old")->trigger();
  if (way == "next") {
    for (QPushButton* button :
         rig.Control<QWidget>("tab_sourcefiles")->findChildren<QPushButton*>())
      if (button->text() == "   &Next") button->click();
  } else if (way == "view") {
    rig.Control<QAction>("Souns1_old")->trigger();
  } else {
    rig.ClickTab(2);
  }
  QCOMPARE(rig.Dialogs.TakeLog(), QStringList{"plain: Flash animations can not set sounds."});
  QCOMPARE(rig.Form().ActivePage(), 3);
  QCOMPARE(ViewChecks(rig), QString("000100"));
}

void ShellTests::leavingSoundsStopsTheMusic() {
  TFormRig rig;
  rig.ClickTab(2);
  rig.AddMusic({rig.File("song.mid")});
  rig.ClickButton("SpeedButton6");
  QVERIFY(rig.Music.Playing);
  rig.ClickTab(2);  // the tab of the page shown
  rig.Control<QAction>("Souns1_old")->trigger();
  QVERIFY(rig.Music.Playing);
  rig.ClickTab(3);
  QVERIFY(!rig.Music.Playing);
  QCOMPARE(rig.Music.Log.last(), QString("close"));
}

void ShellTests::f5BuildsFromEveryPage_data() {
  QTest::addColumn<int>("page");
  for (int page = 0; page < 6; ++page)
    QTest::addRow("page %d", page) << page;
}

void ShellTests::f5BuildsFromEveryPage() {
  QFETCH(int, page);
  TFormRig rig;
  rig.Control<QTabWidget>("scPageWiz")->setCurrentIndex(page);
  QVERIFY(rig.Activate());
  QTest::keyClick(&rig.Form(), Qt::Key_F5);
  QCOMPARE(rig.Form().ActivePage(), 5);
  QCOMPARE(ViewChecks(rig), QString("000001"));
  QCOMPARE(rig.Dialogs.TakeLog(),
           QStringList{"plain: Please Select Pictures or Flash Files first!"});
}

void ShellTests::aboutBox() {
  TFormRig rig;
  rig.Form().move(100, 80);
  bool checked = false;
  rig.Dialogs.WhileModal = [&](QDialog& dialog) {
    QVERIFY(dialog.isModal());
    QCOMPARE(dialog.windowTitle(), QString("Kestrava"));
    const QRect window = rig.Form().frameGeometry();
    QVERIFY((dialog.frameGeometry().center() - window.center()).manhattanLength() <= 2);
    auto* picture = dialog.findChild<QLabel*>("imgAbout");
    QVERIFY(picture);
    QCOMPARE(picture->size(), QSize(270, 220));
    auto* button = dialog.findChild<QPushButton*>("btnContinue");
    QVERIFY(button);
    QCOMPARE(button->text(), QString("Continue"));
    QVERIFY(button->isFlat());
    dialog.show();
    button->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    checked = true;
  };
  rig.Control<QAction>("About1_old")->trigger();
  QVERIFY(checked);
  QCOMPARE(rig.Dialogs.TakeLog(), QStringList{"modal: Kestrava"});
  QVERIFY(!rig.Form().findChild<QDialog*>("frmAbout"));  // freed when closed
}

void ShellTests::helpOpensTheManual() {
  TFormRig rig;
  rig.Control<QAction>("Help2_old")->trigger();
  QCOMPARE(rig.Desktop.Log, QStringList{"document: " + rig.ProgramDir() + "/manual/index.html"});
  rig.Dialogs.TakeLog();
  // Without anything to open it with, the error says where the manual lies.
  rig.Desktop.NoOpener = true;
  rig.Control<QAction>("Help2_old")->trigger();
  const QStringList log = rig.Dialogs.TakeLog();
  QCOMPARE(log.size(), 1);
  QVERIFY2(log.front().startsWith("error: Cannot open the manual") &&
               log.front().endsWith(rig.ProgramDir() + "/manual/index.html"),
           qPrintable(log.front()));
}

void ShellTests::rightPressesNeverReachTheMoviePreview() {
  TFormRig rig;
  rig.ChooseFlash();
  rig.ClickTab(1);
  rig.AddSources({rig.File("clip.swf", "FWS")});
  auto* movie = rig.Control<TFlashPreview>("swfPreview");
  QSignalSpy presses(movie, &TFlashPreview::MousePressed);
  for (Qt::MouseButton button : {Qt::RightButton, Qt::LeftButton}) {
    QTest::mousePress(movie, button, {}, {20, 20});
    QTest::mouseRelease(movie, button, {}, {20, 20});
  }
  QCOMPARE(presses.count(), 1);
  QCOMPARE(presses.front().front().value<Qt::MouseButton>(), Qt::LeftButton);
  // Elsewhere a right press goes through: the list selects the entry under it.
  auto* list = rig.Control<QListWidget>("lbSourcefiles");
  list->clearSelection();
  list->setCurrentRow(-1);
  QTest::mousePress(list->viewport(), Qt::RightButton, {},
                    list->visualItemRect(list->item(0)).center());
  QCOMPARE(list->currentRow(), 0);
}

int RunShellTests(int argc, char** argv) {
  ShellTests tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace kestrava::test

#include "ShellTests.moc"
