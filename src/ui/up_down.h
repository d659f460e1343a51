// An up-down spinner beside a text box: its two arrows step the number written in the box.
// The box stays a plain text box (it may hold any text; whoever reads it checks the number),
// which a QSpinBox could not be.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace mok::ui {

class UpDown : public QWidget {
  Q_OBJECT
 public:
  UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent = nullptr);

  void StepUp() { Step(1); }
  void StepDown() { Step(-1); }

 private:
  // A box that does not hold a number starts again from the lower limit.
  void Step(int delta);

  QLineEdit* buddy_;
  int minimum_;
  int maximum_;
};

}  // namespace mok::ui
