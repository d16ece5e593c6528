#pragma once
// The thread of a detached save (engine/DetachedSave.h): one save at a
// time, started on the owner's (the user interface's) thread and finished
// there. The owner's thread is the only one that calls these.
#include <QObject>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "engine/DetachedSave.h"

class TSaveRunner : public QObject {
    Q_OBJECT
  public:
    explicit TSaveRunner(QObject* parent = nullptr);
    // Waits for a running save; its outcome is given to the store.
    ~TSaveRunner() override;

    // Runs job (begun, not yet run) on a thread of its own. No other job may
    // be busy.
    void Start(std::unique_ptr<TDetachedSave> job);
    // A job was started and its report not yet taken (TakeFinished).
    bool JobUnreported() const { return job_ != nullptr; }
    // A job's thread was started and not yet joined.
    bool ThreadUnjoined() const { return thread_.joinable(); }
    // Returns once the running job's thread has ended and the store has
    // taken its outcome (TDetachedSave::Finish), which also makes the
    // replacements of the store's lists queued behind the save. At once when
    // none runs.
    void Join();
    // The job, once joined, for its report; null while it runs or when
    // there is none. Busy is false afterwards.
    std::unique_ptr<TDetachedSave> TakeFinished();
    // The owner's thread waits in Join now (for tests that hold a save).
    bool Blocked() const { return blocked_.load(); }

  Q_SIGNALS:
    // The job's thread has ended (delivered through the owner's event loop,
    // also when the job was joined before).
    void Ended();

  private:
    std::unique_ptr<TDetachedSave> job_;
    std::thread thread_;
    std::uint64_t id_ = 0;  // tells the end of an earlier job apart
    std::atomic<bool> blocked_{false};
};
