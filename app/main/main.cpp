// The desktop program: the application object with its exception report,
// the help, the splash, the About window and the main window, wired together.
#include <memory>

#include "app/about/FormAbout.h"
#include "app/about/ProjectLinks.h"
#include "app/desktop/AppIcon.h"
#include "app/help/HelpManager.h"
#include "app/help/HelpSetup.h"
#include "app/help/MenuHelp.h"
#include "app/main/FormMain.h"
#include "app/reporter/ExceptionReporter.h"
#include "app/shell/ShellEx.h"
#include "app/splash/FormSplash.h"

int main(int argc, char** argv) {
    TCobaltApplication app(argc, argv);
    QApplication::setApplicationName("Cobaltquarry");
    QApplication::setApplicationDisplayName("Cobaltquarry");
    QApplication::setDesktopFileName("cobaltquarry");
    QApplication::setWindowIcon(AppIcon());

    cq::app::THelpManager help;
    cq::app::THelpSetup helpSetup(help);
    std::unique_ptr<cq::app::TFormSplash> splash;
    std::unique_ptr<cq::app::TFormAbout> about;

    TFormMainHooks hooks;
    hooks.RunSplash = [&splash](const std::function<void()>& startUp) {
        splash = std::make_unique<cq::app::TFormSplash>();
        QObject::connect(splash.get(), &cq::app::TFormSplash::StartupMessage, startUp);
        splash->Start();
    };
    hooks.SetHelpFile = [&help](const QString& file) { help.SetApplicationHelpFile(file); };
    hooks.HelpTopic = [&help](const QString& topic) { cq::app::ShowMenuHelp(help, topic); };
    hooks.HelpContents = [&help] { cq::app::ShowMenuHelp(help, QString()); };
    hooks.HelpWhatIs = [&help] { cq::app::ShowMenuHelp(help, QString()); };
    hooks.OpenHomePage = [] { ShellEx(cq::app::kHomePageAddress); };
    // The About window belongs to the application and lives for the run.
    hooks.CreateAbout = [&about] { about = std::make_unique<cq::app::TFormAbout>(); };
    hooks.ShowAbout = [&about] {
        if (about) {
            about->show();
            about->raise();
        }
    };

    TFormMain window(std::move(hooks));
    window.show();
    return QApplication::exec();
}
