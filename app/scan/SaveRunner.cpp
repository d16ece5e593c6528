#include "app/scan/SaveRunner.h"

TSaveRunner::TSaveRunner(QObject* parent) : QObject(parent) {}

TSaveRunner::~TSaveRunner() {
    Join();
}

void TSaveRunner::Start(std::unique_ptr<TDetachedSave> job) {
    Join();
    job_ = std::move(job);
    const std::uint64_t id = ++id_;
    TDetachedSave* running = job_.get();
    thread_ = std::thread([this, running, id] {
        // Run tells its failures in the job; what could still escape (memory
        // running out while one is told) must not end the program from this
        // thread: the job then stays unsaved.
        try {
            running->Run();
        } catch (...) {
        }
        // Posted to this object: dropped with it, and of no effect once a
        // later job has started. It comes also when the owner joined the
        // thread meanwhile, so that the job is reported from the event loop
        // and never from inside the call that waited for it.
        try {
            QMetaObject::invokeMethod(
                this,
                [this, id] {
                    if (id == id_)
                        Q_EMIT Ended();
                },
                Qt::QueuedConnection);
        } catch (...) {
        }
    });
}

void TSaveRunner::Join() {
    if (!thread_.joinable())
        return;
    blocked_ = true;
    thread_.join();
    blocked_ = false;
    job_->Finish();
}

std::unique_ptr<TDetachedSave> TSaveRunner::TakeFinished() {
    if (ThreadUnjoined())
        return nullptr;
    return std::move(job_);
}

// The meta-object code is compiled with this file rather than on its own.
#include "moc_SaveRunner.cpp"
