// frmLearningDict, the learning-dictionary editor: browses the rows of 学習 one at a time
// through a search (scope, kind, keyword), and changes, adds and deletes them. The current
// row's words and reference count are shown in three text boxes and its scope and kind in two
// groups of options; they are stored back before every move to another row.
#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/address_database.h"
#include "startup/prompter.h"
#include "ui/learning_dict_records.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mok::ui {

class frmLearningDict : public QDialog {
  Q_OBJECT

 public:
  // `selectedRegion` is the text of the main window's region combo (cmbSelectPref); "" for
  // none. The editor works on the main database at database.DatabasePath through a connection
  // of its own.
  frmLearningDict(db::AddressDatabase& database, Prompter& prompter,
                  const std::u16string& selectedRegion, QWidget* parent = nullptr);
  ~frmLearningDict() override;

  // Window state.
  int32_t RecordPos = 0;                  // 0-based position of the current record
  int32_t RecordCount = 0;                // number of records of the current search
  bool BlnAdding = false;                 // an added record has not yet been completed
  std::vector<std::u16string> RegionIds;  // fldID of each region, in the combos' order

  // Event handlers, public so that tests can drive them directly.
  void cmdSearch_Click();
  void cmdFirst_Click();
  void cmdPrev_Click();
  void cmdNext_Click();
  void cmdLast_Click();
  void cmdNew_Click();
  void cmdDelete_Click();

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void Form_Load(const std::u16string& selectedRegion);
  int32_t RegionIdOf(const QComboBox* combo) const;
  bool StoreRecordKeys();
  bool CheckShownRecord();
  void ShowPosition();
  void ShowRecordKeys();
  void ShowBoundFields();
  void ShowRecord();
  bool ShownRecordComplete() const;
  bool MoveTo(int32_t position);

  db::AddressDatabase& database_;
  Prompter& prompter_;
  std::unique_ptr<LearningDictRecords> records_;
  bool edited_ = false;    // the user changed the shown record since it was shown
  bool showing_ = false;   // the controls are being filled from a record
  bool searched_ = false;  // the first search ran when the window was first shown

  QLabel* lblRegister_;
  QLineEdit* txtRegister_;
  QLabel* lblTransform_;
  QLineEdit* txtTransform_;
  QLabel* lblRefNo_;
  QLineEdit* txtRefNo_;
  QGroupBox* frmUserType_;
  QRadioButton* optLocalUser_;
  QComboBox* cmbDbID_;
  QRadioButton* optCommonUser_;
  QGroupBox* frmTypeOpt_;
  QRadioButton* optCity_;
  QRadioButton* optTown_;
  QLabel* lblRecordNo_;
  QLabel* lblRecordNumCaption_;
  QLabel* lblRecordNum_;
  QPushButton* cmdFirst_;
  QPushButton* cmdPrev_;
  QPushButton* cmdNext_;
  QPushButton* cmdLast_;
  QPushButton* cmdNew_;
  QPushButton* cmdDelete_;
  QGroupBox* frmSearch_;
  QGroupBox* frmWord_;
  QRadioButton* optSearchReg_;
  QRadioButton* optSearchTran_;
  QGroupBox* frmSerachType_;
  QCheckBox* chkSearchCity_;
  QCheckBox* chkSearchTown_;
  QGroupBox* frmSearchUser_;
  QCheckBox* chkLocalUser_;
  QComboBox* cmbSearchDbID_;
  QCheckBox* chkCommonUser_;
  QLabel* lblKeyWord_;
  QLineEdit* txtKeyWord_;
  QPushButton* cmdSearch_;
  QPushButton* cmdExit_;
};

}  // namespace mok::ui
