#pragma once

#include <QListWidget>
#include <QStringList>

namespace kestrava {

// A plain single-selection list of texts (file paths, mostly) that scrolls sideways as far as its
// widest entry. The scroll range is the width of that entry's text plus "x" in the list's font,
// kept up to date whenever entries come or go and when the font changes. Mouse tracking is on so
// that hovering an entry reports it (itemEntered).
class TTextListBox : public QListWidget {
 public:
  explicit TTextListBox(QWidget* parent = nullptr);
  ~TTextListBox() override;

  QStringList Items() const;
  void AddItems(const QStringList& paths);
  // Replaces every entry.
  void SetItems(const QStringList& paths);
  // The horizontal scroll range's width in pixels: the widest entry's text plus "x" (the
  // scroll bar itself follows when the event loop runs).
  int HorizontalExtent() const;

 protected:
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // The range is ours: the view's own layout would set it back from the item sizes.
  void updateGeometries() override;

 private:
  void ExtentChanged();
  void RecalculateExtent();
  void ApplyExtent();

  int extent_ = 0;
  bool extentDirty_ = false;
};

}  // namespace kestrava
