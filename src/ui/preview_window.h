// The input preview: the first lines of the current input file as a table, one row per line and one
// column per comma-separated field, so that the user can see which field holds the address and
// register its number as the main window's address field.
//
// The number of columns is counted once, when the window opens, over as many lines as the
// line-count box says: a file whose third line has 5 fields while the first two have 3 gets 5
// columns. Showing more lines later (再表示) adds rows but never columns; fields beyond the counted
// columns are not shown. The header marks the fields the main window uses now, also right after
// 登録; no column is chosen until the user chooses one.
#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>
#include <string>

#include "batch/input_reader.h"
#include "startup/prompter.h"
#include "text/encoding.h"

class QLabel;
class QLineEdit;
class QTableWidget;

namespace mok::ui {

class PreviewWindow : public QDialog {
  Q_OBJECT
 public:
  // `inputPath`: the input file, read in `encoding` as the settings name it (nullopt: the one
  // its bytes show), as a run reads it; `addressField` is the main window's address-field box,
  // which 登録 and クリア write; `secondField`, when given, the box of an address that goes on
  // in a second field (住所２), which a second 登録 writes.
  PreviewWindow(std::u16string inputPath, std::optional<text::Encoding> encoding,
                QLineEdit* addressField, Prompter& prompter, QWidget* parent = nullptr,
                QLineEdit* secondField = nullptr);

 private slots:
  // Reads the file again with the line count of the box.
  void Redisplay();
  // Registers the current column as the address field.
  void RegisterField();
  // Resets the address field to 1 and allows a new registration.
  void ClearFields();

 private:
  void Load();
  int16_t CountPreviewColumns();
  void LoadPreviewGrid();
  // The field numbers in the header, the fields of the main window's boxes marked （使用中）: at
  // every reading, and at once after 登録 and クリア.
  void MarkFieldsInUse();
  bool RegisterPreviewField(int32_t column);
  // The number in the line-count box, or -1 when it holds none.
  int32_t LineCount() const;

  const batch::InputReader reader_;  // reads the file, saying why a line cannot be read
  QLineEdit* addressField_;
  QLineEdit* secondField_;
  Prompter& prompter_;
  int16_t columnCount_ = 0;       // -1 when the input file could not be opened
  int16_t registeredFields_ = 0;  // fields registered since opening or クリア
  QTableWidget* grid_;
  QLineEdit* lineCountBox_;
  QLabel* encodingLabel_;  // the input's encoding
};

}  // namespace mok::ui
