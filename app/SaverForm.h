#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QList>
#include <QString>
#include <QWidget>

#include "app/WizardServices.h"
#include "project/ProjectSession.h"
#include "project/ProjectSettings.h"

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidgetItem;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;

namespace kestrava {

class AppMessageFilter;
class TCheckListBox;
class TClickableImage;
class TFlashPreview;
class TPictureView;
class TRadioGroup;
class TSpinEdit;
class TTextListBox;
class TTransitionPlayerWidget;

// The program-wide state of the wizard, as its pages and the build read it.
struct TWizardState {
  uint8_t SaverKind = 0;  // 0 picture slide show, 1 Flash movies
  int32_t QuitMode = 1;   // 1..5, the quit-mode item + 1
  std::string MaskFileName;
  std::string OutputDir;  // ends in "/"
  std::string BuiltSaverPath;
  project::TSaverTarget BuiltTarget = project::TSaverTarget::Linux;  // of the last built saver
  std::string DerivedOutputName;  // the output name last taken from the first source
  bool SaverBuilt = false;
  uint8_t PreviewCursor = 0;  // the source the next effect preview uses
};

// The wizard window: six pages in a page control, the menus, and the handlers that keep the
// program-wide state in step with the controls. The handlers carry the names of the events they
// answer; the ones that answer a control can also be called directly, as the menus do. An error
// inside a handler ends it and goes to the standard error report.
class TSaverForm : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 448;
  static constexpr int kClientHeight = 338;
  enum TPage { PageSaverType, PageSelectFiles, PageSounds, PageOptions, PageEffects, PageBuild };

  explicit TSaverForm(const TWizardServices& services, QWidget* parent = nullptr);
  ~TSaverForm() override;

  const TWizardState& State() const { return state_; }
  // ProjectFileName: the project file the wizard is bound to.
  const std::string& ProjectFileName() const { return session_.FileName(); }
  bool ProjectMatchesFile() const { return session_.MatchesFile(); }
  // What a project file would hold now.
  project::TProjectSettings CurrentSettings() const;
  int ActivePage() const;

  // Shell (menus, pages, kind).
  void scPageWizClick();
  void SaverType1_oldClick();
  void SelectFiles1_oldClick();
  void Souns1_oldClick();
  void Options1_oldClick();
  void Effects1_oldClick();
  void Build1_oldClick();
  void scRdoPicTypeClick();
  void scRdoFlaTypeClick();
  void About1_oldClick();
  void Help2_oldClick();

  // Select Files and Sounds pages.
  void scButton1Click();
  void scButton2Click();
  void scButton3Click();
  void SpeedButton1Click();
  void SpeedButton2Click();
  void SpeedButton3Click();
  void lbSourcefilesClick();
  void scchkPreviewSourceClick();
  void lbSourcefilesMouseMove(QListWidgetItem* item);
  void lbMusicFilesMouseMove(QListWidgetItem* item);
  void scButton5Click();
  void scButton6Click();
  void scButton4Click();
  void SpeedButton4Click();
  void SpeedButton5Click();
  void SpeedButton6Click();
  void SpeedButton7Click();
  // Mode 1 moves the selected entry up, 0 down, 9 reverses the list; others do nothing.
  void ReorderList(TTextListBox& list, int mode);

  // Effects page.
  void lbx_effectsClick();
  void lbx_effectsDblClick();
  void btnSelectEffectsClick();

  // Options and Build pages.
  void RdoGpQuitModeClick();
  void imgmask1Click();
  void chkMaskClick();
  void SpeedButton8Click();
  void ChooseOutputDir();
  void edtOutPathChange();
  void scButBuildClick();
  void btnPreviewClick();
  void btnSetupClick();

  // Project menu.
  void LoadProject1Click();
  void SaveProject1Click();
  void SaveProjectAs1Click();
  // Mode 0 saves to the bound file, mode 1 asks for a name first; other modes save nothing.
  void SaveProjectFile(int mode);
  void LoadProjectFile(const QString& path);
  // The close check; false keeps the window open.
  bool FormCloseQuery();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  class TFormBuildFeedback;

  void FormCreate();
  void CreateShell();
  void CreateMenus();
  QWidget* CreateTypePage();
  QWidget* CreateSourcePage();
  QWidget* CreateSoundsPage();
  QWidget* CreateOptionsPage();
  QWidget* CreateEffectsPage();
  QWidget* CreateBuildPage();
  QPushButton* AddNextButton(QWidget* page, void (TSaverForm::*handler)());
  QWidget* AddPreviewPanel(QWidget* page, QCheckBox* box, const char* panelName);
  void ConnectListPages();
  void ConnectEffectsPage();
  void ConnectOptionPages();
  void FillEffectList();

