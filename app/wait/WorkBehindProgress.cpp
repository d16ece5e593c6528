#include "app/wait/WorkBehindProgress.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <memory>

namespace {

// Keeps clicks, keys and shortcuts away from everything but the progress box
// while the work runs; the windows still repaint.
class TInputGuard : public QObject {
  public:
    explicit TInputGuard(const QWidget* allowed) : allowed_(allowed) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~TInputGuard() override { QCoreApplication::instance()->removeEventFilter(this); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
            case QEvent::Shortcut:
            case QEvent::ContextMenu: {
                // Window-level events reach the widgets after this; the
                // widgets' own are judged here.
                if (watched->isWindowType())
                    return false;
                const auto* widget = qobject_cast<const QWidget*>(watched);
                return !(widget && (widget == allowed_ || allowed_->isAncestorOf(widget)));
            }
            default:
                return false;
        }
    }

  private:
    const QWidget* allowed_;
};

}  // namespace

void RunBehindProgress(QWidget* owner, const TProgressBox& options, std::atomic<bool>& cancel,
                       const std::function<void()>& work) {
    // An exception that ends the work is thrown again here, on the
    // caller's thread, once the worker has ended: on the worker it would end
    // the program.
    std::exception_ptr failure;
    std::unique_ptr<QThread> worker(QThread::create([&work, &failure] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);

    QProgressDialog box(options.Label, QStringLiteral("Cancel"), 0, 0, owner);
    if (!options.ObjectName.isEmpty())
        box.setObjectName(options.ObjectName);
    box.setWindowTitle(options.Title);
    box.setWindowModality(Qt::WindowModal);
    box.setMinimumDuration(options.ShowAfterMs);
    // The box's own clock starts at its first value; without one it would
    // keep the default delay of several seconds.
    box.setValue(0);
    if (options.Permille) {
        // Kept open at the end of the bar: the work, not the value, ends it.
        box.setAutoReset(false);
        box.setAutoClose(false);
        box.setRange(0, 1000);
    }
    QObject::connect(&box, &QProgressDialog::canceled, &box, [&cancel] { cancel = true; });
    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, &box, [&] {
        if (box.wasCanceled())
            cancel = true;
        else {
            if (options.Status)
                box.setLabelText(options.Status());
            if (options.Permille)
                box.setValue(std::clamp(options.Permille(), 0, 1000));
        }
    });
    refresh.start(options.RefreshMs);

    std::unique_ptr<TInputGuard> guard;
    if (options.OnlyBoxTakesInput)
        guard = std::make_unique<TInputGuard>(&box);
    worker->start();
    loop.exec();
    worker->wait();
    refresh.stop();
    box.reset();
    if (failure)
        std::rethrow_exception(failure);
}
