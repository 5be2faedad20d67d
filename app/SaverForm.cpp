// The wizard's shell: the window, its menus, the page control, the Saver Type page, page
// navigation, the kind switch, the about box and the help.

#include "app/SaverForm.h"

#include <exception>
#include <stdexcept>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>

#include "app/AboutBox.h"
#include "app/AppMessageFilter.h"
#include "app/Glyphs.h"
#include "app/RadioGroup.h"
#include "app/WizardTexts.h"
#include "app/widgets/FlashPreview.h"
#include "platform/Desktop.h"
#include "platform/MusicPreview.h"
#include "project/ProjectLocation.h"

namespace kestrava {

namespace {

// Where the page control and the Next buttons sit.
constexpr QRect kPageControl(16, 40, 417, 281);
constexpr QRect kNextButton(314, 216, 81, 25);
constexpr int kFontPixelSize = 11;

}  // namespace

TSaverForm::TSaverForm(const TWizardServices& services, QWidget* parent)
    : QWidget(parent), services_(services) {
  setObjectName("SaverForm");
  setWindowTitle(texts::kTitle);
  setWindowIcon(QIcon(StoredPicture("icon.png")));
  setFixedSize(kClientWidth, kClientHeight);
  // The window is laid out in pixels: its text gets a pixel size to match, in the desktop's
  // own font family.
  QFont font = this->font();
  font.setPixelSize(kFontPixelSize);
  setFont(font);
  CreateShell();
  FormCreate();
}

TSaverForm::~TSaverForm() {
  if (messageFilter_) qApp->removeEventFilter(messageFilter_);
}

void TSaverForm::CreateShell() {
  CreateMenus();
  scPageWiz = new QTabWidget(this);
  scPageWiz->setObjectName("scPageWiz");
  scPageWiz->setGeometry(kPageControl);
  scPageWiz->addTab(CreateTypePage(), "Saver Type");
  scPageWiz->addTab(CreateSourcePage(), "Select Files");
  scPageWiz->addTab(CreateSoundsPage(), "Sounds");
  scPageWiz->addTab(CreateOptionsPage(), "Options");
  scPageWiz->addTab(CreateEffectsPage(), "Effects");
  scPageWiz->addTab(CreateBuildPage(), "Build");
  // A tab click (or Ctrl+Tab) has switched the page already; code switches pages quietly and
  // runs the handler itself.
  connect(scPageWiz, &QTabWidget::currentChanged, this, [this] { scPageWizClick(); });
  ConnectListPages();
  ConnectEffectsPage();
  ConnectOptionPages();
}

void TSaverForm::CreateMenus() {
  menuBar_ = new QMenuBar(this);
  menuBar_->setObjectName("MainMenu");
  menuBar_->setNativeMenuBar(false);
  const auto command = [this](QMenu* menu, const char* name, const QString& caption,
                              void (TSaverForm::*handler)(), QKeySequence key = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(key);
    // The shortcuts work from every page, whatever has the focus.
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    commands_.append(action);
    return action;
  };

  QMenu* project = menuBar_->addMenu("&Project");
  command(project, "LoadProject1", "&Load Project", &TSaverForm::LoadProject1Click,
          QKeySequence(Qt::CTRL | Qt::Key_O));
  command(project, "SaveProject1", "&Save Project", &TSaverForm::SaveProject1Click,
          QKeySequence(Qt::CTRL | Qt::Key_S));
  command(project, "SaveProjectAs1", "Save Project &As", &TSaverForm::SaveProjectAs1Click);
  project->addSeparator();
  command(project, "BuildProject1", "&Build Project", &TSaverForm::scButBuildClick,
          QKeySequence(Qt::Key_F5));

  QMenu* view = menuBar_->addMenu("&View");
  const struct {
    const char* Name;
    const char* Caption;
    void (TSaverForm::*Handler)();
  } viewItems[] = {
      {"SaverType1_old", "Saver &Type", &TSaverForm::SaverType1_oldClick},
      {"SelectFiles1_old", "Select &Files", &TSaverForm::SelectFiles1_oldClick},
      {"Souns1_old", "&Sounds", &TSaverForm::Souns1_oldClick},
      {"Options1_old", "&Options", &TSaverForm::Options1_oldClick},
      {"Effects1_old", "&Effects", &TSaverForm::Effects1_oldClick},
      {"Build1_old", "&Build", &TSaverForm::Build1_oldClick},
  };
  for (const auto& item : viewItems) {
    QAction* action = command(view, item.Name, item.Caption, item.Handler);
    action->setCheckable(true);
    viewItems_.append(action);
  }
  viewItems_.front()->setChecked(true);

  QMenu* help = menuBar_->addMenu("&Help");
  command(help, "About1_old", "&About", &TSaverForm::About1_oldClick);
  command(help, "Help2_old", "&Help", &TSaverForm::Help2_oldClick);

  menuBar_->setGeometry(0, 0, kClientWidth, menuBar_->sizeHint().height());
}

QPushButton* TSaverForm::AddNextButton(QWidget* page, void (TSaverForm::*handler)()) {
  auto* next = new QPushButton(texts::kNext, page);
  next->setObjectName(QStringLiteral("btnNext%1").arg(scPageWiz ? scPageWiz->count() : 0));
  next->setFlat(true);
  next->setGeometry(kNextButton);
  connect(next, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
  return next;
}

QWidget* TSaverForm::CreateTypePage() {
  auto* page = new QWidget;
  page->setObjectName("tab_type");
  auto* prompt = new QLabel("Please select which type of Screen Saver you want to build:", page);
  prompt->setObjectName("lblSaverType");
  prompt->setStyleSheet("color: green;");
  prompt->setGeometry(16, 24, 385, 20);

  auto* group = new QFrame(page);
  group->setObjectName("pnlSaverType");
  group->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  group->setGeometry(16, 56, 377, 105);
  scRdoPicType = new QRadioButton("Images slide show (.jpg, .bmp, .gif)", group);
  scRdoPicType->setObjectName("scRdoPicType");
  scRdoPicType->setGeometry(24, 22, 340, 22);
  scRdoPicType->setChecked(true);
  scRdoFlaType = new QRadioButton("Flash animations (.swf)", group);
  scRdoFlaType->setObjectName("scRdoFlaType");
  scRdoFlaType->setGeometry(24, 60, 340, 22);
  // Both buttons share their parent, which makes them one exclusive group. Only a change
  // reaches the handlers: the button already checked raises nothing.
  connect(scRdoPicType, &QRadioButton::toggled, this, [this](bool on) {
    if (on) scRdoPicTypeClick();
  });
  connect(scRdoFlaType, &QRadioButton::toggled, this, [this](bool on) {
    if (on) scRdoFlaTypeClick();
  });
  AddNextButton(page, &TSaverForm::SelectFiles1_oldClick);
  return page;
}

void TSaverForm::FormCreate() {
  messageFilter_ = new AppMessageFilter(*swfPreview, this);
  qApp->installEventFilter(messageFilter_);
  QString outputDir =
      QString::fromStdString(project::StartOutputFolder(services_.ProgramDir).string());
  if (!outputDir.endsWith('/')) outputDir += '/';
  edtOutPath->setText(outputDir);
  state_.OutputDir = edtOutPath->text().toStdString();
  SetPageQuietly(PageSaverType);
  // The start-up settings become the baseline of the close check.
  Guarded([this] { session_.Start(CurrentSettings()); });
  FillEffectList();
  state_.PreviewCursor = 0;
}

void TSaverForm::Guarded(const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& e) {
    ReportError(QString::fromStdString(e.what()));
  }
}

void TSaverForm::ReportError(const QString& text) {
  services_.Dialogs->ReportError(this, text);
}

int TSaverForm::ActivePage() const {
  return scPageWiz->currentIndex();
}

void TSaverForm::SetPageQuietly(int page) {
  const QSignalBlocker quiet(scPageWiz);
  scPageWiz->setCurrentIndex(page);
}

void TSaverForm::ShowPage(int page) {
  SetPageQuietly(page);
  scPageWizClick();
}

void TSaverForm::StopMusicIfPlaying() {
  if (services_.Music->IsPlaying()) services_.Music->Close();
}

void TSaverForm::scPageWizClick() {
  Guarded([this] {
    if (ActivePage() != PageSounds) StopMusicIfPlaying();
    if (scRdoFlaType->isChecked() && ActivePage() == PageSounds) {
      services_.Dialogs->ShowMessage(this, texts::kNoSoundsForFlash);
      SetPageQuietly(PageOptions);
    }
    for (int k = 0; k < viewItems_.size(); ++k)
      viewItems_[k]->setChecked(ActivePage() == k);
  });
}

void TSaverForm::SaverType1_oldClick() {
  ShowPage(PageSaverType);
}
void TSaverForm::SelectFiles1_oldClick() {
  ShowPage(PageSelectFiles);
}
void TSaverForm::Souns1_oldClick() {
  ShowPage(PageSounds);
}
void TSaverForm::Options1_oldClick() {
  ShowPage(PageOptions);
}
void TSaverForm::Effects1_oldClick() {
  ShowPage(PageEffects);
}
void TSaverForm::Build1_oldClick() {
  ShowPage(PageBuild);
}

// Switching the kind keeps every list: the next preview, build or dialog reads the kind.
void TSaverForm::scRdoPicTypeClick() {
  state_.SaverKind = 0;
  RdoGpQuitMode->SetItemIndex(0);
  scButton5->setEnabled(true);
  grpInterval->setVisible(true);
}

void TSaverForm::scRdoFlaTypeClick() {
  state_.SaverKind = 1;
  RdoGpQuitMode->SetItemIndex(2);
  scButton5->setEnabled(false);
  grpInterval->setVisible(false);
}

void TSaverForm::About1_oldClick() {
  TfrmAbout about(this);
  about.CentreOn(*this);
  services_.Dialogs->RunModal(about);
}

void TSaverForm::Help2_oldClick() {
  Guarded([this] {
    const std::string manual = (services_.ProgramDir / "manual" / "index.html").string();
    if (!services_.Desktop->OpenDocument(manual))
      throw std::runtime_error(
          "Cannot open the manual: neither a web browser nor xdg-open was found to show it. "
          "The manual is the file " +
          manual);
  });
}

void TSaverForm::closeEvent(QCloseEvent* event) {
  // A build pumps events between its pictures; the window stays until it has finished.
  if (building_ || !FormCloseQuery()) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace kestrava
