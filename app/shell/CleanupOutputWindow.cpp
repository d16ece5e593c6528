#include "app/shell/CleanupOutputWindow.h"

#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ByteArgvProcess.h"
#include "platform/NameText.h"

namespace {

// The command line as a user reads it: each argument quoted for sh, so that
// one with blanks or quotes is seen as one.
QString CommandLine(const std::vector<std::string>& argv) {
    QStringList shown;
    for (const std::string& argument : argv) {
        QString text = VisibleName(argument);
        text.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
        shown << QLatin1Char('\'') + text + QLatin1Char('\'');
    }
    return shown.join(QLatin1Char(' '));
}

}  // namespace

TCleanupOutputWindow::TCleanupOutputWindow(const QString& title, std::vector<TArgv> runs,
                                           QWidget* parent)
    : QDialog(parent), runs_(std::move(runs)) {
    setObjectName("CleanupOutput");
    setWindowTitle(title);
    resize(640, 360);
    output_ = new QPlainTextEdit(this);
    output_->setObjectName("CleanupText");
    output_->setReadOnly(true);
    output_->setFont(QFont(QStringLiteral("Monospace")));
    status_ = new QLabel(this);
    status_->setObjectName("CleanupStatus");
    status_->setTextFormat(Qt::PlainText);
    stop_ = new QPushButton(QStringLiteral("&Stop"), this);
    stop_->setObjectName("CleanupStop");
    close_ = new QPushButton(QStringLiteral("&Close"), this);
    close_->setObjectName("CleanupClose");
    close_->setEnabled(false);
    connect(stop_, &QPushButton::clicked, this, [this] { Stop(); });
    connect(close_, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(status_, 1);
    buttons->addWidget(stop_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(output_);
    layout->addLayout(buttons);
}

TCleanupOutputWindow::~TCleanupOutputWindow() {
    if (process_) {
        process_->disconnect();
        process_->kill();
        process_->waitForFinished(3000);
    }
}

void TCleanupOutputWindow::Start() {
    StartNext();
}

bool TCleanupOutputWindow::Running() const {
    return !finished_;
}

QString TCleanupOutputWindow::Output() const {
    return output_->toPlainText();
}

void TCleanupOutputWindow::Append(const QString& text) {
    output_->moveCursor(QTextCursor::End);
    output_->insertPlainText(text);
    output_->moveCursor(QTextCursor::End);
}

void TCleanupOutputWindow::StartNext() {
    if (stopped_ || next_ >= runs_.size()) {
        Finish();
        return;
    }
    const TArgv& argv = runs_[next_++];
    Append(QStringLiteral("$ %1\n").arg(CommandLine(argv)));
    process_ = std::make_unique<QProcess>();
    process_->setProcessChannelMode(QProcess::MergedChannels);
    connect(process_.get(), &QProcess::readyRead, this,
            [this] { Append(QString::fromLocal8Bit(process_->readAll())); });
    connect(process_.get(), &QProcess::finished, this,
            [this](int code, QProcess::ExitStatus status) {
                Finished(code, status == QProcess::CrashExit);
            });
    QString problem;
    status_->setText(QStringLiteral("Running\u2026"));
    if (!StartByteArgv(*process_, argv, problem)) {
        Append(problem + QLatin1Char('\n'));
        allSucceeded_ = false;
        process_.reset();
        StartNext();
    }
}

void TCleanupOutputWindow::Finished(int code, bool crashed) {
    Append(QString::fromLocal8Bit(process_->readAll()));
    QString line;
    if (stopped_)
        line = QStringLiteral("Stopped.");
    else if (crashed)
        line = QStringLiteral("Ended abnormally.");
    else if (code == 127)
        line = QStringLiteral("Exit status 127: the program could not be run.");
    else
        line = QStringLiteral("Exit status %1.").arg(code);
    Append(line + QLatin1Char('\n'));
    if (stopped_ || crashed || code != 0)
        allSucceeded_ = false;
    process_.release()->deleteLater();
    StartNext();
}

void TCleanupOutputWindow::Stop() {
    stopped_ = true;
    if (process_)
        process_->kill();
}

void TCleanupOutputWindow::Finish() {
    if (finished_)
        return;
    finished_ = true;
    stop_->setEnabled(false);
    close_->setEnabled(true);
    close_->setDefault(true);
    status_->setText(stopped_        ? QStringLiteral("Stopped.")
                     : allSucceeded_ ? QStringLiteral("Done.")
                                     : QStringLiteral("Failed: see the exit status above."));
    if (Ended)
        Ended(allSucceeded_);
}

void TCleanupOutputWindow::closeEvent(QCloseEvent* event) {
    // Closing the window stops what still runs; the ending is still told.
    if (!finished_) {
        Stop();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
