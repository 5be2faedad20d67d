#pragma once

#include <QLabel>
#include <QString>

namespace kestrava {

// The preview pane of the picture open dialog: the picture under the cursor, scaled to fit.
class TPicturePreviewPane : public QLabel {
 public:
  explicit TPicturePreviewPane(QWidget* parent = nullptr);

  void ShowFile(const QString& path);
};

}  // namespace kestrava
