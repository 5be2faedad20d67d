#pragma once

#include <QAbstractSpinBox>
#include <QString>

namespace kestrava {

// A whole-number field without bounds: its value is whatever its text reads as a signed whole
// number, 0 for any other text. The arrows add or subtract 1 (stopping at the ends of the
// 32-bit range); leaving the field keeps the typed text. Only digits, "+", "-" and the decimal
// separator can be typed.
class TSpinEdit : public QAbstractSpinBox {
 public:
  explicit TSpinEdit(QWidget* parent = nullptr);

  int Value() const;
  void SetValue(int value);

  // The reading of a text as the field's value.
  static int ValueOfText(const QString& text);

  void stepBy(int steps) override;
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;

 protected:
  StepEnabled stepEnabled() const override;
};

}  // namespace kestrava