  // Runs a handler's body; an error ends it and is reported.
  void Guarded(const std::function<void()>& body);
  void ReportError(const QString& text);

  void ShowPage(int page);  // sets the page, then runs scPageWizClick
  void SetPageQuietly(int page);
  void StopMusicIfPlaying();
  void SelectRowQuietly(TTextListBox& list, int row);
  void PreviewSource();  // the source preview; throws the reader's error
  void SetSourceFromFirst();
  void RemoveSelected(TTextListBox& list, QLabel& label, bool isSourceList);
  void SwapTexts(TTextListBox& list, int a, int b);
  void SetMaskFrame(bool framed);
  void ApplySettings(const project::TProjectSettings& settings);
  bool SaveProjectAs();  // false when no name was given
  bool SaveForClose();
  void ShowBuiltGlyphs();
  void ShowMustBuildFirst();
  bool BuiltFileExists() const;
  project::TSaverTarget ChosenTarget() const;
  void SetInputEnabled(bool enabled);

  TWizardServices services_;
  TWizardState state_;
  project::TProjectSession session_;
  bool building_ = false;
  AppMessageFilter* messageFilter_ = nullptr;

  // Shell.
  QMenuBar* menuBar_ = nullptr;
  QList<QAction*> viewItems_;  // in page order
  QList<QAction*> commands_;   // every menu command, switched off while a build runs
  QTabWidget* scPageWiz = nullptr;

  // Saver Type page.
  QRadioButton* scRdoPicType = nullptr;
  QRadioButton* scRdoFlaType = nullptr;

  // Select Files page.
  TTextListBox* lbSourcefiles = nullptr;
  QPushButton* scButton1 = nullptr;
  QPushButton* scButton2 = nullptr;
  QPushButton* scButton3 = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QToolButton* SpeedButton2 = nullptr;
  QToolButton* SpeedButton3 = nullptr;
  QFrame* bvlpreview = nullptr;
  TPictureView* imgpreview = nullptr;
  TFlashPreview* swfPreview = nullptr;
  QCheckBox* scchkPreviewSource = nullptr;
  QLabel* lblfullname = nullptr;

  // Sounds page.
  TTextListBox* lbMusicFiles = nullptr;
  QPushButton* scButton5 = nullptr;
  QPushButton* scButton6 = nullptr;
  QPushButton* scButton4 = nullptr;
  QToolButton* SpeedButton4 = nullptr;
  QToolButton* SpeedButton5 = nullptr;
  QToolButton* SpeedButton6 = nullptr;
  QToolButton* SpeedButton7 = nullptr;
  QLabel* lblfullnamemusic = nullptr;

  // Options page.
  TRadioGroup* RdoGpQuitMode = nullptr;
  QGroupBox* grpInterval = nullptr;
  TSpinEdit* SpnDelayTime = nullptr;
  QCheckBox* chkMask = nullptr;
  QFrame* pnlmask1 = nullptr;
  TClickableImage* imgmask1 = nullptr;
  // How pictures meet the screen: shrink only 0, fit 1, fill 2; resampled smoothly or not.
  TRadioGroup* RdoGpFitMode = nullptr;
  QCheckBox* chkSmooth = nullptr;

  // Effects page.
  TCheckListBox* lbx_effects = nullptr;
  QPushButton* btnSelectEffects = nullptr;
  QFrame* pnl_effectpre = nullptr;
  TTransitionPlayerWidget* TransitionPlayer1 = nullptr;
  QCheckBox* scchkPreviewEffect = nullptr;

  // Build page.
  QLineEdit* edtOutPath = nullptr;
  QToolButton* SpeedButton8 = nullptr;
  QLineEdit* edtOutputName = nullptr;
  TRadioGroup* RdoGpOutType = nullptr;
  TRadioGroup* RdoGpTarget = nullptr;  // the system the saver is made for: Linux 0, Windows 1
  QToolButton* btnPreview = nullptr;
  QToolButton* btnSetup = nullptr;
  QToolButton* scButBuild = nullptr;
  QToolButton* btnpre_temp = nullptr;
  QToolButton* btnsetup_temp = nullptr;
};

}  // namespace kestrava
