#include "engine/RemoteScan.h"

#include <QFile>

#include "platform/SshProcess.h"

namespace {

// The output of ssh as a byte source, counted and copied to a file.
class TSshSource : public TByteSource {
  public:
    TSshSource(TSshProcess& process, TRemoteProgress* progress, QFile* keep)
        : process_(process), progress_(progress), keep_(keep) {}
    bool Next(std::string_view& bytes, std::string& error) override {
        if (!process_.Read(bytes, error))
            return false;
        if (progress_ != nullptr)
            progress_->Bytes += bytes.size();
        if (keep_ != nullptr && !bytes.empty() &&
            keep_->write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size())) {
            error = keep_->fileName().toStdString() + ": " + keep_->errorString().toStdString();
            return false;
        }
        return true;
    }

  private:
    TSshProcess& process_;
    TRemoteProgress* progress_;
    QFile* keep_;
};

}  // namespace

std::string RemoteScanName(const TRemoteRequest& request) {
    return request.Host + ":" + request.Folder;
}

bool ReadRemoteScan(const TRemoteRequest& request, const TRemoteSettings& settings, char letter,
                    TImportedScan& scan, std::string& error, const std::atomic<bool>* cancel,
                    TRemoteProgress* progress) {
    QFile keep(QFile::decodeName(QByteArray::fromStdString(settings.KeepFile)));
    if (!settings.KeepFile.empty() && !keep.open(QIODevice::WriteOnly)) {
        error = settings.KeepFile + ": " + keep.errorString().toStdString();
        return false;
    }
    TSshProcess ssh(SshArguments(request, settings.SshCommand), cancel,
                    progress != nullptr ? &progress->IdleSeconds : nullptr, settings.StallSeconds);
    if (!ssh.Start(error))
        return false;
    TSshSource source(ssh, progress, settings.KeepFile.empty() ? nullptr : &keep);
    std::string readError;
    const bool read = ReadImportedStream(source, RemoteScanName(request), letter, scan, readError,
                                         cancel, progress != nullptr ? &progress->Import : nullptr);
    if (!read && !settings.KeepFile.empty()) {
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
