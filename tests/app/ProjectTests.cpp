// The Project menu and the close question.

#include <filesystem>

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

#include "app/RadioGroup.h"
#include "app/SpinEdit.h"
#include "app/widgets/CheckListBox.h"
#include "app/widgets/FlashPreview.h"
#include "app/widgets/TextListBox.h"
#include "project/ProjectFile.h"
#include "project/ProjectLocation.h"
#include "tests/app/FormRig.h"
#include "tests/app/TestSuites.h"

namespace kestrava::test {

namespace {

const QString kQuestion = "ask[Save?]: You haven't save this project,save it now?";

// Whether the window would close now; the close question's answer is scripted beforehand.
bool Closes(TFormRig& rig) {
  QCloseEvent event;
  QApplication::sendEvent(&rig.Form(), &event);
  return event.isAccepted();
}

project::TProjectSettings Stored(const QString& file) {
  project::TProjectSettings other;
  other.Interval = -999;
  other.OutPath = "?";
  return project::LoadProjectFile(file.toStdString(), other);
}

QString TempProject() {
  return QString::fromStdString(project::ResolveProjectFile("temp.kvp").string());
}

void WriteFile(const QString& path, const QByteArray& text) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(text);
}

}  // namespace

class ProjectTests : public QObject {
  Q_OBJECT

 private slots:
  void closeRightAfterStartAsksNothing();
  void closeQuestionAnswers_data();
  void closeQuestionAnswers();
  void closeAfterSaveAsAsksOnlyAfterAChange();
  void yesOnANamedProjectSavesWithoutADialog();
  void yesWhenTheSaveFailsKeepsTheWindow();
  void everyStoredEditAsksOnClose_data();
  void everyStoredEditAsksOnClose();
  void saveGoesThroughSaveAsUntilNamed();
  void saveAsKeepsTheTypedName();
  void saveErrorIsReported();
  void loadFillsTheControls();
  void loadOfAnUnreadableProjectSaysWhy();
  void loadMissingFileGivesDefaults();
  void loadOfAnOlderFileTicksNothing();
  void effectsAndMaskRoundTrip();
  void targetRoundTrip();
  void loadTicksOnlyOfferedStyles();
  void loadCancelledChangesNothing();
  void loadClampsTheGroups();
  void shortcutsOpenTheDialogs();
};

void ProjectTests::closeRightAfterStartAsksNothing() {
  TFormRig rig;
  QVERIFY(Closes(rig));
  QVERIFY(rig.Dialogs.Log.isEmpty());
  QVERIFY(rig.Form().ProjectMatchesFile());
}

// A wizard bound to "temp.kvp" with an unsaved change, answering the close question.
void ProjectTests::closeQuestionAnswers_data() {
  QTest::addColumn<TCloseAnswer>("answer");
  QTest::addColumn<std::optional<QString>>("saveAs");  // the Save As dialog's answer
  QTest::addColumn<bool>("closes");
  QTest::addColumn<QStringList>("dialogs");
  QTest::addColumn<bool>("written");
  QTest::newRow("No") << TCloseAnswer::No << std::optional<QString>() << true
                      << QStringList{kQuestion} << false;
  QTest::newRow("Cancel") << TCloseAnswer::Cancel << std::optional<QString>() << false
                          << QStringList{kQuestion} << false;
  QTest::newRow("Yes, named") << TCloseAnswer::Yes << std::optional<QString>("show") << true
                              << QStringList{kQuestion, "save"} << true;
  QTest::newRow("Yes, no name given") << TCloseAnswer::Yes << std::optional<QString>() << false
                                      << QStringList{kQuestion, "save"} << false;
}

