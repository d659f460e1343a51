// Widgets made with their object name in one step: the windows name every control with its control
// name, so that tests, screenshots and the settings find them by name whatever the member that
// holds it is called.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QWidget>

namespace mok::ui {

// A captioned widget (button, label, check box, option button, frame) named `name`.
template <class T>
T* Named(QWidget* parent, const char* name, const char16_t* caption) {
  auto* widget = new T(QString::fromUtf16(caption), parent);
  widget->setObjectName(name);
  return widget;
}

inline QPushButton* Button(QWidget* parent, const char* name, const char16_t* caption) {
  return Named<QPushButton>(parent, name, caption);
}

inline QLabel* Label(QWidget* parent, const char* name, const char16_t* caption) {
  return Named<QLabel>(parent, name, caption);
}

inline QLineEdit* TextBox(QWidget* parent, const char* name) {
  auto* box = new QLineEdit(parent);
  box->setObjectName(name);
  return box;
}

}  // namespace mok::ui
