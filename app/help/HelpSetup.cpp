#include "app/help/HelpSetup.h"

#include <QCoreApplication>
#include <QFile>

#include "app/help/HelpManager.h"

namespace cq::app {

std::string THelpSetup::DefaultPluginPath() {
    const QString folder =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    return help::HelpEngineLibrary::DefaultPath(QFile::encodeName(folder).toStdString());
}

THelpSetup::THelpSetup(THelpManager& manager, const std::string& pluginPath)
    : THelpSetup(manager, std::make_unique<THtmlHelpViewer>(pluginPath.empty() ? DefaultPluginPath()
                                                                               : pluginPath)) {}

THelpSetup::THelpSetup(THelpManager& manager, std::unique_ptr<THtmlHelpViewer> viewer)
    : manager_(manager), viewer_(std::move(viewer)), tester_(std::make_unique<TWinHelpTester>()) {
    viewer_->SetManager(&manager_.RegisterViewer(viewer_.get()));
    manager_.SetHelpSelector(viewer_.get());
    manager_.SetWinHelpTester(tester_.get());
}

THelpSetup::~THelpSetup() {
    // A viewer that was shut down has dropped its manager reference, but it
    // is released all the same: the manager must never keep a pointer to a
    // viewer that is about to be destroyed.
    manager_.Release(viewer_->ViewerId());
    viewer_->SetManager(nullptr);
    if (manager_.HelpSelector() == viewer_.get()) {
        manager_.SetHelpSelector(nullptr);
    }
    if (manager_.WinHelpTester() == tester_.get()) {
        manager_.SetWinHelpTester(nullptr);
    }
}

}  // namespace cq::app