void ProjectTests::closeQuestionAnswers() {
  QFETCH(TCloseAnswer, answer);
  QFETCH(std::optional<QString>, saveAs);
  QFETCH(bool, closes);
  QFETCH(QStringList, dialogs);
  QFETCH(bool, written);
  TFormRig rig;
  const QByteArray baseline = [] {
    QFile file(TempProject());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }();
  rig.Control<TSpinEdit>("SpnDelayTime")->SetValue(20);
  rig.Dialogs.CloseAnswers.push_back(answer);
  const QString target = rig.ScratchPath("show.kvp");
  if (saveAs) rig.Dialogs.SaveAnswers.push_back(rig.ScratchPath(*saveAs + ".kvp"));
  QCOMPARE(Closes(rig), closes);
  QCOMPARE(rig.Dialogs.TakeLog(), dialogs);
  QCOMPARE(QFile::exists(target), written);
  if (written) QCOMPARE(Stored(target).Interval, 20);
  // "temp.kvp" is the next start's baseline, never the place of a save the user asked for.
  QFile temp(TempProject());
  QVERIFY(temp.open(QIODevice::ReadOnly));
  QCOMPARE(temp.readAll(), baseline);
}

void ProjectTests::closeAfterSaveAsAsksOnlyAfterAChange() {
  TFormRig rig;
  const QString file = rig.ScratchPath("mine.kvp");
  rig.Dialogs.SaveAnswers.push_back(file);
  rig.Control<QAction>("SaveProjectAs1")->trigger();
  QCOMPARE(QString::fromStdString(rig.Form().ProjectFileName()), file);
  rig.Dialogs.TakeLog();
  rig.Dialogs.CloseAnswers = {TCloseAnswer::Cancel};
  QVERIFY(Closes(rig));
  QVERIFY(rig.Dialogs.Log.isEmpty());
}

void ProjectTests::yesOnANamedProjectSavesWithoutADialog() {
  TFormRig rig;
  const QString file = rig.ScratchPath("mine.kvp");
  rig.Dialogs.SaveAnswers.push_back(file);
  rig.Form().SaveProjectAs1Click();
  rig.Control<TSpinEdit>("SpnDelayTime")->SetValue(31);
  rig.Dialogs.TakeLog();
  rig.Dialogs.CloseAnswers = {TCloseAnswer::Yes};
  QVERIFY(Closes(rig));
  QCOMPARE(rig.Dialogs.TakeLog(), QStringList{kQuestion});
  QCOMPARE(Stored(file).Interval, 31);
}

void ProjectTests::yesWhenTheSaveFailsKeepsTheWindow() {
  TFormRig rig;
  // A project inside a "folder" that is a file: no one can write it, not even root.
  const QString blocker = rig.File("blocker");
  const QString file = blocker + "/mine.kvp";
  rig.Form().LoadProjectFile(file);
  rig.Control<TSpinEdit>("SpnDelayTime")->SetValue(31);
  rig.Dialogs.CloseAnswers = {TCloseAnswer::Yes};
  QVERIFY(!Closes(rig));
  QCOMPARE(rig.Dialogs.TakeLog(), (QStringList{kQuestion, "error: Unable to write to " + file}));
}

// A named project of three pictures and two songs, changed as a user would change it, then
// closed: anything the file stores that differs must bring the question, and nothing else.
void ProjectTests::everyStoredEditAsksOnClose_data() {
  QTest::addColumn<QString>("edit");
  QTest::addColumn<bool>("asks");
  for (const char* edit :
       {"move a picture up", "move a picture down", "reverse the pictures", "replace a picture",
        "remove a picture and build", "move a song up", "flash kind", "tick an effect",
        "tick the mask", "windows target", "fill the screen", "smooth off"})
    QTest::newRow(edit) << QString(edit) << true;
  QTest::newRow("build only") << QString("build only") << false;
  QTest::newRow("click an entry") << QString("click an entry") << false;
}

