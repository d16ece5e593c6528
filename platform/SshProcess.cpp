#include "platform/SshProcess.h"

#include <QElapsedTimer>
#include <QStringList>

namespace {
constexpr qint64 kPiece = 1 << 18;
constexpr int kWaitMs = 50;  // how often a cancel is looked at
// Standard error is for messages: a server that writes more is cut short.
constexpr std::size_t kErrorTextMax = 1 << 16;
}  // namespace

TSshProcess::TSshProcess(std::vector<std::string> command, const std::atomic<bool>* cancel,
                         std::atomic<int>* idleSeconds, int stallSeconds)
    : command_(std::move(command)),
      cancel_(cancel),
      idle_(idleSeconds),
      stallSeconds_(stallSeconds) {}

TSshProcess::~TSshProcess() {
    Stop();
}

bool TSshProcess::Start(std::string& error) {
    if (command_.empty()) {
        error = "no command";
        return false;
    }
    QStringList args;
    for (std::size_t i = 1; i < command_.size(); ++i)
        args << QString::fromStdString(command_[i]);
    process_.setProgram(QString::fromStdString(command_[0]));
    process_.setArguments(args);
    // Nothing to type into: ssh must not wait for a password or a "yes".
    process_.setStandardInputFile(QProcess::nullDevice());
    process_.start(QIODevice::ReadOnly);
    if (!process_.waitForStarted(-1)) {
        error = command_[0] + ": " + process_.errorString().toStdString();
        return false;
    }
    return true;
}

void TSshProcess::TakeErrorText() {
    const QByteArray more = process_.readAllStandardError();
    if (errorText_.size() < kErrorTextMax)
        errorText_.append(more.constData(),
                          std::min<std::size_t>(more.size(), kErrorTextMax - errorText_.size()));
}

bool TSshProcess::Read(std::string_view& bytes, std::string& error) {
    QElapsedTimer quiet;
    quiet.start();
    for (;;) {
        if (cancel_ != nullptr && cancel_->load()) {
            Stop();
            error = "cancelled";
            return false;
        }
        TakeErrorText();
        if (process_.bytesAvailable() > 0) {
            piece_ = process_.read(kPiece);
            bytes = std::string_view(piece_.constData(), static_cast<std::size_t>(piece_.size()));
            if (idle_ != nullptr)
                *idle_ = 0;
            return true;
        }
        if (process_.state() == QProcess::NotRunning) {
            bytes = {};
            return true;
        }
        if (quiet.elapsed() >= static_cast<qint64>(stallSeconds_) * 1000) {
            Stop();
            error = "no data for " + std::to_string(stallSeconds_) + " s: the scan was stopped";
            return false;
        }
        process_.waitForReadyRead(kWaitMs);
        if (idle_ != nullptr)
            *idle_ = static_cast<int>(quiet.elapsed() / 1000);
    }
}

void TSshProcess::Stop() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(-1);
    }
}

int TSshProcess::ExitStatus() {
    if (process_.state() != QProcess::NotRunning)
        process_.waitForFinished(-1);
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

const std::string& TSshProcess::ErrorText() {
    TakeErrorText();
    return errorText_;
}
