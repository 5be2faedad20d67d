// The build command, and Preview and Install of the built saver.

#include <filesystem>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressDialog>
#include <QTabWidget>
#include <QTest>

#include "app/BuildProgress.h"
#include "app/RadioGroup.h"
#include "app/widgets/CheckListBox.h"
#include "saver/SaverFileReader.h"
#include "tests/app/FormRig.h"
#include "tests/app/TestSuites.h"

namespace kestrava::test {

namespace {

const QString kMustBuild = "info[Kestrava]: You must build the screensaver first!";
const QString kSucceeded = "info[Information]: Process succeed!";

// Two small JPEG pictures, the first effects ticked, the scratch folder as output folder.
void PrepareBuild(TFormRig& rig, const QString& name = "show") {
  rig.AddSources({rig.Picture("one.jpg", Qt::red), rig.Picture("two.jpg", Qt::blue)});
  rig.Control<TCheckListBox>("lbx_effects")->SetChecked(0, true);
  rig.Control<TCheckListBox>("lbx_effects")->SetChecked(5, true);
  rig.Dialogs.FolderAnswers.push_back(rig.Scratch());
  rig.ClickButton("SpeedButton8");
  rig.Control<QLineEdit>("edtOutputName")->setText(name);
  rig.Dialogs.TakeLog();
}

bool ShowsBuiltGlyphs(TFormRig& rig) {
  return rig.Control<QAbstractButton>("btnPreview")->icon().cacheKey() ==
             rig.Control<QAbstractButton>("btnpre_temp")->icon().cacheKey() &&
         rig.Control<QAbstractButton>("btnSetup")->icon().cacheKey() ==
             rig.Control<QAbstractButton>("btnsetup_temp")->icon().cacheKey();
}

}  // namespace

class BuildTests : public QObject {
  Q_OBJECT

 private slots:
  void previewAndInstallBeforeABuild();
  void buildWritesTheSaver();
  void wizardTakesNoInputWhileBuilding();
  void buildStopsTheMusic();
  void refusedBuilds_data();
  void refusedBuilds();
  void flashBuildNeedsNoEffect();
  void failedBuildLeavesNoFile();
  void previewAndInstallAfterABuild();
  void installTellsWhereTheSaverWillNotRun_data();
  void installTellsWhereTheSaverWillNotRun();
  void installErrorIsReported();
  void deletedSaverCountsAsUnbuilt();
  void closeAfterABuildStillAsks();
  void progressCountsThePictures();
  void windowsBuildHeadsWithTheWindowsRuntime();
  void flashForWindowsIsRefused();
  void windowsPreviewAndInstall_data();
  void windowsPreviewAndInstall();
  void failedWindowsBuildKeepsTheLinuxSaver();
};

void BuildTests::previewAndInstallBeforeABuild() {
  TFormRig rig;
  QVERIFY(!ShowsBuiltGlyphs(rig));
  rig.ClickButton("btnPreview");
  rig.ClickButton("btnSetup");
  QCOMPARE(rig.Dialogs.TakeLog(), (QStringList{kMustBuild, kMustBuild}));
  QVERIFY(rig.Desktop.Log.isEmpty());
}

void BuildTests::buildWritesTheSaver() {
  TFormRig rig;
  PrepareBuild(rig);
  rig.Control<TRadioGroup>("RdoGpQuitMode")->Button(2)->click();
  rig.ClickButton("scButBuild");
  QCOMPARE(rig.Dialogs.TakeLog(), QStringList{kSucceeded});
  const QString saver = rig.ScratchPath("show.scr");
  QCOMPARE(QString::fromStdString(rig.Form().State().BuiltSaverPath), saver);
  QVERIFY(rig.Form().State().SaverBuilt);
  QVERIFY(ShowsBuiltGlyphs(rig));
  QVERIFY(QFileInfo(saver).isExecutable());

  const TSaverFileReader reader(saver.toStdString());
  const TSaverTrailer& trailer = reader.Trailer();
  QCOMPARE(int(trailer.SourceSizes.size()), 2);
  QCOMPARE(trailer.QuitMode, 3);
  QCOMPARE(trailer.IntervalSeconds, 8);
  QCOMPARE(int(trailer.EffectFlags[1]), 1);
  QCOMPARE(int(trailer.EffectFlags[6]), 1);
  QCOMPARE(int(trailer.EffectFlags[2]), 0);
  QCOMPARE(reader.Runtime().Size, qint64(10));

  // Built again as ".exe", over nothing; and once more over the file just written.
  rig.Control<TRadioGroup>("RdoGpOutType")->Button(1)->click();
  rig.ClickButton("scButBuild");
  rig.ClickButton("scButBuild");
  QCOMPARE(rig.Dialogs.TakeLog(), (QStringList{kSucceeded, kSucceeded}));
  QVERIFY(QFile::exists(rig.ScratchPath("show.exe")));
}

void BuildTests::wizardTakesNoInputWhileBuilding() {
  TFormRig rig;
  PrepareBuild(rig);
  auto* pages = rig.Control<QTabWidget>("scPageWiz");
  auto* build = rig.Control<QAction>("BuildProject1");
  int seen = 0;
  rig.Dialogs.WhileMessageShown = [&](const QString&) {
    ++seen;
    QVERIFY(!pages->isEnabled());
    QVERIFY(!rig.Form().findChild<QMenuBar*>()->isEnabled());
    QVERIFY(!build->isEnabled());
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BusyCursor);
    build->trigger();                                    // a second build cannot start meanwhile
    QVERIFY(!rig.Form().findChild<QProgressDialog*>());  // gone before any message
  };
  rig.Form().scButBuildClick();
  QCOMPARE(seen, 1);
  QCOMPARE(rig.Dialogs.TakeLog(), QStringList{kSucceeded});
  QVERIFY(pages->isEnabled());
  QVERIFY(build->isEnabled());
  QVERIFY(!QApplication::overrideCursor());
}

