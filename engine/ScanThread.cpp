#include "engine/ScanThread.h"

#include <QMetaObject>
#include <exception>
#include <new>

#include "engine/AnalizeDisk.h"

TThreadDiskAnalize::TThreadDiskAnalize(QObject* receiver, TOnAnalize onAnalize)
    : analyzer_(std::make_unique<TAnalizeDisk>()),
      receiver_(receiver),
      onAnalize_(std::move(onAnalize)) {
    // The thread frees itself once its run has ended. The deletion is posted
    // to the thread this object lives in (the GUI thread), after the hand-off.
    connect(this, &QThread::finished, this, &QObject::deleteLater);
    analyzer_->AfterExecute = [this](TAnalizeDisk*) { HandOver(); };
}

TThreadDiskAnalize::~TThreadDiskAnalize() {
    // Only reached after the run (deleteLater) or after the owner waited.
    wait();
}

TAnalizeDisk& TThreadDiskAnalize::Analyzer() {
    return *analyzer_;
}

bool TThreadDiskAnalize::Cancel() const {
    return analyzer_->Cancel.load();
}

void TThreadDiskAnalize::SetCancel(bool cancel) {
    analyzer_->Cancel.store(cancel);
}

void TThreadDiskAnalize::Start() {
    start();
}

TScanProgress TThreadDiskAnalize::Progress() const {
    TScanProgress progress;
    progress.Folders = static_cast<std::int64_t>(analyzer_->FoldersWalked());
    progress.Files = static_cast<std::int64_t>(analyzer_->FilesWalked());
    progress.Bytes = static_cast<std::int64_t>(analyzer_->BytesWalked());
    progress.FilesKnown = true;
    return progress;
}

void TThreadDiskAnalize::run() {
    try {
        analyzer_->Execute();
    } catch (const std::bad_alloc&) {
        Failed("there is not enough memory");
    } catch (const std::exception& e) {
        Failed(e.what());
    } catch (...) {
        Failed("it stopped on an unknown error");
    }
    // AfterExecute is the analyzer's last step; if it never fired, the GUI
    // must still learn that the scan is over.
    HandOver();
}

void TThreadDiskAnalize::Failed(const char* why) {
    // A run that fails is a run that produced nothing usable.
    analyzer_->Cancel.store(true);
    failure_ = "The scan of " + analyzer_->Directory + " failed: " + why + ".";
}

void TThreadDiskAnalize::HandOver() {
    if (handedOver_)
        return;
    handedOver_ = true;
    auto result = std::make_shared<TScanResult>();
    result->Directory = analyzer_->Directory;
    result->Cancelled = analyzer_->Cancel.load();
    result->Failure = std::move(failure_);
    // The extra lists first: the analyzer keeps the allocated bytes only
    // while they still stand beside its folder list.
    result->Set.Extras = analyzer_->TakeExtras();
    // The lists are complete now and nobody else touches them: move them out
    // instead of copying a whole drive's worth of text.
    result->Set.Dirs = std::move(analyzer_->Dirs());
    result->Set.Sizes = std::move(analyzer_->DirSizes());
    result->Set.Percents = std::move(analyzer_->Percents());
    if (!receiver_ || !onAnalize_)
        return;
    // The one hand-off: the end-of-scan steps run on the receiver's thread.
    QMetaObject::invokeMethod(
        receiver_, [onAnalize = onAnalize_, result] { onAnalize(result); }, Qt::QueuedConnection);
}
