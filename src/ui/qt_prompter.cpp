#include "ui/qt_prompter.h"

#include <algorithm>

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QScreen>
#include <QSpacerItem>

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

// A message box that stands beside the window it talks about instead of over it, so that the
// text it speaks of stays readable: below the window when the screen has room there, else above,
// to the right or to the left; centred on the window (the toolkit's place) when none has room.
class MessageBox : public QMessageBox {
 public:
  MessageBox(MessageIcon icon, const std::u16string& title, const std::u16string& text,
             StandardButtons buttons, QWidget* parent)
      : QMessageBox(ToQtIcon(icon), QString::fromStdU16String(title),
                    QString::fromStdU16String(text), buttons, parent) {
    setObjectName("MessageBox");
    // The box is made wide enough for its whole title next to the window manager's buttons,
    // which the toolkit's own allowance leaves too little room for ("MOK…変換").
    if (auto* grid = qobject_cast<QGridLayout*>(layout())) {
      const int titleWidth = fontMetrics().horizontalAdvance(windowTitle()) + kTitleBarButtons;
      grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Fixed, QSizePolicy::Fixed),
                    grid->rowCount(), 0, 1, grid->columnCount());
    }
  }

  static constexpr int kTitleBarButtons = 160;

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);  // sizes the box and centres it on its window
    if (QWidget* window = parentWidget() ? parentWidget()->window() : nullptr)
      PlaceBeside(window->frameGeometry());
  }

 private:
  void PlaceBeside(const QRect& window) {
    const QScreen* screen = this->screen();
    if (!screen)
      return;
    const QRect area = screen->availableGeometry();
    constexpr int kGap = 8;
    constexpr int kTitleBar = 32;  // the frame is not known before the box is first shown
    const QSize box = size() + QSize(0, kTitleBar);
    const int centreX = std::clamp(window.center().x() - box.width() / 2, area.left(),
                                   std::max(area.left(), area.right() - box.width()));
    const int centreY = std::clamp(window.center().y() - box.height() / 2, area.top(),
                                   std::max(area.top(), area.bottom() - box.height()));
    const QPoint places[] = {
        {centreX, window.bottom() + kGap},
        {centreX, window.top() - kGap - box.height()},
        {window.right() + kGap, centreY},
        {window.left() - kGap - box.width(), centreY},
    };
    for (const QPoint& place : places) {
      if (area.contains(QRect(place, box))) {
        move(place);
        return;
      }
    }
  }
};

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
  MessageBox box(icon, title, text, QMessageBox::Ok, Parent());
  box.exec();
}

Answer QtPrompter::Ask(const std::u16string& text, MessageButtons buttons, MessageIcon icon,
                       const std::u16string& title) {
  MessageBox box(icon, title, text, ToQtButtons(buttons), Parent());
  if (buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoCancel) {
    box.setDefaultButton(QMessageBox::Yes);
  } else {
    box.setDefaultButton(QMessageBox::Ok);
  }
  return FromQtButton(box.exec(), buttons);
}

}  // namespace mok::ui
