#include "app/trash/TrashGauge.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

#include "app/trash/DriveTrash.h"
#include "platform/DriveForm.h"
#include "platform/desktop/TrashContent.h"
#include "views/common/SpokenText.h"

namespace {
const QString kGaugeHint = QStringLiteral("The size of the Trash on this drive; click to empty it");
}  // namespace

TTrashGauge::TTrashGauge(QToolBar& bar) : QObject(&bar) {
    button_ = new QToolButton(&bar);
    button_->setObjectName("TrashSize");
    button_->setAutoRaise(true);
    button_->setToolTip(kGaugeHint);
    connect(button_, &QToolButton::clicked, this, [this] {
        if (Clicked)
            Clicked();
    });
    // The tool bar shows and hides its widgets through their actions.
    placed_ = bar.addWidget(button_);
    placed_->setVisible(false);
}

TTrashGauge::~TTrashGauge() {
    // The walk looks at the flag before every entry, so this join is short.
    stop_ = true;
    if (worker_.joinable())
        worker_.join();
}

void TTrashGauge::Refresh(const std::string& folder) {
    letter_ = folder.find(':') == std::string::npos ? 0 : DriveLetterOf(folder);
    TFolders folders = letter_ ? DriveTrashFolders(letter_) : TFolders{};
    ++request_;
    waiting_.reset();
    if (folders.empty()) {
        placed_->setVisible(false);
        return;
    }
    if (running_)
        waiting_ = std::move(folders);
    else
        Start(std::move(folders));
}

void TTrashGauge::Start(TFolders folders) {
    // The thread before has posted its sum already: it only ends now.
    if (worker_.joinable())
        worker_.join();
    running_ = true;
    const unsigned request = request_;
    worker_ = std::thread([this, request, folders = std::move(folders)] {
        std::vector<QString> problems;
        std::int64_t bytes = -1;
        try {
            bytes = cq::desktop::TrashBytes(folders, &problems, &stop_);
        } catch (const std::exception&) {
            problems.push_back(QStringLiteral("The Trash could not be measured."));
        }
        if (stop_)
            return;
        // Dropped with the gauge, whose destructor waits for this thread.
        QMetaObject::invokeMethod(
            this, [this, request, bytes, problems] { Show(request, bytes, problems); },
            Qt::QueuedConnection);
    });
}

void TTrashGauge::Show(unsigned request, std::int64_t bytes, const std::vector<QString>& problems) {
    running_ = false;
    if (request == request_) {
        button_->setText(
            problems.empty()
                ? QStringLiteral("Trash: %1").arg(SpokenBytesAsMB(std::to_string(bytes)))
                : QStringLiteral("Trash: ?"));
        button_->setToolTip(problems.empty() ? kGaugeHint : problems.front());
        placed_->setVisible(true);
    }
    if (waiting_) {
        TFolders next = std::move(*waiting_);
        waiting_.reset();
        Start(std::move(next));
    }
}

void TTrashGauge::FolderShown(const std::string& folder) {
    const char letter = folder.find(':') == std::string::npos ? 0 : DriveLetterOf(folder);
    if (letter != letter_)
        Refresh(folder);
}