void ProjectTests::everyStoredEditAsksOnClose() {
  QFETCH(QString, edit);
  QFETCH(bool, asks);
  TFormRig rig;
  rig.AddSources({rig.Picture("one.jpg", Qt::red), rig.Picture("two.jpg", Qt::green),
                  rig.Picture("three.jpg", Qt::blue)});
  rig.AddMusic({rig.File("a.mid"), rig.File("b.mid")});
  rig.Control<TCheckListBox>("lbx_effects")->SetChecked(1, true);
  rig.Dialogs.FolderAnswers.push_back(rig.Scratch());
  rig.ClickButton("SpeedButton8");
  rig.Dialogs.SaveAnswers.push_back(rig.ScratchPath("edits.kvp"));
  rig.Form().SaveProjectAs1Click();

  auto* sources = rig.Control<TTextListBox>("lbSourcefiles");
  auto* music = rig.Control<TTextListBox>("lbMusicFiles");
  if (edit == "move a picture up") {
    rig.ClickEntry(*sources, 1);
    rig.ClickButton("SpeedButton1");
  } else if (edit == "move a picture down") {
    rig.ClickEntry(*sources, 0);
    rig.ClickButton("SpeedButton2");
  } else if (edit == "reverse the pictures") {
    rig.ClickButton("SpeedButton3");
  } else if (edit == "replace a picture") {
    sources->SetItems(
        {sources->item(0)->text(), rig.Picture("four.jpg", Qt::cyan), sources->item(2)->text()});
  } else if (edit == "remove a picture and build") {
    rig.ClickEntry(*sources, 2);
    rig.ClickButton("scButton2");
    rig.ClickButton("scButBuild");
    QVERIFY(rig.Form().State().SaverBuilt);
  } else if (edit == "build only") {
    rig.ClickButton("scButBuild");
    QVERIFY(rig.Form().State().SaverBuilt);
  } else if (edit == "move a song up") {
    rig.ClickEntry(*music, 1);
    rig.ClickButton("SpeedButton4");
  } else if (edit == "flash kind") {
    rig.ChooseFlash();
  } else if (edit == "tick an effect") {
    rig.Control<TCheckListBox>("lbx_effects")->SetChecked(40, true);
  } else if (edit == "tick the mask") {
    rig.Control<QCheckBox>("chkMask")->click();
  } else if (edit == "windows target") {
    rig.Control<TRadioGroup>("RdoGpTarget")->Button(1)->click();
  } else if (edit == "fill the screen") {
    rig.Control<TRadioGroup>("RdoGpFitMode")->Button(2)->click();
  } else if (edit == "smooth off") {
    rig.Control<QCheckBox>("chkSmooth")->click();
  } else if (edit == "click an entry") {
    rig.ClickEntry(*sources, 2);
  }
  rig.Dialogs.TakeLog();
  rig.Dialogs.CloseAnswers = {TCloseAnswer::Cancel};
  QCOMPARE(Closes(rig), !asks);
  QCOMPARE(rig.Dialogs.TakeLog(), asks ? QStringList{kQuestion} : QStringList{});
  QCOMPARE(rig.Form().ProjectMatchesFile(), !asks);
}

void ProjectTests::saveGoesThroughSaveAsUntilNamed() {
  TFormRig rig;
  rig.AddSources({rig.Picture("holiday.jpg", Qt::red)});
  rig.Dialogs.TakeLog();
  rig.Form().SaveProject1Click();  // cancelled
  QCOMPARE(rig.Dialogs.SaveRequests.size(), 1);
  const TSaveFileRequest& request = rig.Dialogs.SaveRequests.front();
  QCOMPARE(request.SuggestedName, std::optional<QString>("holiday"));
  QCOMPARE(request.InitialDir, rig.ProgramDir());
  QCOMPARE(request.DefaultSuffix, QString("kvp"));
  QCOMPARE(request.Filters, (QList<TFileFilter>{{"*.kvp", {"*.kvp"}}}));
  QCOMPARE(QString::fromStdString(rig.Form().ProjectFileName()), QString("temp.kvp"));

  rig.Control<QLineEdit>("edtOutputName")->clear();
  const QString file = rig.ScratchPath("named.kvp");
  rig.Dialogs.SaveAnswers.push_back(file);
  rig.Form().SaveProject1Click();
  QCOMPARE(rig.Dialogs.SaveRequests.last().SuggestedName, std::optional<QString>("temp.kvp"));
  QCOMPARE(QString::fromStdString(rig.Form().ProjectFileName()), file);

  rig.Control<TSpinEdit>("SpnDelayTime")->SetValue(44);
  rig.Form().SaveProject1Click();  // bound: no dialog
  QCOMPARE(rig.Dialogs.SaveRequests.size(), 2);
  QCOMPARE(Stored(file).Interval, 44);
  rig.Form().SaveProjectAs1Click();  // suggests the bound name
  QCOMPARE(rig.Dialogs.SaveRequests.last().SuggestedName, std::optional<QString>(file));
}

