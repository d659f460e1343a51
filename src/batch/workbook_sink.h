// The output as an Excel workbook (.xlsx), written with libxlsxwriter: one worksheet, the header
// as its first row, one row per record, each field of the record one cell. Every cell is text,
// so that codes and numbers keep their zeros (the municipality code 01224 of 千歳市, a customer
// number 0012) and the source fields stay as they were written; only the coordinate columns
// (Ｘ座標, Ｙ座標, 緯度, 経度) hold numbers. The workbook names its input in a document property
// (MOK2入力ファイル), which is how a later run tells its own earlier output (output_claim.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "batch/output_sink.h"

struct lxw_workbook;
struct lxw_worksheet;

namespace mok::batch {

class WorkbookSink : public OutputSink {
 public:
  // The workbook at `path` of the input `inputPath` (the file is created at once, written whole
  // by Close); nullptr and `error` when it cannot be created.
  static std::unique_ptr<WorkbookSink> Open(const std::u16string& path,
                                            const std::u16string& inputPath, FileError* error);
  ~WorkbookSink() override;
  WorkbookSink(const WorkbookSink&) = delete;
  WorkbookSink& operator=(const WorkbookSink&) = delete;

  bool WriteRecord(const std::u16string& line) override;
  bool Close() override;
  bool IsOpen() const override { return workbook_ != nullptr; }
  const std::u16string& Failure() const override { return failure_; }

 private:
  WorkbookSink() = default;
  void Fail(const std::u16string& why);

  std::u16string path_;
  std::string inputPath_;  // UTF-8, kept for the document property until the workbook closes
  lxw_workbook* workbook_ = nullptr;
  lxw_worksheet* sheet_ = nullptr;
  uint32_t row_ = 0;
  std::vector<bool> numeric_;  // per column: a coordinate column (from the header)
  std::u16string failure_;
  bool failed_ = false;
};

// Whether the workbook at `path` was written as the output of the input `inputPath`.
bool IsWorkbookOfInput(const std::u16string& path, const std::u16string& inputPath);

}  // namespace mok::batch
