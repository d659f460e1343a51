#include "ui/up_down.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace mok::ui {

UpDown::UpDown(QLineEdit* buddy, int minimum, int maximum, QWidget* parent)
    : QWidget(parent), buddy_(buddy), minimum_(minimum), maximum_(maximum) {
  auto* up = new QToolButton(this);
  up->setArrowType(Qt::UpArrow);
  up->setAutoRepeat(true);
  auto* down = new QToolButton(this);
  down->setArrowType(Qt::DownArrow);
  down->setAutoRepeat(true);
  const int height = std::max(10, buddy->sizeHint().height() / 2);
  for (QToolButton* button : {up, down}) {
    button->setFixedSize(18, height);
    button->setFocusPolicy(Qt::NoFocus);
  }
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(up);
  layout->addWidget(down);
  connect(up, &QToolButton::clicked, this, &UpDown::StepUp);
  connect(down, &QToolButton::clicked, this, &UpDown::StepDown);
}

void UpDown::Step(int delta) {
  bool ok = false;
  const int value = buddy_->text().trimmed().toInt(&ok);
  const int next = ok ? std::clamp(value + delta, minimum_, maximum_) : minimum_;
  buddy_->setText(QString::number(next));
}

}  // namespace mok::ui