void BuildTests::buildStopsTheMusic() {
  TFormRig rig;
  rig.AddMusic({rig.File("song.mid")});
  rig.ClickButton("SpeedButton6");
  QVERIFY(rig.Music.Playing);
  rig.ClickButton("scButBuild");  // refused for lack of sources, after the music stopped
  QVERIFY(!rig.Music.Playing);
}

void BuildTests::refusedBuilds_data() {
  QTest::addColumn<bool>("sources");
  QTest::addColumn<bool>("effects");
  QTest::addColumn<QString>("message");
  QTest::newRow("no sources") << false << true
                              << "plain: Please Select Pictures or Flash Files first!";
  QTest::newRow("no effect") << true << false
                             << "plain: Please select at least one effect for the screensaver!";
}

void BuildTests::refusedBuilds() {
  QFETCH(bool, sources);
  QFETCH(bool, effects);
  QFETCH(QString, message);
  TFormRig rig;
  if (sources) rig.AddSources({rig.Picture("p.jpg", Qt::red)});
  if (effects) rig.Control<TCheckListBox>("lbx_effects")->SetChecked(0, true);
  rig.Dialogs.TakeLog();
  rig.ClickButton("scButBuild");
  QCOMPARE(rig.Dialogs.TakeLog(), QStringList{message});
  QCOMPARE(rig.Form().ActivePage(), 5);
  QVERIFY(rig.Form().State().BuiltSaverPath.empty());
  QVERIFY(QDir(rig.ProgramDir()).entryList({"*.scr"}).isEmpty());
}

