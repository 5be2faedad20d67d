// The Project menu and the close question: the settings the controls hold, saved to and loaded
// from project files through the project session.

#include <algorithm>

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>

#include "app/RadioGroup.h"
#include "app/SaverForm.h"
#include "app/SpinEdit.h"
#include "app/widgets/CheckListBox.h"
#include "app/widgets/TextListBox.h"
#include "project/ProjectFile.h"

namespace kestrava {

namespace {

std::vector<std::string> ToStrings(const QStringList& texts) {
  std::vector<std::string> strings;
  strings.reserve(size_t(texts.size()));
  for (const QString& text : texts)
    strings.push_back(text.toStdString());
  return strings;
}

QStringList ToTexts(const std::vector<std::string>& strings) {
  QStringList texts;
  texts.reserve(qsizetype(strings.size()));
  for (const std::string& string : strings)
    texts.append(QString::fromStdString(string));
  return texts;
}

}  // namespace

project::TProjectSettings TSaverForm::CurrentSettings() const {
  project::TProjectSettings settings;
  settings.Kind =
      scRdoPicType->isChecked() ? project::TSaverKind::Pictures : project::TSaverKind::Flash;
  settings.Sources = ToStrings(lbSourcefiles->Items());
  settings.MusicFiles = ToStrings(lbMusicFiles->Items());
  settings.QuitIndex = RdoGpQuitMode->ItemIndex();
  settings.Interval = SpnDelayTime->Value();
  settings.OutPath = edtOutPath->text().toStdString();
  settings.OutName = edtOutputName->text().toStdString();
  settings.OutType = RdoGpOutType->ItemIndex();
  settings.Styles = lbx_effects->CheckedData();
  std::sort(settings.Styles.begin(), settings.Styles.end());
  settings.Mask = chkMask->isChecked();
  settings.FitMode = RdoGpFitMode->ItemIndex();
  settings.Smooth = chkSmooth->isChecked();
  settings.Target = ChosenTarget();
  return settings;
}

project::TSaverTarget TSaverForm::ChosenTarget() const {
  return RdoGpTarget->ItemIndex() == 1 ? project::TSaverTarget::Windows
                                       : project::TSaverTarget::Linux;
}

// Loading shows the settings in the controls; a kind, quit mode or mask that really changes runs
// its handler. Stored styles the list does not offer tick nothing. The previews and build state
// stay.
void TSaverForm::ApplySettings(const project::TProjectSettings& settings) {
  if (settings.Kind == project::TSaverKind::Pictures)
    scRdoPicType->setChecked(true);
  else
    scRdoFlaType->setChecked(true);
  for (auto [list, entries] : {std::pair{lbSourcefiles, &settings.Sources},
                               std::pair{lbMusicFiles, &settings.MusicFiles}}) {
    const QSignalBlocker quiet(list);
    list->SetItems(ToTexts(*entries));
    if (list->count() > 0) list->setCurrentRow(0);
  }
  RdoGpQuitMode->SetItemIndex(settings.QuitIndex);
  SpnDelayTime->SetValue(settings.Interval);
  edtOutPath->setText(QString::fromStdString(settings.OutPath));
  edtOutputName->setText(QString::fromStdString(settings.OutName));
  RdoGpOutType->SetItemIndex(settings.OutType);
  for (int row = 0; row < lbx_effects->count(); ++row)
    lbx_effects->SetChecked(row, std::binary_search(settings.Styles.begin(), settings.Styles.end(),
                                                    lbx_effects->Data(row)));
  chkMask->setChecked(settings.Mask);
  RdoGpFitMode->SetItemIndex(settings.FitMode);
  chkSmooth->setChecked(settings.Smooth);
  RdoGpTarget->SetItemIndex(settings.Target == project::TSaverTarget::Windows ? 1 : 0);
  // A loaded name that is the first source's own counts as derived, not as typed.
  state_.DerivedOutputName =
      settings.Sources.empty() ? "" : project::OutputNameFromSource(settings.Sources.front());
}

void TSaverForm::LoadProject1Click() {
  Guarded([this] {
    TOpenFilesRequest request;
    request.Filters = {{"Kestrava Project Files (kvp)", {"*.kvp"}}};
    request.InitialDir = QString::fromStdString(services_.ProgramDir.string());
    const QStringList files = services_.Dialogs->OpenFiles(this, request);
    if (files.isEmpty() || files.front().isEmpty()) return;
    LoadProjectFile(files.front());
  });
}

void TSaverForm::LoadProjectFile(const QString& path) {
  ApplySettings(session_.Load(path.toStdString(), CurrentSettings()));
}

void TSaverForm::SaveProject1Click() {
  SaveProjectFile(session_.SaveNeedsName() ? 1 : 0);
}

void TSaverForm::SaveProjectAs1Click() {
  SaveProjectFile(1);
}

bool TSaverForm::SaveProjectAs() {
  TSaveFileRequest request;
  request.Filters = {{"*.kvp", {"*.kvp"}}};
  request.InitialDir = QString::fromStdString(services_.ProgramDir.string());
  if (const auto suggestion = session_.SaveAsSuggestion(edtOutputName->text().toStdString()))
    request.SuggestedName = QString::fromStdString(*suggestion);
  request.DefaultSuffix = "kvp";
  const std::optional<QString> name = services_.Dialogs->SaveFile(this, request);
  if (!name || name->isEmpty()) return false;
  session_.SaveAs(name->toStdString(), CurrentSettings());
  return true;
}

void TSaverForm::SaveProjectFile(int mode) {
  Guarded([&] {
    if (mode == 1)
      SaveProjectAs();
    else if (mode == 0)
      session_.Save(CurrentSettings());
  });
}

bool TSaverForm::FormCloseQuery() {
  bool ask = false;
  Guarded([&] { ask = session_.ShouldAskToSave(CurrentSettings()); });
  if (!ask) return true;
  const TCloseAnswer answer = services_.Dialogs->AskToSave(
      this,
      QString::fromUtf8(project::kSaveQuestion.data(), qsizetype(project::kSaveQuestion.size())),
      QString::fromUtf8(project::kSaveQuestionCaption.data(),
                        qsizetype(project::kSaveQuestionCaption.size())));
  if (answer == TCloseAnswer::No) return true;
  if (answer == TCloseAnswer::Cancel) return false;
  return SaveForClose();
}

// Yes keeps the window open until the settings are safe: a save that fails is reported, and a
// wizard never saved under a name asks for one, since "temp.kvp" is overwritten at the next
// start.
bool TSaverForm::SaveForClose() {
  try {
    if (session_.SaveNeedsName()) return SaveProjectAs();
    session_.Save(CurrentSettings());
    return true;
  } catch (const std::exception& e) {
    ReportError(QString::fromStdString(e.what()));
    return false;
  }
}

}  // namespace kestrava
