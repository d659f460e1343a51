// Conversions at the boundary between the core's UTF-16 strings and Qt, and the small window
// helpers every dialog of the program shares.
#pragma once

#include <QString>
#include <QWidget>
#include <string>

namespace mok::ui {

inline QString Q(const std::u16string& s) {
  return QString::fromStdU16String(s);
}
inline std::u16string U(const QString& s) {
  return s.toStdU16String();
}

// Places `window` in the middle of the screen it is on (or the primary screen).
void CentreOnScreen(QWidget* window);

}  // namespace mok::ui
