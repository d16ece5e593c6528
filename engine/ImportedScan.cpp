#include "engine/ImportedScan.h"

#include "engine/ExportInput.h"

namespace {

// The file's bytes until a cancel.
class TCancellableSource : public TByteSource {
  public:
    TCancellableSource(TByteSource& source, const std::atomic<bool>* cancel)
        : source_(source), cancel_(cancel) {}
    bool Next(std::string_view& bytes, std::string& error) override {
        if (cancel_ != nullptr && cancel_->load()) {
            error = "cancelled";
            return false;
        }
        return source_.Next(bytes, error);
    }

  private:
    TByteSource& source_;
    const std::atomic<bool>* cancel_;
};

bool ReadOpenInput(TExportInput& input, const std::string& name, char letter, TImportedScan& scan,
                   std::string& error, const std::atomic<bool>* cancel, bool keepItems,
                   TImportProgress* progress) {
    TCancellableSource source(input, cancel);
    if (keepItems)
        scan.Items = std::make_shared<TImportedTree>();
    const std::string rootText = std::string(1, letter) + ":";
    const auto root = [&rootText](const std::string&) { return rootText; };
    if (!ImportNcdu(source, root, scan.Result, error, scan.Items.get(), progress)) {
        if (error.rfind(name, 0) != 0)
            error = name + ": " + error;
        scan.Items.reset();
        return false;
    }
    if (keepItems)
        scan.Drive = std::make_unique<TImportedDrive>(scan.Items, letter);
    return true;
}

}  // namespace

bool ReadImportedScan(const std::string& file, char letter, TImportedScan& scan, std::string& error,
                      const std::atomic<bool>* cancel, bool keepItems) {
    TExportInput input;
    return input.Open(file, error) &&
           ReadOpenInput(input, file, letter, scan, error, cancel, keepItems, nullptr);
}

bool ReadImportedStream(TByteSource& raw, const std::string& name, char letter, TImportedScan& scan,
                        std::string& error, const std::atomic<bool>* cancel,
                        TImportProgress* progress) {
    TExportInput input;
    return input.Open(raw, name, error) &&
           ReadOpenInput(input, name, letter, scan, error, cancel, true, progress);
}
