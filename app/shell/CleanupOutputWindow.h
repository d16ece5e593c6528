#pragma once
// The window of a cleanup action that runs: the command line of each item
// as it starts, its output and error output as they come, and its exit
// status; "Stop" ends the running program (and runs no further item),
// "Close" closes once all have ended. Each item's program starts when the
// one before has ended. ended runs once, on the window's thread, when the
// last one has ended or was stopped: whether every run exited with 0.
#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPlainTextEdit;
class QProcess;
class QPushButton;
class QLabel;

class TCleanupOutputWindow : public QDialog {
  public:
    using TArgv = std::vector<std::string>;
    TCleanupOutputWindow(const QString& title, std::vector<TArgv> runs, QWidget* parent);
    ~TCleanupOutputWindow() override;

    std::function<void(bool allSucceeded)> Ended;

    void Start();
    void Stop();
    bool Running() const;
    QString Output() const;
    QPushButton* StopButton() const { return stop_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void StartNext();
    void Finished(int code, bool crashed);
    void Append(const QString& text);
    void Finish();

    std::vector<TArgv> runs_;
    std::size_t next_ = 0;
    bool allSucceeded_ = true;
    bool stopped_ = false;
    bool finished_ = false;
    std::unique_ptr<QProcess> process_;
    QPlainTextEdit* output_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* close_ = nullptr;
};
