#include "tests/app/FormRig.h"

#include <cstdint>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QImage>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "saver/Resources.h"

namespace kestrava::test {

namespace {

// The builds of the tests write this in place of the real saver runtime: the payload and the
// trailer that follow it are real.
constexpr uint8_t kTinyRuntime[] = {'#', '!', '/', 'b', 'i', 'n', '/', 's', 'h', '\n'};
const TResource kResources[] = {
    {"exefile", "head", std::span<const uint8_t>(kTinyRuntime)},
    {"exefile", "headwin", std::span<const uint8_t>(kTinyWindowsRuntime)},
};

}  // namespace

TFormRig::TFormRig() {
  QFile::copy(QStringLiteral(KESTRAVA_SOURCE_DIR "/resources/mask1.jpg"),
              programDir_.filePath("mask1.jpg"));
  TWizardServices services;
  services.Dialogs = &Dialogs;
  services.Music = &Music;
  services.Desktop = &Desktop;
  services.ScreenSize = [] { return TScreenSize{64, 48}; };
  services.ProgramDir = programDir_.path().toStdString();
  services.Resources = kResources;
  form_ = std::make_unique<TSaverForm>(services);
  form_->show();
}

TFormRig::~TFormRig() = default;

QString TFormRig::Picture(const QString& name, QColor colour, QSize size) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  const QString path = scratch_.filePath(name);
  if (!image.save(path)) qFatal("cannot write %s", qPrintable(path));
  return path;
}

QString TFormRig::File(const QString& name, const QByteArray& bytes) {
  const QString path = scratch_.filePath(name);
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
    qFatal("cannot write %s", qPrintable(path));
  return path;
}

void TFormRig::AddSources(const QStringList& paths) {
  Dialogs.OpenAnswers.push_back(paths);
  ClickButton("scButton1");
}

void TFormRig::AddMusic(const QStringList& paths) {
  Dialogs.OpenAnswers.push_back(paths);
  ClickButton("scButton5");
}

void TFormRig::ClickTab(int page) {
  QTabBar* bar = Control<QTabWidget>("scPageWiz")->tabBar();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
}

void TFormRig::ClickEntry(QListWidget& list, int row) {
  list.scrollToItem(list.item(row));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                    list.visualItemRect(list.item(row)).center());
}

void TFormRig::DoubleClick(QListWidget& list, int row) {
  list.scrollToItem(list.item(row));
  const QPoint centre = list.visualItemRect(list.item(row)).center();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centre);
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, centre);
  QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, centre);
}

void TFormRig::ClickButton(const char* name) {
  // A click as the user makes it, also on a page that is not shown.
  Control<QAbstractButton>(name)->click();
}

void TFormRig::ChooseFlash() {
  Control<QRadioButton>("scRdoFlaType")->click();
}

void TFormRig::ChoosePictures() {
  Control<QRadioButton>("scRdoPicType")->click();
}

bool TFormRig::Activate() {
  form_->activateWindow();
  QApplication::setActiveWindow(form_.get());
  return QTest::qWaitForWindowActive(form_.get());
}

}  // namespace kestrava::test
