// The Build command (the Build button, "&Build Project" and F5), and Preview and Install of the
// built saver, a Linux or a Windows one.

#include <algorithm>
#include <filesystem>
#include <system_error>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolButton>

#include "app/BuildProgress.h"
#include "app/RadioGroup.h"
#include "app/SaverForm.h"
#include "app/SpinEdit.h"
#include "app/WizardTexts.h"
#include "app/widgets/CheckListBox.h"
#include "app/widgets/TextListBox.h"
#include "platform/Desktop.h"
#include "platform/WindowsSaver.h"
#include "saver/BuildCommand.h"

namespace kestrava {

namespace {

QString InformationCaption() {
  return QString::fromUtf8(kInformationCaption.data(), qsizetype(kInformationCaption.size()));
}

}  // namespace

// What the build asks of the wizard while it runs.
class TSaverForm::TFormBuildFeedback : public IBuildFeedback {
 public:
  explicit TFormBuildFeedback(TSaverForm& form) : form_(form), progress_(form) {}

  void BusyCursor(bool busy) override {
    if (busy) {
      QApplication::setOverrideCursor(Qt::BusyCursor);
      form_.SetInputEnabled(false);
    } else {
      progress_.Close();
      form_.SetInputEnabled(true);
      QApplication::restoreOverrideCursor();
    }
  }
  void ShowBuildPage() override {
    if (form_.ActivePage() != PageBuild) form_.ShowPage(PageBuild);
  }
  void StopMusicPreview() override { form_.StopMusicIfPlaying(); }
  void ShowMessage(std::string_view text, TMessageKind kind) override {
    progress_.Close();
    const QString message = QString::fromUtf8(text.data(), qsizetype(text.size()));
    if (kind == TMessageKind::Information)
      form_.services_.Dialogs->ShowInformation(&form_, message, InformationCaption());
    else if (kind == TMessageKind::Error)
      form_.services_.Dialogs->ReportError(&form_, message);
    else
      form_.services_.Dialogs->ShowMessage(&form_, message);
  }
  void PictureWritten(size_t index, size_t count, const std::string&) override {
    progress_.PictureWritten(index, count);
  }

 private:
  TSaverForm& form_;
  TBuildProgress progress_;
};

// While a build runs the wizard takes no input, but its windows keep being painted and the
// build's message boxes (children of the window, not of its pages) stay usable.
void TSaverForm::SetInputEnabled(bool enabled) {
  building_ = !enabled;
  scPageWiz->setEnabled(enabled);
  menuBar_->setEnabled(enabled);
  for (QAction* command : commands_)
    command->setEnabled(enabled);
}

void TSaverForm::scButBuildClick() {
  if (building_) return;
  Guarded([this] {
    TBuildRequest request;
    request.Kind = state_.SaverKind == 0 ? TSaverKind::Pictures : TSaverKind::Flash;
    for (const QString& source : lbSourcefiles->Items())
      request.Sources.push_back(source.toStdString());
    for (const QString& music : lbMusicFiles->Items())
      request.Music.push_back(music.toStdString());
    request.TickedStyles = lbx_effects->CheckedData();
    request.QuitMode = state_.QuitMode;
    request.IntervalSeconds = SpnDelayTime->Value();
    request.UseMask = !state_.MaskFileName.empty();
    request.MaskFileName = state_.MaskFileName;
    request.ProgramDir = services_.ProgramDir;
    request.Screen = services_.ScreenSize();
    const project::TProjectSettings shown = CurrentSettings();
    request.Fit = {TFitMode(std::max(shown.FitMode, 0)), shown.Smooth};
    request.OutputDir = state_.OutputDir;
    request.OutputName = edtOutputName->text().toStdString();
    request.OutputType = RdoGpOutType->ItemIndex();
    request.Target = ChosenTarget();
    request.Resources = services_.Resources;
    if (!session_.FileName().empty())
      request.ProjectFile = project::ResolveProjectFile(session_.FileName());

    TFormBuildFeedback feedback(*this);
    const TBuildResult result = RunBuild(request, feedback);
    if (result.BuiltSaverPath) state_.BuiltSaverPath = *result.BuiltSaverPath;
    // A failed build leaves the earlier saver in place, and with it the earlier system.
    if (result.Built) {
      state_.BuiltTarget = request.Target;
      ShowBuiltGlyphs();
      state_.SaverBuilt = true;
    }
  });
}

// Nothing sets the buttons back: they keep the built look for the rest of the run.
void TSaverForm::ShowBuiltGlyphs() {
  btnPreview->setIcon(btnpre_temp->icon());
  btnSetup->setIcon(btnsetup_temp->icon());
}

bool TSaverForm::BuiltFileExists() const {
  std::error_code error;
  return !state_.BuiltSaverPath.empty() &&
         std::filesystem::is_regular_file(state_.BuiltSaverPath, error);
}

void TSaverForm::ShowMustBuildFirst() {
  services_.Dialogs->ShowInformation(this, texts::kMustBuildFirst, texts::kTitle);
}

void TSaverForm::btnPreviewClick() {
  Guarded([this] {
    if (!BuiltFileExists()) {
      ShowMustBuildFirst();
      return;
    }
    // A saver that cannot be started is not reported; a Windows one without Wine here is tried
    // on a Windows PC, which the user is told how to do.
    if (state_.BuiltTarget == project::TSaverTarget::Windows) {
      if (!services_.Desktop->StartWindowsSaver(state_.BuiltSaverPath))
        services_.Dialogs->ShowInformation(
            this, QString::fromStdString(WindowsPreviewAdvice(state_.BuiltSaverPath)),
            InformationCaption());
      return;
    }
    services_.Desktop->StartDetached(state_.BuiltSaverPath);
  });
}

void TSaverForm::btnSetupClick() {
  Guarded([this] {
    if (!BuiltFileExists()) {
      ShowMustBuildFirst();
      return;
    }
    // A Windows saver is installed on the Windows PC; this desktop's settings stay as they are.
    if (state_.BuiltTarget == project::TSaverTarget::Windows) {
      services_.Dialogs->ShowInformation(
          this, QString::fromStdString(WindowsInstallAdvice(state_.BuiltSaverPath)),
          InformationCaption());
      return;
    }
    // An install that fails ends here: its error is reported and the settings stay closed.
    services_.Desktop->InstallSaver(state_.BuiltSaverPath);
    const TSaverHost host = services_.Desktop->SaverHost();
    services_.Dialogs->ShowInformation(
        this, QString::fromStdString(InstallReport(state_.BuiltSaverPath, host)),
        InformationCaption());
    // Its settings let the user set the time until the saver starts, where it will run at all.
    if (host.XScreenSaverInstalled && !host.Wayland) services_.Desktop->OpenSaverSettings();
  });
}

}  // namespace kestrava
