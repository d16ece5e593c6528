#pragma once

#include <QPointer>
#include <memory>

#include "app/about/FormAbout.h"
#include "app/help/HelpManager.h"
#include "app/help/HelpSetup.h"

class TFormMain;

namespace cq::app {

class TFormSplash;

// The program's parts wired together: the help system, the splash, the main
// window and the About window. The main window owns the About window and
// every help window, so closing it closes them all and ends the run (a
// window left open would keep the process alive with nothing to come back
// to).
//
//   TCobaltApplication app(argc, argv);
//   SetProgramIdentity();
//   TProgram program;          // splash, start-up, About created hidden
//   program.Window().show();
//   return app.exec();
class TProgram {
  public:
    TProgram();
    ~TProgram();

    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    TFormMain& Window() { return *window_; }
    TFormAbout* About() const { return about_; }
    THelpManager& Help() { return help_; }

    // "Home Page" and the About icon: the configured home page, else the
    // help file's start page.
    void OpenHomePage();
    // "Contents" and "What is": the help file at its start page.
    void OpenHelpFile();

  private:
    THelpManager help_;
    THelpSetup helpSetup_;
    std::unique_ptr<TFormSplash> splash_;
    QPointer<TFormAbout> about_;
    std::unique_ptr<TFormMain> window_;
};

// The application's name, desktop file and icon. No display name is set:
// Qt would add it to every window title, and the titles are exactly the
// windows' captions ("Cobaltquarry 1.2 ", "About", "?").
void SetProgramIdentity();

}  // namespace cq::app
