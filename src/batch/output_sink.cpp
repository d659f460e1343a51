#include "batch/output_sink.h"

#include "batch/line_writer.h"
#include "batch/output_claim.h"
#include "batch/workbook_sink.h"

namespace mok::batch {
namespace {

// The CSV form: every record one line of text.
class CsvSink : public OutputSink {
 public:
  bool Open(const std::u16string& path, text::Encoding encoding, bool fresh, FileError* error) {
    return writer_.Open(path, error, encoding,
                        fresh ? LineWriter::Mode::Fresh : LineWriter::Mode::Replace);
  }
  bool WriteRecord(const std::u16string& line) override { return writer_.WriteLine(line); }
  bool Close() override { return writer_.Close(); }
  bool IsOpen() const override { return writer_.IsOpen(); }
  const std::u16string& Failure() const override { return writer_.Failure(); }
  int64_t LinesOnDisk() const override { return writer_.LinesOnDisk(); }

 private:
  LineWriter writer_;
};

}  // namespace

std::unique_ptr<OutputSink> OpenOutputSink(const std::u16string& path,
                                           const std::u16string& inputPath, text::Encoding encoding,
                                           bool fresh, FileError* error) {
  if (IsWorkbookOutput(path))
    return WorkbookSink::Open(path, inputPath, error);
  auto csv = std::make_unique<CsvSink>();
  if (!csv->Open(path, encoding, fresh, error))
    return nullptr;
  return csv;
}

}  // namespace mok::batch