void BuildTests::flashBuildNeedsNoEffect() {
  TFormRig rig;
  rig.ChooseFlash();
  rig.AddSources({rig.File("clip.swf", "FWS\x06movie")});
  rig.Dialogs.FolderAnswers.push_back(rig.Scratch());
  rig.ClickButton("SpeedButton8");
  rig.Control<QLineEdit>("edtOutputName")->clear();
  rig.Control<TRadioGroup>("RdoGpOutType")->Button(1)->click();
  rig.Dialogs.TakeLog();
  rig.ClickButton("scButBuild");
  QCOMPARE(rig.Dialogs.TakeLog(), QStringList{kSucceeded});
  QCOMPARE(QString::fromStdString(rig.Form().State().BuiltSaverPath), rig.ScratchPath("clip.exe"));
}

void BuildTests::failedBuildLeavesNoFile() {
  TFormRig rig;
  PrepareBuild(rig);
  rig.AddSources({rig.File("broken.jpg", "no picture")});
  rig.Control<QLineEdit>("edtOutputName")->setText("broken");
  rig.Dialogs.TakeLog();
  rig.ClickButton("scButBuild");
  // An error report (critical icon) that names the file and says why.
  QCOMPARE(rig.Dialogs.TakeLog(),
           QStringList{"error: Process failed!\n" + rig.ScratchPath("broken.jpg") +
                       ": Not a JPEG file: starts with 0x6e 0x6f"});
  const QString saver = rig.ScratchPath("broken.scr");
  QVERIFY(!QFile::exists(saver));
  QCOMPARE(QString::fromStdString(rig.Form().State().BuiltSaverPath), saver);
  QVERIFY(!rig.Form().State().SaverBuilt);
  QVERIFY(!ShowsBuiltGlyphs(rig));
  rig.ClickButton("btnPreview");
  rig.ClickButton("btnSetup");
  QCOMPARE(rig.Dialogs.TakeLog(), (QStringList{kMustBuild, kMustBuild}));
  QVERIFY(rig.Desktop.Log.isEmpty());
}

void BuildTests::previewAndInstallAfterABuild() {
  TFormRig rig;
  PrepareBuild(rig);
  rig.ClickButton("scButBuild");
  rig.Dialogs.TakeLog();
  const QString saver = rig.ScratchPath("show.scr");
  rig.ClickButton("btnPreview");
  QVERIFY(rig.Dialogs.Log.isEmpty());
  rig.ClickButton("btnSetup");
  // Install says what it did and whether the saver will run; XScreenSaver's settings follow.
  QCOMPARE(rig.Dialogs.TakeLog(),
           QStringList{"info[Information]: \"show.scr\" is now the selected screen saver in "
                       "XScreenSaver's settings (~/.xscreensaver).\n\nXScreenSaver is running and "
                       "will show it when the screen blanks."});
  QCOMPARE(rig.Desktop.Log, (QStringList{"start: " + saver, "install: " + saver, "settings"}));
}

void BuildTests::installTellsWhereTheSaverWillNotRun_data() {
  QTest::addColumn<bool>("installed");
  QTest::addColumn<bool>("wayland");
  QTest::addColumn<QString>("says");
  QTest::addColumn<bool>("settingsOpened");
  QTest::newRow("not installed") << false << false << "sudo apt install xscreensaver" << false;
  QTest::newRow("Wayland") << true << true << "This is a Wayland session" << false;
}

void BuildTests::installTellsWhereTheSaverWillNotRun() {
  QFETCH(bool, installed);
  QFETCH(bool, wayland);
  QFETCH(QString, says);
  QFETCH(bool, settingsOpened);
  TFormRig rig;
  PrepareBuild(rig);
  rig.ClickButton("scButBuild");
  rig.Dialogs.TakeLog();
  rig.Desktop.Host = {installed, false, wayland, wayland ? "GNOME" : "", ""};
  rig.ClickButton("btnSetup");
  const QStringList log = rig.Dialogs.TakeLog();
  QCOMPARE(log.size(), 1);
  QVERIFY2(log.front().startsWith("info[Information]: ") && log.front().contains(says),
           qPrintable(log.front()));
  QCOMPARE(rig.Desktop.Log.contains("settings"), settingsOpened);
}

