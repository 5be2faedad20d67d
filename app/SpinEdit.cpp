#include "app/SpinEdit.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include <QLineEdit>
#include <QLocale>

namespace kestrava {

TSpinEdit::TSpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
  SetValue(0);
}

int TSpinEdit::ValueOfText(const QString& text) {
  bool ok = false;
  const int value = text.toInt(&ok, 10);
  return ok ? value : 0;
}

int TSpinEdit::Value() const {
  return ValueOfText(text());
}

void TSpinEdit::SetValue(int value) {
  lineEdit()->setText(QString::number(value));
}

void TSpinEdit::stepBy(int steps) {
  const int64_t next = int64_t(Value()) + steps;
  SetValue(int(
      std::clamp<int64_t>(next, std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
  selectAll();
}

QValidator::State TSpinEdit::validate(QString& input, int&) const {
  const QString separator = locale().decimalPoint();
  for (const QChar c : input) {
    if (c >= u'0' && c <= u'9') continue;
    if (c == u'+' || c == u'-' || separator.contains(c)) continue;
    return QValidator::Invalid;
  }
  return QValidator::Acceptable;
}

// Whatever was typed stays: a text that is no number simply reads as 0.
void TSpinEdit::fixup(QString&) const {}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const {
  return StepUpEnabled | StepDownEnabled;
}

}  // namespace kestrava
