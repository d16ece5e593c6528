#include "help/engine/HtmlHelpEngine.h"

#include <QApplication>
#include <QFileInfo>

#include "help/engine/ChmArchive.h"
#include "platform/help/HtmlHelpApi.h"

namespace cq::help {

HtmlHelpEngine& HtmlHelpEngine::Instance() {
    static HtmlHelpEngine engine;
    return engine;
}

std::pair<QString, QString> HtmlHelpEngine::SplitAddress(const QString& address) {
    // The separator follows the file name, which ends in ".chm"; prefer that
    // occurrence so a "::" inside a folder name does not cut the path short.
    int split = address.indexOf(QLatin1String(".chm::"), 0, Qt::CaseInsensitive);
    split = split >= 0 ? split + 4 : address.indexOf(QLatin1String("::"));
    if (split < 0) {
        return {address, QString()};
    }
    QString topic = address.mid(split + 2);
    while (topic.startsWith(QLatin1Char('/')) || topic.startsWith(QLatin1Char('\\'))) {
        topic.remove(0, 1);
    }
    return {address.left(split), topic};
}

HelpWindow* HtmlHelpEngine::WindowFor(const QString& file, QWidget* owner) {
    const QString key = QFileInfo(file).absoluteFilePath();
    auto found = windows_.find(key);
    if (found != windows_.end() && found->second) {
        return found->second;
    }
    auto archive = std::make_unique<ChmArchive>(key);
    if (!archive->IsOpen()) {
        return nullptr;
    }
    auto* window = new HelpWindow(std::move(archive), owner);
    windows_[key] = window;
    return window;
}

void* HtmlHelpEngine::Run(QWidget* owner, const QString& address, unsigned command,
                          std::uintptr_t data) {
    if (command == HH_CLOSE_ALL) {
        CloseAll();
        return nullptr;
    }
    const auto [file, topic] = SplitAddress(address);
    if (file.isEmpty()) {
        return nullptr;
    }
    switch (command) {
        case HH_DISPLAY_TOPIC:
            if (HelpWindow* window = WindowFor(file, owner)) {
                window->ShowTopic(topic);
                return window;
            }
            return nullptr;
        case HH_DISPLAY_TOC:
            if (HelpWindow* window = WindowFor(file, owner)) {
                window->ShowContents();
                return window;
            }
            return nullptr;
        case HH_DISPLAY_INDEX:
            if (HelpWindow* window = WindowFor(file, owner)) {
                const char* keyword = reinterpret_cast<const char*>(data);
                window->ShowIndex(keyword ? QString::fromUtf8(keyword) : QString());
                return window;
            }
            return nullptr;
        default:
            // Context numbers need a map the project's help file does not
            // carry; like any other unknown request they show nothing.
            return nullptr;
    }
}

void HtmlHelpEngine::CloseAll() {
    for (auto& [file, window] : windows_) {
        if (window) {
            delete window.data();
        }
    }
    windows_.clear();
}

}  // namespace cq::help