// File names are case-sensitive: "myshow.kvp" is another project and stays as it was.
void ProjectTests::saveAsKeepsTheTypedName() {
  TFormRig rig;
  WriteFile(rig.ScratchPath("myshow.kvp"), "[myOptions]\nDelayTime=77\n");
  rig.Dialogs.SaveAnswers.push_back(rig.ScratchPath("MyShow.kvp"));
  rig.Form().SaveProjectAs1Click();
  QVERIFY(QFile::exists(rig.ScratchPath("MyShow.kvp")));
  QCOMPARE(Stored(rig.ScratchPath("myshow.kvp")).Interval, 77);
  QCOMPARE(QString::fromStdString(rig.Form().ProjectFileName()), rig.ScratchPath("MyShow.kvp"));
}

void ProjectTests::saveErrorIsReported() {
  TFormRig rig;
  const QString file = rig.File("blocker") + "/x.kvp";
  rig.Dialogs.SaveAnswers.push_back(file);
  rig.Form().SaveProjectAs1Click();
  QCOMPARE(rig.Dialogs.TakeLog(), (QStringList{"save", "error: Unable to write to " + file}));
  QCOMPARE(QString::fromStdString(rig.Form().ProjectFileName()), QString("temp.kvp"));
}

// A project that cannot be read whole is not opened as an empty one: what the user has stays.
void ProjectTests::loadOfAnUnreadableProjectSaysWhy() {
  TFormRig rig;
  const QString picture = rig.Picture("one.jpg", Qt::red);
  rig.AddSources({picture});
  const QString file = rig.ScratchPath("huge.kvp");
  WriteFile(file, "[saverType]\ntype=fla\n" + QByteArray(5 << 20, ';'));
  rig.Dialogs.OpenAnswers.push_back({file});
  rig.Control<QAction>("LoadProject1")->trigger();
  QCOMPARE(rig.Dialogs.TakeLog().last(), "error: Cannot open project " + file +
                                             ": larger than 4 MB, more than a project file can be");
  QCOMPARE(rig.Control<TTextListBox>("lbSourcefiles")->Items(), QStringList{picture});
  QCOMPARE(QString::fromStdString(rig.Form().ProjectFileName()), QString("temp.kvp"));
}

void ProjectTests::loadFillsTheControls() {
  TFormRig rig;
  const QString file = rig.ScratchPath("load.kvp");
  WriteFile(file,
            "[saverType]\ntype=fla\n[dataFiles]\nfilenum=3\nfile0=/m/a.swf\nfile2=/m/c.swf\n"
            "[musicFiles]\nmusicnum=1\nmusic0=/m/song.mid\n[myOptions]\nquitMode=1\n"
            "DelayTime=-4\n[myBuild]\nOutPath=/out/\nOutFileName=\nOutType=1\n");
  rig.Dialogs.OpenAnswers.push_back({file});
  rig.Control<QAction>("LoadProject1")->trigger();
  QCOMPARE(rig.Dialogs.OpenRequests.last().Filters,
           (QList<TFileFilter>{{"Kestrava Project Files (kvp)", {"*.kvp"}}}));
  QCOMPARE(rig.Dialogs.OpenRequests.last().InitialDir, rig.ProgramDir());
  QVERIFY(rig.Control<QRadioButton>("scRdoFlaType")->isChecked());
  QCOMPARE(rig.Form().State().SaverKind, 1);
  auto* sources = rig.Control<TTextListBox>("lbSourcefiles");
  QCOMPARE(sources->Items(), (QStringList{"/m/a.swf", "none", "/m/c.swf"}));
  QCOMPARE(sources->currentRow(), 0);
  QVERIFY(rig.Control<TFlashPreview>("swfPreview")->Movie().isEmpty());  // no preview ran
  QCOMPARE(rig.Control<TTextListBox>("lbMusicFiles")->currentRow(), 0);
  QCOMPARE(rig.Control<TRadioGroup>("RdoGpQuitMode")->ItemIndex(), 1);
  QCOMPARE(rig.Form().State().QuitMode, 2);
  QCOMPARE(rig.Control<TSpinEdit>("SpnDelayTime")->Value(), -4);
  QCOMPARE(QString::fromStdString(rig.Form().State().OutputDir), QString("/out/"));
  QCOMPARE(rig.Control<QLineEdit>("edtOutputName")->text(), QString("a"));
  QCOMPARE(rig.Control<TRadioGroup>("RdoGpOutType")->ItemIndex(), 1);
  QCOMPARE(QString::fromStdString(rig.Form().ProjectFileName()), file);
}

