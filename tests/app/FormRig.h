#pragma once

// A wizard window on the offscreen platform with every outside service scripted, in a program
// folder of its own (with "mask1.jpg") and a scratch folder for pictures and savers.

#include <cstdint>
#include <memory>

#include <QColor>
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

#include "app/SaverForm.h"
#include "tests/app/FakeServices.h"

namespace kestrava::test {

// What the rig's builds write at the head of a Windows saver, in place of the real runtime.
inline constexpr uint8_t kTinyWindowsRuntime[] = {'M', 'Z', ' ', 'w', 'i', 'n'};

class TFormRig {
 public:
  TFormRig();
  ~TFormRig();

  TSaverForm& Form() { return *form_; }
  // A control by its object name; a missing one ends the test run, since every test needs it.
  template <class T>
  T* Control(const char* name) {
    T* control = form_->findChild<T*>(name);
    if (!control) qFatal("no control named %s", name);
    return control;
  }

  QString ProgramDir() const { return programDir_.path(); }
  QString Scratch() const { return scratch_.path(); }
  QString ScratchPath(const QString& name) const { return scratch_.filePath(name); }

  // A one-colour picture in the scratch folder; the format follows the extension.
  QString Picture(const QString& name, QColor colour, QSize size = {24, 16});
  // Any bytes under a name: a movie, a music file, a damaged picture.
  QString File(const QString& name, const QByteArray& bytes = "data");

  // Adds sources (or music) through the add button and a confirmed dialog.
  void AddSources(const QStringList& paths);
  void AddMusic(const QStringList& paths);
  // A user's click on a tab, an entry, a button.
  void ClickTab(int page);
  void ClickEntry(QListWidget& list, int row);
  // A double click as the window system delivers it: press, release, double-click, release.
  static void DoubleClick(QListWidget& list, int row);
  void ClickButton(const char* name);
  void ChooseFlash();
  void ChoosePictures();
  // Makes the window the active one, as keyboard shortcuts need.
  bool Activate();

  TFakeDialogs Dialogs;
  TFakeMusic Music;
  TFakeDesktop Desktop;

 private:
  QTemporaryDir programDir_;
  QTemporaryDir scratch_;
  std::unique_ptr<TSaverForm> form_;
};

}  // namespace kestrava::test
