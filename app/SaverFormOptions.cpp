// The Options and Build pages: quit mode, interval and mask; the output folder, name and type,
// the system the saver is made for, and the Preview, Install and Build buttons (whose handlers live
// in SaverFormBuild.cpp).

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QToolButton>

#include "app/ClickableImage.h"
#include "app/Glyphs.h"
#include "app/RadioGroup.h"
#include "app/SaverForm.h"
#include "app/SpinEdit.h"
#include "app/WizardTexts.h"

namespace kestrava {

namespace {

constexpr QSize kMaskPicture(49, 33);

QLabel* CaptionPanel(QWidget* page, const QString& text, const QRect& place) {
  auto* panel = new QLabel(text, page);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  panel->setGeometry(place);
  return panel;
}

QToolButton* BigButton(QWidget* page, const char* name, const QString& caption, const char* glyph,
                       int x) {
  auto* button = new QToolButton(page);
  button->setObjectName(name);
  button->setAutoRaise(true);
  button->setText(caption);
  button->setIcon(Glyph(glyph));
  button->setIconSize(QSize(24, 24));
  button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  button->setGeometry(x, 200, 57, 49);
  return button;
}

}  // namespace

QWidget* TSaverForm::CreateOptionsPage() {
  auto* page = new QWidget;
  page->setObjectName("tab_options");
  RdoGpQuitMode = new TRadioGroup(
      "Quit mode  (Wake up  on)",
      {"Mouse move", "Mouse click", "Key press", "Either one of the three", "None (Alt + F4)"}, 1,
      page);
  RdoGpQuitMode->setObjectName("RdoGpQuitMode");
  RdoGpQuitMode->setGeometry(8, 8, 193, 201);
  RdoGpQuitMode->SetItemIndex(0);

  grpInterval = new QGroupBox(" Interval ", page);
  grpInterval->setObjectName("grpInterval");
  grpInterval->setGeometry(208, 8, 185, 81);
  auto* intervalLabel = new QLabel("Interval between two images:", grpInterval);
  intervalLabel->setObjectName("lblInterval");
  intervalLabel->setToolTip("Interval between two images");
  intervalLabel->setGeometry(15, 24, 165, 15);
  SpnDelayTime = new TSpinEdit(grpInterval);
  SpnDelayTime->setObjectName("SpnDelayTime");
  SpnDelayTime->setGeometry(16, 39, 49, 22);
  SpnDelayTime->SetValue(8);
  auto* seconds = new QLabel("seconds", grpInterval);
  seconds->setObjectName("lblSeconds");
  seconds->setGeometry(73, 48, 100, 13);

  auto* maskGroup = new QGroupBox(" Image mask ", page);
  maskGroup->setObjectName("grpMask");
  maskGroup->setGeometry(208, 104, 185, 105);
  chkMask = new QCheckBox(" use mask on pictures", maskGroup);
  chkMask->setObjectName("chkMask");
  chkMask->setGeometry(16, 20, 165, 22);
  pnlmask1 = new QFrame(maskGroup);
  pnlmask1->setObjectName("pnlmask1");
  pnlmask1->move(17, 54);
  imgmask1 = new TClickableImage(pnlmask1);
  imgmask1->setObjectName("imgmask1");
  imgmask1->setPixmap(StoredPicture("mask-thumb.jpg"));
  SetMaskFrame(false);

  RdoGpFitMode = new TRadioGroup(
      texts::kFitCaption, {texts::kShrinkOnly, texts::kFitScreen, texts::kFillScreen}, 3, page);
  RdoGpFitMode->setObjectName("RdoGpFitMode");
  RdoGpFitMode->setGeometry(8, 212, 240, 41);
  RdoGpFitMode->SetItemIndex(0);
  RdoGpFitMode->setToolTip(
      "Shrink: pictures larger than the screen are shrunk, smaller ones keep their size.\n"
      "Fit: every picture as large as the screen allows.\n"
      "Fill: every picture covers the whole screen, its overflow cut off evenly.");
  chkSmooth = new QCheckBox(texts::kSmoothCaption, page);
  chkSmooth->setObjectName("chkSmooth");
  chkSmooth->setGeometry(252, 226, 62, 22);
  chkSmooth->setToolTip("Resize pictures with a smoothing filter instead of dropping pixels");
  chkSmooth->setChecked(true);

  AddNextButton(page, &TSaverForm::Effects1_oldClick);
  return page;
}

QWidget* TSaverForm::CreateBuildPage() {
  auto* page = new QWidget;
  page->setObjectName("tab_build");
  CaptionPanel(page, "     Screen Saver OutPut Path:", {16, 24, 377, 25})
      ->setObjectName("pnlOutPath");
  edtOutPath = new QLineEdit(page);
  edtOutPath->setObjectName("edtOutPath");
  // Chosen through the folder button only; the greyed base shows that typing is not possible.
  edtOutPath->setReadOnly(true);
  QPalette readOnly = edtOutPath->palette();
  readOnly.setColor(QPalette::Base, readOnly.color(QPalette::Window));
  edtOutPath->setPalette(readOnly);
  edtOutPath->setGeometry(16, 64, 345, 20);
  SpeedButton8 = new QToolButton(page);
  SpeedButton8->setObjectName("SpeedButton8");
  SpeedButton8->setAutoRaise(true);
  SpeedButton8->setIcon(Glyph("folder"));
  SpeedButton8->setToolTip(texts::kChooseFolderTitle);
  SpeedButton8->setGeometry(370, 64, 23, 22);

  CaptionPanel(page, "     Screen Saver OutPut File Name:", {16, 96, 377, 25})
      ->setObjectName("pnlOutName");
  edtOutputName = new QLineEdit(page);
  edtOutputName->setObjectName("edtOutputName");
  edtOutputName->setGeometry(16, 148, 113, 20);
  RdoGpOutType = new TRadioGroup(" Output File Type ", {".scr", ".exe"}, 2, page);
  RdoGpOutType->setObjectName("RdoGpOutType");
  RdoGpOutType->setGeometry(152, 128, 241, 41);
  RdoGpOutType->SetItemIndex(0);
  RdoGpTarget =
      new TRadioGroup(texts::kTargetCaption, {texts::kLinuxTarget, texts::kWindowsTarget}, 1, page);
  RdoGpTarget->setObjectName("RdoGpTarget");
  RdoGpTarget->setGeometry(16, 180, 197, 69);
  RdoGpTarget->SetItemIndex(0);

  btnPreview = BigButton(page, "btnPreview", "Preview", "preview", 223);
  btnSetup = BigButton(page, "btnSetup", "Install", "install", 280);
  scButBuild = BigButton(page, "scButBuild", "Build", "build", 337);
  // Hidden carriers of the built-state pictures.
  btnpre_temp = BigButton(page, "btnpre_temp", "temp", "preview-built", 0);
  btnpre_temp->hide();
  btnsetup_temp = BigButton(page, "btnsetup_temp", "temp", "install-built", 0);
  btnsetup_temp->hide();
  return page;
}

void TSaverForm::ConnectOptionPages() {
  connect(RdoGpQuitMode, &TRadioGroup::Click, this, [this] { RdoGpQuitModeClick(); });
  connect(imgmask1, &TClickableImage::Clicked, this, [this] { imgmask1Click(); });
  connect(chkMask, &QCheckBox::toggled, this, [this] { chkMaskClick(); });
  connect(SpeedButton8, &QToolButton::clicked, this, [this] { SpeedButton8Click(); });
  connect(edtOutPath, &QLineEdit::textChanged, this, [this] { edtOutPathChange(); });
  connect(scButBuild, &QToolButton::clicked, this, [this] { scButBuildClick(); });
  connect(btnPreview, &QToolButton::clicked, this, [this] { btnPreviewClick(); });
  connect(btnSetup, &QToolButton::clicked, this, [this] { btnSetupClick(); });
}

void TSaverForm::RdoGpQuitModeClick() {
  state_.QuitMode = RdoGpQuitMode->ItemIndex() + 1;
}

// The panel fits its picture; the frame, when shown, goes around it.
void TSaverForm::SetMaskFrame(bool framed) {
  if (framed) {
    pnlmask1->setFrameShape(QFrame::WinPanel);
    pnlmask1->setFrameShadow(QFrame::Raised);
  } else {
    pnlmask1->setFrameShape(QFrame::NoFrame);
  }
  const int border = pnlmask1->frameWidth();
  imgmask1->setGeometry(QRect(QPoint(border, border), kMaskPicture));
  pnlmask1->resize(kMaskPicture + QSize(2 * border, 2 * border));
}

void TSaverForm::imgmask1Click() {
  SetMaskFrame(true);
  state_.MaskFileName = texts::kMaskFileName;
  // Ticking raises chkMaskClick, which comes back here once; the box is ticked by then.
  chkMask->setChecked(true);
}

void TSaverForm::chkMaskClick() {
  if (chkMask->isChecked()) {
    imgmask1Click();
    return;
  }
  SetMaskFrame(false);
  state_.MaskFileName.clear();
}

void TSaverForm::SpeedButton8Click() {
  ChooseOutputDir();
}

void TSaverForm::ChooseOutputDir() {
  const std::optional<QString> folder =
      services_.Dialogs->ChooseFolder(this, texts::kChooseFolderTitle);
  if (!folder || folder->isEmpty()) return;
  QString path = *folder;
  if (!path.endsWith('/')) path += '/';
  edtOutPath->setText(path);
}

void TSaverForm::edtOutPathChange() {
  state_.OutputDir = edtOutPath->text().toStdString();
}

}  // namespace kestrava
