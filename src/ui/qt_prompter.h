// The desktop program's Prompter: every message and question of the system as a modal
// QMessageBox of the window that is active at the time, placed beside that window so that it
// does not hide the text it speaks of.
#pragma once

#include <QPointer>
#include <QWidget>

#include "startup/prompter.h"

namespace mok::ui {

class QtPrompter : public Prompter {
 public:
  // `parent` is the window the boxes are centred on; without one the active window is used.
  explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}

  void SetParent(QWidget* parent) { parent_ = parent; }

  void ShowMessage(const std::u16string& text, MessageIcon icon = MessageIcon::None,
                   const std::u16string& title = kAppTitle) override;
  Answer Ask(const std::u16string& text, MessageButtons buttons,
             MessageIcon icon = MessageIcon::None,
             const std::u16string& title = kAppTitle) override;

 private:
  QWidget* Parent() const;
  QPointer<QWidget> parent_;
};

}  // namespace mok::ui
