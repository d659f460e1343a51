// Widgets made with their object name in one step: the windows name every control, so that
// tests, screenshots and the settings find them by name.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace mok::ui {

inline QPushButton* Button(QWidget* parent, const char* name, const char16_t* caption) {
  auto* button = new QPushButton(QString::fromUtf16(caption), parent);
  button->setObjectName(name);
  return button;
}

inline QLabel* Label(QWidget* parent, const char* name, const char16_t* caption) {
  auto* label = new QLabel(QString::fromUtf16(caption), parent);
  label->setObjectName(name);
  return label;
}

inline QLineEdit* TextBox(QWidget* parent, const char* name) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  return box;
}

}  // namespace mok::ui