void BuildTests::installErrorIsReported() {
  TFormRig rig;
  PrepareBuild(rig);
  rig.ClickButton("scButBuild");
  rig.Dialogs.TakeLog();
  rig.Desktop.FailInstall = true;
  rig.ClickButton("btnSetup");
  QCOMPARE(rig.Dialogs.TakeLog(), QStringList{"error: Failed to set data for 'SCRNSAVE.EXE'"});
  QCOMPARE(rig.Desktop.Log, QStringList{"install: " + rig.ScratchPath("show.scr")});
}

void BuildTests::deletedSaverCountsAsUnbuilt() {
  TFormRig rig;
  PrepareBuild(rig);
  rig.ClickButton("scButBuild");
  QVERIFY(QFile::remove(rig.ScratchPath("show.scr")));
  rig.Dialogs.TakeLog();
  rig.ClickButton("btnPreview");
  rig.ClickButton("btnSetup");
  QCOMPARE(rig.Dialogs.TakeLog(), (QStringList{kMustBuild, kMustBuild}));
  QVERIFY(rig.Desktop.Log.isEmpty());
  QVERIFY(ShowsBuiltGlyphs(rig));  // nothing sets them back
}

// A build keeps the saver, not the project: the unsaved settings are still asked about.
void BuildTests::closeAfterABuildStillAsks() {
  TFormRig rig;
  PrepareBuild(rig);
  rig.ClickButton("scButBuild");
  rig.Dialogs.TakeLog();
  rig.Dialogs.CloseAnswers = {TCloseAnswer::No};
  QCloseEvent event;
  QApplication::sendEvent(&rig.Form(), &event);
  QVERIFY(event.isAccepted());
  QCOMPARE(rig.Dialogs.TakeLog(),
           QStringList{"ask[Save?]: You haven't save this project,save it now?"});
}

void BuildTests::progressCountsThePictures() {
  QWidget owner;
  TBuildProgress progress(owner);
  QVERIFY(!progress.Dialog());
  progress.PictureWritten(0, 3);
  QProgressDialog* dialog = progress.Dialog();
  QVERIFY(dialog);
  QCOMPARE(dialog->parentWidget(), &owner);
  QCOMPARE(dialog->labelText(), QString("Picture 1 of 3"));
  QCOMPARE(dialog->maximum(), 3);
  QCOMPARE(dialog->value(), 1);
  QVERIFY(dialog->minimumDuration() >= 300 && dialog->minimumDuration() <= 1000);
  QVERIFY(!dialog->isVisible());  // a quick build never shows it
  progress.PictureWritten(2, 3);
  QCOMPARE(dialog->labelText(), QString("Picture 3 of 3"));
  QCOMPARE(dialog->value(), 3);
  progress.Close();
  QVERIFY(!progress.Dialog());
  QVERIFY(!owner.findChild<QProgressDialog*>());
}

void BuildTests::windowsBuildHeadsWithTheWindowsRuntime() {
  TFormRig rig;
  PrepareBuild(rig);
  rig.Control<TRadioGroup>("RdoGpTarget")->Button(1)->click();
  rig.ClickButton("scButBuild");
  QCOMPARE(rig.Dialogs.TakeLog(), QStringList{kSucceeded});
  const QString saver = rig.ScratchPath("show.scr");
  QFile file(saver);
  QVERIFY(file.open(QIODevice::ReadOnly));
  const QByteArray head(reinterpret_cast<const char*>(kTinyWindowsRuntime),
                        qsizetype(sizeof kTinyWindowsRuntime));
  QCOMPARE(file.read(head.size()), head);
  const TSaverFileReader reader(saver.toStdString());
  QCOMPARE(reader.Runtime().Size, qint64(head.size()));
  QCOMPARE(int(reader.Trailer().SourceSizes.size()), 2);
  QVERIFY(rig.Form().State().SaverBuilt);
}

