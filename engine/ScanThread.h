#pragma once

#include <QThread>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/StoredSet.h"

class TAnalizeDisk;

// How far a running scan has come, for the progress window, from the
// analyzer's own counters: folders listed, and the files in them with their
// bytes. FilesKnown says files and bytes are counted (a source that counts
// only folders leaves it false and them 0).
struct TScanProgress {
    std::int64_t Folders = 0;
    std::int64_t Files = 0;
    std::int64_t Bytes = 0;
    bool FilesKnown = false;
};

// What a finished scan hands over to the GUI thread: the analyzer's lists
// (moved out of it, so nothing is shared afterwards) and whether the scan
// was cancelled, in which case the lists are incomplete and must be dropped.
struct TScanResult {
    std::string Directory;
    bool Cancelled = false;
    // Why the scan failed (memory ran out, say), for the user; the scan
    // then counts as cancelled. Empty when it did not.
    std::string Failure;
    // The analyzer's lists with its extra lists (TakeExtras): one set.
    TStoredSet Set;
};

// One scan on its own thread: owns exactly one analyzer, runs it once and
// then deletes itself. The end of the scan is handed to the receiver's thread
// (the GUI thread) as one queued call; nothing of the GUI runs on this thread.
// The receiver must wait for the thread (QThread::wait) before it is
// destroyed; a hand-off still queued for it then is dropped with it.
class TThreadDiskAnalize : public QThread {
  public:
    using TOnAnalize = std::function<void(std::shared_ptr<TScanResult>)>;

    // Created suspended: configure Analyzer(), then Start().
    TThreadDiskAnalize(QObject* receiver, TOnAnalize onAnalize);
    ~TThreadDiskAnalize() override;

    TAnalizeDisk& Analyzer();

    // Passed straight through to the analyzer; safe from any thread.
    bool Cancel() const;
    void SetCancel(bool cancel);

    // Readable from any thread while the run goes on (atomic counters).
    TScanProgress Progress() const;

    // Starts the run; the object deletes itself (deleteLater) once the run
    // has ended. Waiting on it before then is safe (QThread::wait).
    void Start();

  protected:
    void run() override;

  private:
    // Marks the run cancelled, with why it failed.
    void Failed(const char* why);
    // Moves the lists into a result and queues it for the receiver; once.
    void HandOver();

    std::unique_ptr<TAnalizeDisk> analyzer_;
    QObject* receiver_;
    TOnAnalize onAnalize_;
    bool handedOver_ = false;  // touched by the scan thread only
    std::string failure_;      // likewise
};
