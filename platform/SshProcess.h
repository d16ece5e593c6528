#pragma once
// A command (ssh) whose standard output is read piece by piece on the
// calling thread, with its standard error kept for the messages. Stop, a
// cancel or a stall ends the process at once; the destructor too, so a
// failed or abandoned read leaves no process behind.
#include <QProcess>
#include <atomic>
#include <string>
#include <string_view>
#include <vector>

class TSshProcess {
  public:
    // Cancel, set from another thread, ends the process; Idle counts the
    // seconds since output last arrived (for a progress box).
    TSshProcess(std::vector<std::string> command, const std::atomic<bool>* cancel,
                std::atomic<int>* idleSeconds, int stallSeconds = 60);
    ~TSshProcess();
    TSshProcess(const TSshProcess&) = delete;
    TSshProcess& operator=(const TSshProcess&) = delete;

    bool Start(std::string& error);
    // The next piece of standard output, empty at its end. False with a
    // message on a cancel, a stall or a process that cannot be read.
    bool Read(std::string_view& bytes, std::string& error);
    // Ends the process (when still running) and waits for it.
    void Stop();
    // After the end of the output: the exit status (-1 for a crash or a
    // kill) and standard error.
    int ExitStatus();
    const std::string& ErrorText();

  private:
    void TakeErrorText();

    QProcess process_;
    std::vector<std::string> command_;
    const std::atomic<bool>* cancel_;
    std::atomic<int>* idle_;
    int stallSeconds_;
    QByteArray piece_;
    std::string errorText_;
};