void ProjectTests::loadMissingFileGivesDefaults() {
  TFormRig rig;
  rig.AddSources({"/p/a.jpg"});
  const QString file = rig.ScratchPath("Missing.kvp");
  rig.Form().LoadProjectFile(file);
  QCOMPARE(rig.Form().State().SaverKind, 1);
  QCOMPARE(rig.Control<TTextListBox>("lbSourcefiles")->count(), 0);
  QCOMPARE(rig.Control<TRadioGroup>("RdoGpQuitMode")->ItemIndex(), 0);
  QCOMPARE(rig.Control<TSpinEdit>("SpnDelayTime")->Value(), 3);
  QVERIFY(rig.Control<QLineEdit>("edtOutPath")->text().isEmpty());
  QVERIFY(rig.Form().State().OutputDir.empty());
  QVERIFY(rig.Control<QLineEdit>("edtOutputName")->text().isEmpty());
  QCOMPARE(rig.Control<TRadioGroup>("RdoGpOutType")->ItemIndex(), 0);
  QCOMPARE(QString::fromStdString(rig.Form().ProjectFileName()), file);
}

// A file from before the effects, mask and picture size were stored shows what it holds: no
// ticks, no mask, pictures shrunk only without smoothing.
void ProjectTests::loadOfAnOlderFileTicksNothing() {
  TFormRig rig;
  auto* effects = rig.Control<TCheckListBox>("lbx_effects");
  effects->SetChecked(3, true);
  rig.Form().imgmask1Click();
  const QString file = rig.ScratchPath("older.kvp");
  WriteFile(file, "[saverType]\ntype=pic\n[myOptions]\nquitMode=1\nDelayTime=5\n");
  rig.Form().LoadProjectFile(file);
  QVERIFY(effects->CheckedData().empty());
  QVERIFY(!rig.Control<QCheckBox>("chkMask")->isChecked());
  QVERIFY(rig.Form().State().MaskFileName.empty());
  QVERIFY(!rig.Control<QCheckBox>("chkSmooth")->isChecked());
  QCOMPARE(rig.Control<TRadioGroup>("RdoGpFitMode")->ItemIndex(), 0);
  QCOMPARE(rig.Form().State().PreviewCursor, 0);
  rig.Dialogs.CloseAnswers = {TCloseAnswer::Cancel};
  QVERIFY(Closes(rig));  // loaded as it is stored: nothing to lose
}

void ProjectTests::effectsAndMaskRoundTrip() {
  TFormRig rig;
  auto* effects = rig.Control<TCheckListBox>("lbx_effects");
  for (const int row : {40, 0, 102})
    effects->SetChecked(row, true);
  rig.Control<QCheckBox>("chkMask")->click();
  rig.Control<TRadioGroup>("RdoGpFitMode")->Button(1)->click();
  const std::vector<int> ticked = effects->CheckedData();
  const QString file = rig.ScratchPath("ticks.kvp");
  rig.Dialogs.SaveAnswers.push_back(file);
  rig.Form().SaveProjectAs1Click();
  QCOMPARE(Stored(file).Styles, ticked);
  QVERIFY(Stored(file).Mask);
  QCOMPARE(Stored(file).FitMode, 1);
  QVERIFY(Stored(file).Smooth);

  TFormRig other;
  other.Form().LoadProjectFile(file);
  QCOMPARE(other.Control<TCheckListBox>("lbx_effects")->CheckedData(), ticked);
  QVERIFY(other.Control<QCheckBox>("chkMask")->isChecked());
  QCOMPARE(other.Control<TRadioGroup>("RdoGpFitMode")->ItemIndex(), 1);
  QVERIFY(other.Control<QCheckBox>("chkSmooth")->isChecked());
  QCOMPARE(QString::fromStdString(other.Form().State().MaskFileName), QString("mask1.jpg"));
  other.Dialogs.CloseAnswers = {TCloseAnswer::Cancel};
  QVERIFY(Closes(other));
  QVERIFY(other.Dialogs.Log.isEmpty());
}

