// The Project menu and the close question.

#include <filesystem>

#include <QAction>
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
  void sameCountsAreNotAChange();
  void flashKindIgnoresTheStoredType();
  void saveGoesThroughSaveAsUntilNamed();
  void saveAsKeepsTheTypedCase();
  void saveErrorIsReported();
  void loadFillsTheControls();
  void loadMissingFileGivesDefaults();
  void loadKeepsTicksMaskAndBuildState();
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

void ProjectTests::sameCountsAreNotAChange() {
  TFormRig rig;
  rig.AddSources({"/p/one.jpg"});
  rig.Dialogs.SaveAnswers.push_back(rig.ScratchPath("counts.kvp"));
  rig.Form().SaveProjectAs1Click();
  auto* sources = rig.Control<TTextListBox>("lbSourcefiles");
  sources->SetItems({"/p/other.jpg"});
  rig.Dialogs.TakeLog();
  QVERIFY(Closes(rig));
  QVERIFY(rig.Dialogs.Log.isEmpty());
}

void ProjectTests::flashKindIgnoresTheStoredType() {
  TFormRig rig;
  const QString file = rig.ScratchPath("pic.kvp");
  rig.Dialogs.SaveAnswers.push_back(file);
  rig.Form().SaveProjectAs1Click();
  // The stored type stays "pic"; with the Flash kind only the quit mode differs then.
  rig.ChooseFlash();
  rig.Control<TRadioGroup>("RdoGpQuitMode")->SetItemIndex(0);
  rig.Dialogs.TakeLog();
  QVERIFY(Closes(rig));
  QVERIFY(rig.Dialogs.Log.isEmpty());
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

void ProjectTests::saveAsKeepsTheTypedCase() {
  TFormRig rig;
  // Another file that a lower-cased name would overwrite.
  const QString other = rig.File("myshow.kvp", "[mine]\nkeep=1\n");
  rig.Dialogs.SaveAnswers.push_back(rig.ScratchPath("MyShow.kvp"));
  rig.Form().SaveProjectAs1Click();
  QVERIFY(QFile::exists(rig.ScratchPath("MyShow.kvp")));
  QCOMPARE(QString::fromStdString(rig.Form().ProjectFileName()), rig.ScratchPath("MyShow.kvp"));
  QFile untouched(other);
  QVERIFY(untouched.open(QIODevice::ReadOnly));
  QCOMPARE(untouched.readAll(), QByteArray("[mine]\nkeep=1\n"));
}

void ProjectTests::saveErrorIsReported() {
  TFormRig rig;
  const QString file = rig.File("blocker") + "/x.kvp";
  rig.Dialogs.SaveAnswers.push_back(file);
  rig.Form().SaveProjectAs1Click();
  QCOMPARE(rig.Dialogs.TakeLog(), (QStringList{"save", "error: Unable to write to " + file}));
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
           (QList<TFileFilter>{{"Brisvane Project Files (kvp)", {"*.kvp"}}}));
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

void ProjectTests::loadKeepsTicksMaskAndBuildState() {
  TFormRig rig;
  auto* effects = rig.Control<TCheckListBox>("lbx_effects");
  effects->SetChecked(3, true);
  rig.Form().imgmask1Click();
  rig.Form().LoadProjectFile(rig.ScratchPath("missing.kvp"));
  QCOMPARE(effects->CheckedData(), std::vector<int>{4});
  QCOMPARE(QString::fromStdString(rig.Form().State().MaskFileName), QString("mask1.jpg"));
  QCOMPARE(rig.Form().State().PreviewCursor, 0);
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
