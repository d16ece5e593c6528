#include "app/trash/TrashGauge.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

#include "app/trash/DriveTrash.h"
#include "platform/DriveForm.h"
#include "platform/desktop/TrashContent.h"
#include "views/common/SpokenText.h"

TTrashGauge::TTrashGauge(QToolBar& bar) : QObject(&bar) {
    button_ = new QToolButton(&bar);
    button_->setObjectName("TrashSize");
    button_->setAutoRaise(true);
    button_->setToolTip(QStringLiteral("The size of the Trash on this drive; click to empty it"));
    connect(button_, &QToolButton::clicked, this, [this] {
        if (Clicked)
            Clicked();
    });
    // The tool bar shows and hides its widgets through their actions.
    placed_ = bar.addWidget(button_);
    placed_->setVisible(false);
}

void TTrashGauge::Refresh(const std::string& folder) {
    letter_ = folder.find(':') == std::string::npos ? 0 : DriveLetterOf(folder);
    const auto folders =
        letter_ ? DriveTrashFolders(letter_) : std::vector<cq::desktop::TTrashFolder>{};
    if (folders.empty()) {
        placed_->setVisible(false);
        return;
    }
    std::vector<QString> problems;
    const std::int64_t bytes = cq::desktop::TrashBytes(folders, &problems);
    button_->setText(problems.empty()
                         ? QStringLiteral("Trash: %1").arg(SpokenBytesAsMB(std::to_string(bytes)))
                         : QStringLiteral("Trash: ?"));
    button_->setToolTip(problems.empty() ? QStringLiteral("The size of the Trash on this drive; "
                                                          "click to empty it")
                                         : problems.front());
    placed_->setVisible(true);
}

void TTrashGauge::FolderShown(const std::string& folder) {
    const char letter = folder.find(':') == std::string::npos ? 0 : DriveLetterOf(folder);
    if (letter != letter_)
        Refresh(folder);
}
