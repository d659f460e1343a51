// The learning-dictionary editor: browses the rows of 学習 one at a time through a search (scope,
// kind, keyword), and changes, adds and deletes them. The current row's words and reference count
// are shown in three text boxes and its scope and kind in two groups of options; they are stored
// back before every move to another row.
#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "db/address_database.h"
#include "db/learning_dict_records.h"
#include "startup/prompter.h"
#include "ui/correction_dialog.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace mok::ui {

class LearningDictWindow : public QDialog {
  Q_OBJECT

 public:
  // `selectedRegion` is the text of the main window's region combo; "" for none. The editor
  // works on the main database at database.DatabasePath through a connection of its own.
  // `shown`: a word just registered, which the editor opens on (its scope and kind are searched
  // and its row is the current one); without it the editor opens on the region's city words.
  LearningDictWindow(db::AddressDatabase& database, Prompter& prompter,
                     const std::u16string& selectedRegion, QWidget* parent = nullptr,
                     std::optional<LearnedWord> shown = std::nullopt);

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private slots:
  void Search();
  void MoveFirst();
  void MovePrevious();
  void MoveNext();
  void MoveLast();
  void AddRecord();
  void DeleteRecord();

 private:
  // The controls, part by part.
  QGridLayout* BuildRecordBoxes();
  QHBoxLayout* BuildRecordKeys();
  QHBoxLayout* BuildPositionLine();
  QHBoxLayout* BuildMoveButtons();
  QGroupBox* BuildSearch();
  // The rules between the scope controls, and the changes that mark the shown record edited.
  void ConnectKeyRules();
  void Load(const std::u16string& selectedRegion);
  // Searches the scope and kind of `word` and moves to its row.
  void SearchFor(const LearnedWord& word);
  int32_t RegionIdOf(const QComboBox* combo) const;
  bool StoreRecordKeys();
  bool CheckShownRecord();
  void ShowPosition();
  void ShowRecordKeys();
  void ShowBoundFields();
  void ShowRecord();
  bool ShownRecordComplete() const;
  bool MoveTo(int32_t position);
  void ShowDatabaseFailure(const DbError& error);

  db::AddressDatabase& database_;
  Prompter& prompter_;
  db::LearningDictRecords records_;
  int32_t recordPos_ = 0;                  // 0-based position of the current record
  int32_t recordCount_ = 0;                // number of records of the current search
  bool adding_ = false;                    // an added record has not yet been completed
  std::vector<std::u16string> regionIds_;  // fldID of each region, in the combos' order
  bool edited_ = false;                    // the user changed the shown record since it was shown
  bool showing_ = false;                   // the controls are being filled from a record
  bool searched_ = false;                  // the first search ran when the window was first shown
  std::optional<LearnedWord> shown_;       // the word to open on

  // The current record.
  QLineEdit* registeredBox_;
  QLineEdit* convertedBox_;
  QLineEdit* referenceCountBox_;
  QRadioButton* localOption_;
  QComboBox* regionCombo_;
  QRadioButton* commonOption_;
  QRadioButton* cityOption_;
  QRadioButton* townOption_;
  QLabel* positionLabel_;
  QLabel* countLabel_;
  // The search.
  QRadioButton* searchRegisteredOption_;
  QRadioButton* searchConvertedOption_;
  QCheckBox* searchCityBox_;
  QCheckBox* searchTownBox_;
  QCheckBox* searchLocalBox_;
  QComboBox* searchRegionCombo_;
  QCheckBox* searchCommonBox_;
  QLineEdit* keywordBox_;
};

}  // namespace mok::ui
