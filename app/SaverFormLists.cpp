// The Select Files and Sounds pages: the source and music lists, their add dialogs, removing,
// clearing and reordering, the full-path labels, the source preview and the music preview.

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QToolButton>

#include "app/Glyphs.h"
#include "app/ListClickRelay.h"
#include "app/SaverForm.h"
#include "app/WizardTexts.h"
#include "app/widgets/FlashPreview.h"
#include "app/widgets/PictureView.h"
#include "app/widgets/TextListBox.h"
#include "platform/MusicPreview.h"
#include "project/ProjectFile.h"

namespace kestrava {

namespace {

constexpr QSize kPictureSize(167, 135);
constexpr QSize kMovieSize(167, 136);
constexpr QSize kMovieSizeAtStart(168, 136);

// The dialog starts on the first entry: every picture.
QList<TFileFilter> PictureFilters() {
  return {{"All Picture Files",
           {"*.jpeg", "*.jpg", "*.png", "*.webp", "*.heic", "*.heif", "*.bmp", "*.gif"}},
          {"Picture Files (JPEG)", {"*.jpeg", "*.jpg"}},
          {"Picture Files (PNG)", {"*.png"}},
          {"Picture Files (WebP)", {"*.webp"}},
          {"Picture Files (HEIC)", {"*.heic", "*.heif"}},
          {"Picture Files (BMP)", {"*.bmp"}},
          {"Picture Files (GIF)", {"*.gif"}}};
}

QList<TFileFilter> MovieFilters() {
  return {{"Flash Files", {"*.swf"}}};
}

QList<TFileFilter> MusicFilters() {
  return {{"All music files (midi,mp3,wav)", {"*.midi", "*.mid", "*.mp3", "*.wav"}},
          {"Music files (midi)", {"*.midi", "*.mid"}},
          {"Music files (mp3)", {"*.mp3"}},
          {"Music files (wav)", {"*.wav"}}};
}

QPushButton* ListButton(QWidget* page, const char* name, const char* glyph, const QString& hint,
                        int x, int y) {
  auto* button = new QPushButton(page);
  button->setObjectName(name);
  button->setIcon(Glyph(glyph));
  button->setToolTip(hint);
  button->setGeometry(x, y, 25, 25);
  return button;
}

QToolButton* SpeedButton(QWidget* page, const char* name, const char* glyph, const QString& text,
                         const QString& hint, const QRect& place) {
  auto* button = new QToolButton(page);
  button->setObjectName(name);
  button->setAutoRaise(true);
  button->setIcon(Glyph(glyph));
  button->setText(text);
  button->setToolTip(hint);
  button->setToolButtonStyle(text.isEmpty() ? Qt::ToolButtonIconOnly
                                            : Qt::ToolButtonTextBesideIcon);
  button->setGeometry(place);
  return button;
}

TTextListBox* FileList(QWidget* page, const char* name) {
  auto* list = new TTextListBox(page);
  list->setObjectName(name);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setGeometry(8, 8, 221, 166);
  return list;
}

QLabel* FullNameLabel(QWidget* page, const char* name) {
  auto* label = new QLabel(texts::kLabelAtStart, page);
  label->setObjectName(name);
  label->setGeometry(8, 178, 393, 18);
  return label;
}

// Where a control is kept and its object name, which is that member's name.
template <class T>
struct TSlot {
  T*& Control;
  const char* Name;
};

// What both list pages have alike: the list, its full-path label and the buttons under it.
struct TListControls {
  TSlot<TTextListBox> List;
  TSlot<QLabel> FullName;
  TSlot<QPushButton> Add, Remove, Clear;
  TSlot<QToolButton> Up, Down;
};

void AddListControls(QWidget* page, const TListControls& c) {
  c.List.Control = FileList(page, c.List.Name);
  c.FullName.Control = FullNameLabel(page, c.FullName.Name);
  c.Add.Control = ListButton(page, c.Add.Name, "add", texts::kAddItemHint, 8, 206);
  c.Remove.Control = ListButton(page, c.Remove.Name, "remove", "Remove the selected item", 36, 206);
  c.Clear.Control = ListButton(page, c.Clear.Name, "clear", "Remove all items", 64, 206);
  c.Up.Control = SpeedButton(page, c.Up.Name, "up", {}, "Move up", {104, 206, 25, 25});
  c.Down.Control = SpeedButton(page, c.Down.Name, "down", {}, "Move down", {132, 206, 25, 25});
}

}  // namespace

QWidget* TSaverForm::AddPreviewPanel(QWidget* page, QCheckBox* box, const char* panelName) {
  auto* panel = new QFrame(page);
  panel->setObjectName(panelName);
  panel->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  box->setParent(panel);
  box->setChecked(true);
  box->setText(texts::kPreviewPanel);
  box->move(6, 3);
  box->resize(box->sizeHint().width(), 19);
  return panel;
}

QWidget* TSaverForm::CreateSourcePage() {
  auto* page = new QWidget;
  page->setObjectName("tab_sourcefiles");
  AddListControls(page, {{lbSourcefiles, "lbSourcefiles"},
                         {lblfullname, "lblfullname"},
                         {scButton1, "scButton1"},
                         {scButton2, "scButton2"},
                         {scButton3, "scButton3"},
                         {SpeedButton1, "SpeedButton1"},
                         {SpeedButton2, "SpeedButton2"}});
  SpeedButton3 =
      SpeedButton(page, "SpeedButton3", "reverse", {}, "Reverse all", {160, 206, 25, 25});

  bvlpreview = new QFrame(page);
  bvlpreview->setObjectName("bvlpreview");
  bvlpreview->setFrameStyle(QFrame::Box | QFrame::Sunken);
  bvlpreview->setGeometry(236, 8, 170, 138);
  imgpreview = new TPictureView(page);
  imgpreview->setObjectName("imgpreview");
  imgpreview->setGeometry(QRect(QPoint(237, 9), kPictureSize));
  swfPreview = new TFlashPreview(page);
  swfPreview->setObjectName("swfPreview");
  swfPreview->setGeometry(QRect(QPoint(237, 9), kMovieSizeAtStart));

  scchkPreviewSource = new QCheckBox;
  scchkPreviewSource->setObjectName("scchkPreviewSource");
  AddPreviewPanel(page, scchkPreviewSource, "pnlPreviewSource")->setGeometry(236, 152, 170, 25);
  AddNextButton(page, &TSaverForm::Souns1_oldClick);
  return page;
}

QWidget* TSaverForm::CreateSoundsPage() {
  auto* page = new QWidget;
  page->setObjectName("tab_sounds");
  AddListControls(page, {{lbMusicFiles, "lbMusicFiles"},
                         {lblfullnamemusic, "lblfullnamemusic"},
                         {scButton5, "scButton5"},
                         {scButton6, "scButton6"},
                         {scButton4, "scButton4"},
                         {SpeedButton4, "SpeedButton4"},
                         {SpeedButton5, "SpeedButton5"}});

  auto* player = new QFrame(page);
  player->setObjectName("pnlMusicPreview");
  player->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  player->setGeometry(236, 8, 170, 41);
  SpeedButton6 = SpeedButton(player, "SpeedButton6", "play", "Play", {}, {8, 8, 73, 25});
  SpeedButton7 = SpeedButton(player, "SpeedButton7", "stop", "Stop", {}, {89, 8, 73, 25});
  AddNextButton(page, &TSaverForm::Options1_oldClick);
  return page;
}

void TSaverForm::ConnectListPages() {
  const auto on = [this](auto* sender, auto signal, void (TSaverForm::*handler)()) {
    connect(sender, signal, this, [this, handler] { (this->*handler)(); });
  };
  on(scButton1, &QPushButton::clicked, &TSaverForm::scButton1Click);
  on(scButton2, &QPushButton::clicked, &TSaverForm::scButton2Click);
  on(scButton3, &QPushButton::clicked, &TSaverForm::scButton3Click);
  on(SpeedButton1, &QToolButton::clicked, &TSaverForm::SpeedButton1Click);
  on(SpeedButton2, &QToolButton::clicked, &TSaverForm::SpeedButton2Click);
  on(SpeedButton3, &QToolButton::clicked, &TSaverForm::SpeedButton3Click);
  on(scButton5, &QPushButton::clicked, &TSaverForm::scButton5Click);
  on(scButton6, &QPushButton::clicked, &TSaverForm::scButton6Click);
  on(scButton4, &QPushButton::clicked, &TSaverForm::scButton4Click);
  on(SpeedButton4, &QToolButton::clicked, &TSaverForm::SpeedButton4Click);
  on(SpeedButton5, &QToolButton::clicked, &TSaverForm::SpeedButton5Click);
  on(SpeedButton6, &QToolButton::clicked, &TSaverForm::SpeedButton6Click);
  on(SpeedButton7, &QToolButton::clicked, &TSaverForm::SpeedButton7Click);
  on(new TListClickRelay(*lbSourcefiles), &TListClickRelay::Clicked,
     &TSaverForm::lbSourcefilesClick);
  // Only a real change of a box reaches the handler, whether the user or code made it.
  on(scchkPreviewSource, &QCheckBox::toggled, &TSaverForm::scchkPreviewSourceClick);
  connect(lbSourcefiles, &QListWidget::itemEntered, this, &TSaverForm::lbSourcefilesMouseMove);
  connect(lbMusicFiles, &QListWidget::itemEntered, this, &TSaverForm::lbMusicFilesMouseMove);
}

void TSaverForm::SelectRowQuietly(TTextListBox& list, int row) {
  const QSignalBlocker quiet(&list);
  list.setCurrentRow(row);
}

void TSaverForm::PreviewSource() {
  const int row = lbSourcefiles->currentRow();
  if (row < 0 || !scchkPreviewSource->isChecked()) return;
  const QString path = lbSourcefiles->item(row)->text();
  if (state_.SaverKind == 0) {
    swfPreview->resize(0, 0);
    imgpreview->ShowFile(path.toStdString());
  } else if (state_.SaverKind == 1) {
    swfPreview->resize(kMovieSize);
    swfPreview->raise();
    swfPreview->SetMovie(path);
    swfPreview->Play();
  }
  lbSourcefiles->setToolTip(path);
}

void TSaverForm::lbSourcefilesClick() {
  Guarded([this] { PreviewSource(); });
}

void TSaverForm::SetSourceFromFirst() {
  if (lbSourcefiles->count() == 0) return;
  SelectRowQuietly(*lbSourcefiles, 0);
  PreviewSource();
  lbSourcefiles->setToolTip(lbSourcefiles->item(0)->text());
  // A name the user typed stays; only an empty or still derived name follows the first source.
  const std::string shown = edtOutputName->text().toStdString();
  if (!shown.empty() && shown != state_.DerivedOutputName) return;
  state_.DerivedOutputName =
      project::OutputNameFromSource(lbSourcefiles->item(0)->text().toStdString());
  edtOutputName->setText(QString::fromStdString(state_.DerivedOutputName));
}

void TSaverForm::scButton1Click() {
  Guarded([this] {
    TOpenFilesRequest request;
    if (state_.SaverKind == 0) {
      request.Filters = PictureFilters();
      request.PicturePreview = true;
    } else if (state_.SaverKind == 1) {
      request.Filters = MovieFilters();
    }
    if (!request.Filters.isEmpty())
      lbSourcefiles->AddItems(services_.Dialogs->OpenFiles(this, request));
    // Also after a cancelled dialog: the first source is selected and names the saver again.
    SetSourceFromFirst();
  });
}

void TSaverForm::RemoveSelected(TTextListBox& list, QLabel& label, bool isSourceList) {
  const int row = list.currentRow();
  if (row >= 0) {
    {
      const QSignalBlocker quiet(&list);
      delete list.takeItem(row);
    }
    SelectRowQuietly(list, row >= 1 ? row - 1 : 0);
    if (isSourceList) PreviewSource();
  } else if (isSourceList || list.count() > 0) {
    return;
  }
  const int selected = list.currentRow();
  label.setText(selected >= 0 ? list.item(selected)->text() + texts::kPathTail
                              : QString(texts::kLabelEmptied));
}

void TSaverForm::scButton2Click() {
  Guarded([this] { RemoveSelected(*lbSourcefiles, *lblfullname, true); });
}

void TSaverForm::scButton6Click() {
  Guarded([this] { RemoveSelected(*lbMusicFiles, *lblfullnamemusic, false); });
}

// Clearing touches nothing but the list: previews, labels and the output name stay.
void TSaverForm::scButton3Click() {
  const QSignalBlocker quiet(lbSourcefiles);
  if (lbSourcefiles->count() > 0) lbSourcefiles->clear();
}

void TSaverForm::scButton4Click() {
  const QSignalBlocker quiet(lbMusicFiles);
  if (lbMusicFiles->count() > 0) lbMusicFiles->clear();
}

void TSaverForm::SwapTexts(TTextListBox& list, int a, int b) {
  QListWidgetItem* first = list.item(a);
  QListWidgetItem* second = list.item(b);
  const QString text = first->text();
  first->setText(second->text());
  second->setText(text);
}

void TSaverForm::ReorderList(TTextListBox& list, int mode) {
  const int row = list.currentRow();
  const int count = list.count();
  if (mode == 1) {
    if (row <= 0) return;
    SwapTexts(list, row, row - 1);
    SelectRowQuietly(list, row - 1);
  } else if (mode == 0) {
    if (row < 0 || row >= count - 1) return;
    SwapTexts(list, row, row + 1);
    SelectRowQuietly(list, row + 1);
  } else if (mode == 9) {
    // The preview follows every exchange, each as the list's own click runs it: a picture that
    // cannot be shown is reported and the reversal goes on, never leaving the list half done.
    for (int k = 0; k < count / 2; ++k) {
      SwapTexts(list, k, count - 1 - k);
      lbSourcefilesClick();
    }
  }
}

void TSaverForm::SpeedButton1Click() {
  ReorderList(*lbSourcefiles, 1);
}
void TSaverForm::SpeedButton2Click() {
  ReorderList(*lbSourcefiles, 0);
}
void TSaverForm::SpeedButton3Click() {
  ReorderList(*lbSourcefiles, 9);
}
void TSaverForm::SpeedButton4Click() {
  ReorderList(*lbMusicFiles, 1);
}
void TSaverForm::SpeedButton5Click() {
  ReorderList(*lbMusicFiles, 0);
}

// Shared by both preview boxes; only the source page's box counts.
void TSaverForm::scchkPreviewSourceClick() {
  Guarded([this] {
    if (scchkPreviewSource->isChecked()) {
      PreviewSource();
    } else {
      imgpreview->Clear();
      swfPreview->SetMovie(texts::kNoMovie);
    }
  });
}

void TSaverForm::lbSourcefilesMouseMove(QListWidgetItem* item) {
  if (!item) return;
  const QString text = item->text() + texts::kHoverSourceTail;
  lblfullname->setText(text);
  lblfullname->setToolTip(text);
}

void TSaverForm::lbMusicFilesMouseMove(QListWidgetItem* item) {
  if (!item) return;
  lblfullnamemusic->setText(item->text() + texts::kPathTail);
  lblfullnamemusic->setToolTip(item->text());
}

void TSaverForm::scButton5Click() {
  Guarded([this] {
    TOpenFilesRequest request;
    request.Filters = MusicFilters();
    lbMusicFiles->AddItems(services_.Dialogs->OpenFiles(this, request));
    if (lbMusicFiles->count() > 0) SelectRowQuietly(*lbMusicFiles, 0);
  });
}

void TSaverForm::SpeedButton6Click() {
  Guarded([this] {
    const int row = lbMusicFiles->currentRow();
    if (row < 0) return;
    IMusicPreview& music = *services_.Music;
    music.Close();
    music.Open(lbMusicFiles->item(row)->text().toStdString());
    music.Play();
  });
}

void TSaverForm::SpeedButton7Click() {
  Guarded([this] { StopMusicIfPlaying(); });
}

}  // namespace kestrava
