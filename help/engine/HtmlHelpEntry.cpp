// The plugin's one exported symbol: the entry point the program looks up
// after loading the plugin.

#include <QApplication>
#include <QThread>

#include "help/engine/HtmlHelpEngine.h"
#include "platform/help/HtmlHelpApi.h"

extern "C" __attribute__((visibility("default"))) void* HtmlHelpA(void* owner, const char* file,
                                                                  unsigned command,
                                                                  std::uintptr_t data) {
    // Windows need a running widget application on the calling thread.
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr ||
        QThread::currentThread() != QCoreApplication::instance()->thread()) {
        return nullptr;
    }
    const QString address = file ? QString::fromUtf8(file) : QString();
    return cq::help::HtmlHelpEngine::Instance().Run(static_cast<QWidget*>(owner), address, command,
                                                    data);
}
