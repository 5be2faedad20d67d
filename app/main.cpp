// kestrava: the screen-saver wizard.

#include <csignal>

#include <QApplication>
#include <QScreen>

#include "app/SaverForm.h"
#include "app/WizardDialogs.h"
#include "platform/Desktop.h"
#include "platform/MusicPreview.h"
#include "saver/embedded/EmbeddedRuntime.h"

namespace {

// The primary screen in device pixels: the size the pictures are prepared for.
kestrava::TScreenSize PrimaryScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {1920, 1080};
  const QSize size = screen->geometry().size() * screen->devicePixelRatio();
  return {size.width(), size.height()};
}

void CentreOnScreen(QWidget& window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}

}  // namespace

int main(int argc, char** argv) {
  // A file-size limit then fails a write with a reason instead of killing the wizard.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication application(argc, argv);
  QApplication::setApplicationName("Kestrava");

  kestrava::TQtWizardDialogs dialogs;
  const auto music = kestrava::MakeMusicPreview();
  const auto desktop = kestrava::MakeDesktop();
  kestrava::TWizardServices services;
  services.Dialogs = &dialogs;
  services.Music = music.get();
  services.Desktop = desktop.get();
  services.ScreenSize = PrimaryScreenSize;
  services.ProgramDir = QCoreApplication::applicationDirPath().toStdString();
  services.Resources = kestrava::ProgramResources();

  kestrava::TSaverForm form(services);
  CentreOnScreen(form);
  form.show();
  return application.exec();
}
