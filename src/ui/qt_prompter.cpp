#include "ui/qt_prompter.h"

#include <QApplication>
#include <QMessageBox>

namespace mok::ui {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Critical:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok:
      break;
  }
  return QMessageBox::Ok;
}

// Closing a question box with Escape or the title bar counts as its "no" answer.
Answer FromQtButton(int button, MessageButtons buttons) {
  switch (button) {
    case QMessageBox::Ok:
      return Answer::Ok;
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Cancel:
      return Answer::Cancel;
    default:
      break;
  }
  return buttons == MessageButtons::YesNo ? Answer::No : Answer::Cancel;
}

}  // namespace

QWidget* QtPrompter::Parent() const {
  if (QWidget* modal = QApplication::activeModalWidget())
    return modal;
  if (parent_)
    return parent_;
  return QApplication::activeWindow();
}

void QtPrompter::ShowMessage(const std::u16string& text, MessageIcon icon,
                             const std::u16string& title) {
  QMessageBox box(ToQtIcon(icon), QString::fromStdU16String(title), QString::fromStdU16String(text),
                  QMessageBox::Ok, Parent());
  box.setObjectName("MessageBox");
  box.exec();
}

Answer QtPrompter::Ask(const std::u16string& text, MessageButtons buttons, MessageIcon icon,
                       const std::u16string& title) {
  QMessageBox box(ToQtIcon(icon), QString::fromStdU16String(title), QString::fromStdU16String(text),
                  ToQtButtons(buttons), Parent());
  box.setObjectName("MessageBox");
  if (buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel) {
    box.setDefaultButton(QMessageBox::Yes);
  } else {
    box.setDefaultButton(QMessageBox::Ok);
  }
  return FromQtButton(box.exec(), buttons);
}

}  // namespace mok::ui