// The system the saver is made for is saved and loaded with the project; a file without it is a
// Linux project.
void ProjectTests::targetRoundTrip() {
  TFormRig rig;
  rig.Control<TRadioGroup>("RdoGpTarget")->Button(1)->click();
  const QString file = rig.ScratchPath("windows.kvp");
  rig.Dialogs.SaveAnswers.push_back(file);
  rig.Form().SaveProjectAs1Click();
  QCOMPARE(Stored(file).Target, project::TSaverTarget::Windows);

  TFormRig other;
  other.Form().LoadProjectFile(file);
  auto* target = other.Control<TRadioGroup>("RdoGpTarget");
  QCOMPARE(target->ItemIndex(), 1);
  QVERIFY(target->Button(1)->isChecked());
  other.Dialogs.CloseAnswers = {TCloseAnswer::Cancel};
  QVERIFY(Closes(other));
  QVERIFY(other.Dialogs.Log.isEmpty());

  const QString older = rig.ScratchPath("older.kvp");
  WriteFile(older, "[saverType]\ntype=pic\n[myBuild]\nOutType=0\n");
  other.Form().LoadProjectFile(older);
  QCOMPARE(target->ItemIndex(), 0);
  QCOMPARE(other.Form().CurrentSettings().Target, project::TSaverTarget::Linux);
}

// Styles the list does not offer (7), outside the catalogue or not numbers tick nothing.
void ProjectTests::loadTicksOnlyOfferedStyles() {
  TFormRig rig;
  const QString file = rig.ScratchPath("odd-ticks.kvp");
  WriteFile(file, "[myEffects]\nstyles=7,86,abc,999,-1,52,\xff\xfe\n[myOptions]\nMask=yes\n");
  rig.Form().LoadProjectFile(file);
  QCOMPARE(rig.Control<TCheckListBox>("lbx_effects")->CheckedData(), (std::vector<int>{52, 86}));
  QVERIFY(!rig.Control<QCheckBox>("chkMask")->isChecked());
}

void ProjectTests::loadCancelledChangesNothing() {
  TFormRig rig;
  rig.Control<QAction>("LoadProject1")->trigger();
  QCOMPARE(QString::fromStdString(rig.Form().ProjectFileName()), QString("temp.kvp"));
  QCOMPARE(rig.Form().State().SaverKind, 0);
}

void ProjectTests::loadClampsTheGroups() {
  TFormRig rig;
  const QString file = rig.ScratchPath("odd.kvp");
  rig.Control<TRadioGroup>("RdoGpQuitMode")->Button(3)->click();
  WriteFile(file, "[saverType]\ntype=pic\n[myOptions]\nquitMode=-5\n[myBuild]\nOutType=7\n");
  rig.Form().LoadProjectFile(file);
  QCOMPARE(rig.Control<TRadioGroup>("RdoGpQuitMode")->ItemIndex(), -1);
  QCOMPARE(rig.Form().State().QuitMode, 4);  // no item selected: unchanged
  QCOMPARE(rig.Control<TRadioGroup>("RdoGpOutType")->ItemIndex(), 1);
  WriteFile(file, "[myOptions]\nquitMode=9\n");
  rig.Form().LoadProjectFile(file);
  QCOMPARE(rig.Control<TRadioGroup>("RdoGpQuitMode")->ItemIndex(), 4);
  QCOMPARE(rig.Form().State().QuitMode, 5);
}

void ProjectTests::shortcutsOpenTheDialogs() {
  TFormRig rig;
  QVERIFY(rig.Activate());
  QTest::keyClick(&rig.Form(), Qt::Key_O, Qt::ControlModifier);
  QTest::keyClick(&rig.Form(), Qt::Key_S, Qt::ControlModifier);
  QCOMPARE(rig.Dialogs.TakeLog(), (QStringList{"open", "save"}));
}

int RunProjectTests(int argc, char** argv) {
  ProjectTests tests;
  return QTest::qExec(&tests, argc, argv);
}

}  // namespace kestrava::test

#include "ProjectTests.moc"
