#include "engine/RemoteScan.h"

#include <QFile>

#include "platform/SshProcess.h"

namespace {

// The output of ssh as a byte source, counted and copied to a file. A copy
// that cannot be written (a full disk) is given up, not the scan: the file
// is removed and keepProblem says why.
class TSshSource : public TByteSource {
  public:
    TSshSource(TSshProcess& process, TRemoteProgress& progress, std::uint64_t maxEntries,
               QFile* keep, std::string& keepProblem)
        : process_(process),
          progress_(progress),
          maxEntries_(maxEntries),
          keep_(keep),
          keepProblem_(keepProblem) {}
    bool Next(std::string_view& bytes, std::string& error) override {
        // A server that sends entries without end would take all memory:
        // the reader has counted what came before this piece.
        if (progress_.Import.Items.load() > maxEntries_) {
            error = "the scan sent more than " + std::to_string(maxEntries_) +
                    " entries, the most a remote scan may hold here (" + kRemoteMaxEntriesVariable +
                    " allows more), so it was stopped";
            return false;
        }
        if (!process_.Read(bytes, error))
            return false;
        progress_.Bytes += bytes.size();
        if (keep_ != nullptr && !bytes.empty() &&
            keep_->write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size())) {
            keepProblem_ =
                keep_->fileName().toStdString() + ": " + keep_->errorString().toStdString();
            keep_->close();
            keep_->remove();
            keep_ = nullptr;
        }
        return true;
    }
    bool Keeping() const { return keep_ != nullptr; }

  private:
    TSshProcess& process_;
    TRemoteProgress& progress_;
    std::uint64_t maxEntries_;
    QFile* keep_;
    std::string& keepProblem_;
};

}  // namespace

std::string RemoteScanName(const TRemoteRequest& request) {
    return request.Host + ":" + request.Folder;
}

bool ReadRemoteScan(const TRemoteRequest& request, const TRemoteSettings& settings, char letter,
                    TImportedScan& scan, std::string& error, const std::atomic<bool>* cancel,
                    TRemoteProgress* progress, std::string* keepProblem) {
    TRemoteProgress ownProgress;
    if (progress == nullptr)
        progress = &ownProgress;
    std::string ignored;
    std::string& problem = keepProblem != nullptr ? *keepProblem : ignored;
    problem.clear();
    QFile keep(QFile::decodeName(QByteArray::fromStdString(settings.KeepFile)));
    const bool keeping = !settings.KeepFile.empty() && keep.open(QIODevice::WriteOnly);
    if (!settings.KeepFile.empty() && !keeping)
        problem = settings.KeepFile + ": " + keep.errorString().toStdString();
    TSshProcess ssh(SshArguments(request, settings.SshCommand), cancel, &progress->IdleSeconds,
                    settings.StallSeconds);
    if (!ssh.Start(error))
        return false;
    TSshSource source(ssh, *progress, settings.MaxEntries, keeping ? &keep : nullptr, problem);
    std::string readError;
    const bool read = ReadImportedStream(source, RemoteScanName(request), letter, scan, readError,
                                         cancel, &progress->Import);
    if (!read && source.Keeping()) {
        keep.close();
        keep.remove();  // half an export is no use to anyone
    }
    if (cancel != nullptr && cancel->load()) {
        ssh.Stop();
        error.clear();
        return false;
    }
    if (!read)
        ssh.Stop();  // a malformed stream: the rest is not wanted
    const std::string failure = RemoteFailure(request, ssh.ExitStatus(), ssh.ErrorText());
    // A complete export is the scan even when the scanner complained after
    // it (e.g. of a folder it could not read).
    if (read)
        return true;
    error = failure.empty() || ssh.ExitStatus() == -1 ? readError : failure;
    return false;
}
