#include "app/shell/PasteRunner.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLocale>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <memory>

using namespace cq::desktop;

namespace {

constexpr int kRefreshMs = 100;

QString CopiedText(std::int64_t bytes) {
    return QStringLiteral("Copying\u2026 %1 copied")
        .arg(QLocale::system().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat));
}

// Keeps clicks, keys and shortcuts away from everything but the progress box
// while a copy runs; the window still repaints.
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

TActionResult RunWithProgress(QWidget* owner,
                              const std::function<TActionResult(TCopyProgress&)>& work) {
    TCopyProgress progress;
    TActionResult result;
    std::unique_ptr<QThread> worker(QThread::create([&] { result = work(progress); }));
    QEventLoop loop;
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);

    QProgressDialog box(CopiedText(0), QStringLiteral("Cancel"), 0, 0, owner);
    box.setWindowTitle(QStringLiteral("Paste"));
    box.setWindowModality(Qt::WindowModal);
    box.setMinimumDuration(kPasteProgressDelayMs);
    QObject::connect(&box, &QProgressDialog::canceled, &box,
                     [&progress] { progress.cancel = true; });
    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, &box, [&] {
        box.setLabelText(CopiedText(progress.bytes.load()));
        box.setValue(0);  // shows the box once the delay has passed
    });
    refresh.start(kRefreshMs);

    const TInputGuard guard(&box);
    worker->start();
    loop.exec();
    worker->wait();
    refresh.stop();
    box.reset();
    return result;
}

TFollowedAction RunPaste(QWidget* owner, const TClipboardItems& items,
                         const std::string& folderNativePath) {
    TFollowedAction done;
    RunWithProgress(owner, [&](TCopyProgress& progress) {
        done = PasteFollowed(items, folderNativePath, &progress);
        return done.Result;
    });
    if (done.Result.ok && items.cut)
        QGuiApplication::clipboard()->clear();
    return done;
}
