#include "app/main/Program.h"

#include <QApplication>

#include "app/about/FormAbout.h"
#include "app/about/ProjectLinks.h"
#include "app/desktop/AppIcon.h"
#include "app/help/MenuHelp.h"
#include "app/main/FormMain.h"
#include "app/shell/ShellEx.h"
#include "app/splash/FormSplash.h"

namespace cq::app {

void SetProgramIdentity() {
    QApplication::setApplicationName(QStringLiteral("Cobaltquarry"));
    QApplication::setDesktopFileName(QStringLiteral("cobaltquarry"));
    QApplication::setWindowIcon(AppIcon());
}

TProgram::TProgram() : helpSetup_(help_) {
    TFormMainHooks hooks;
    hooks.RunSplash = [this](const std::function<void()>& startUp) {
        splash_ = std::make_unique<TFormSplash>();
        QObject::connect(splash_.get(), &TFormSplash::StartupMessage, startUp);
        splash_->Start();
    };
    hooks.SetHelpFile = [this](const QString& file) { help_.SetApplicationHelpFile(file); };
    hooks.HelpTopic = [this](const QString& topic) { ShowMenuHelp(help_, topic); };
    hooks.HelpContents = [this] { OpenHelpFile(); };
    hooks.HelpWhatIs = [this] { OpenHelpFile(); };
    hooks.OpenHomePage = [this] { OpenHomePage(); };
    // Created hidden at start-up; the main window takes it over below.
    hooks.CreateAbout = [this] {
        about_ = new TFormAbout();
        about_->SetHomePageOpener([this] { OpenHomePage(); });
    };
    hooks.ShowAbout = [this] {
        if (about_) {
            about_->show();
            about_->raise();
            about_->activateWindow();
        }
    };
    window_ = std::make_unique<TFormMain>(std::move(hooks));
    if (about_) {
        about_->setParent(window_.get(), about_->windowFlags());
    }
    help_.SetHelpOwner(window_.get());
}

TProgram::~TProgram() {
    // Help windows and the About window are the main window's children; the
    // splash goes after the window, as it came before it.
    window_.reset();
    splash_.reset();
}

void TProgram::OpenHomePage() {
    const QString address = HomePageAddress();
    if (address.isEmpty()) {
        OpenHelpFile();
    } else {
        ShellEx(address.toStdString());
    }
}

void TProgram::OpenHelpFile() {
    ShowMenuHelp(help_, QString());
}

}  // namespace cq::app