// Refused like the build's other refusals, before anything is written.
void BuildTests::flashForWindowsIsRefused() {
  TFormRig rig;
  rig.ChooseFlash();
  rig.AddSources({rig.File("clip.swf", "FWS\x06movie")});
  rig.Dialogs.FolderAnswers.push_back(rig.Scratch());
  rig.ClickButton("SpeedButton8");
  rig.Control<TRadioGroup>("RdoGpTarget")->Button(1)->click();
  const QStringList before = QDir(rig.Scratch()).entryList(QDir::Files);
  rig.Dialogs.TakeLog();
  rig.ClickButton("scButBuild");
  QCOMPARE(rig.Dialogs.TakeLog(),
           QStringList{"plain: Flash savers play on Linux only for now: a Flash saver cannot be "
                       "built for Windows."});
  QCOMPARE(QDir(rig.Scratch()).entryList(QDir::Files), before);
  QVERIFY(rig.Form().State().BuiltSaverPath.empty());
  QVERIFY(!rig.Form().State().SaverBuilt);
}

// A Windows saver is tried through Wine when there is one, else on a Windows PC; it is installed
// there, never into this desktop's XScreenSaver. What counts is the system it was built for.
void BuildTests::windowsPreviewAndInstall_data() {
  QTest::addColumn<bool>("wine");
  QTest::newRow("with Wine") << true;
  QTest::newRow("without Wine") << false;
}

void BuildTests::windowsPreviewAndInstall() {
  QFETCH(bool, wine);
  TFormRig rig;
  PrepareBuild(rig);
  auto* target = rig.Control<TRadioGroup>("RdoGpTarget");
  target->Button(1)->click();
  rig.ClickButton("scButBuild");
  target->Button(0)->click();  // chosen after the build: the built saver stays a Windows one
  rig.Dialogs.TakeLog();
  rig.Desktop.NoWine = !wine;
  const QString saver = rig.ScratchPath("show.scr");
  rig.ClickButton("btnPreview");
  const QStringList preview = rig.Dialogs.TakeLog();
  if (wine) {
    QVERIFY2(preview.isEmpty(), qPrintable(preview.join('\n')));
    QCOMPARE(rig.Desktop.Log, QStringList{"wine: " + saver});
  } else {
    QCOMPARE(preview.size(), 1);
    QVERIFY2(preview.front().startsWith("info[Information]: \"show.scr\" is a Windows saver") &&
                 preview.front().contains("sudo apt install wine") &&
                 preview.front().contains("copy it there, right-click it and choose Test"),
             qPrintable(preview.front()));
    QVERIFY(rig.Desktop.Log.isEmpty());
  }
  rig.Desktop.Log.clear();
  rig.ClickButton("btnSetup");
  const QStringList install = rig.Dialogs.TakeLog();
  QCOMPARE(install.size(), 1);
  QVERIFY2(install.front().startsWith("info[Information]: \"show.scr\" is a Windows saver") &&
               install.front().contains("copy it to the Windows PC, right-click it and choose "
                                        "Install"),
           qPrintable(install.front()));
  QVERIFY(rig.Desktop.Log.isEmpty());  // no ~/.xscreensaver, no settings program
}

// The saver left in place by a failed build is still the earlier one, and is previewed as such.
void BuildTests::failedWindowsBuildKeepsTheLinuxSaver() {
  TFormRig rig;
  PrepareBuild(rig);
  rig.ClickButton("scButBuild");
  rig.Control<TRadioGroup>("RdoGpTarget")->Button(1)->click();
  rig.AddSources({rig.File("broken.jpg", "no picture")});
  rig.ClickButton("scButBuild");
  rig.Dialogs.TakeLog();
  rig.ClickButton("btnPreview");
  QVERIFY(rig.Dialogs.Log.isEmpty());
  QCOMPARE(rig.Desktop.Log, QStringList{"start: " + rig.ScratchPath("show.scr")});
}

int RunBuildTests(int argc, char** argv) {
  BuildTests tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace kestrava::test

#include "BuildTests.moc"
