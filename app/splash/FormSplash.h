#pragma once

#include <QWidget>

class QLabel;

namespace cq::app {

// The borderless picture shown while the program starts. Its start step
// shows it, pauses, and then delivers the start-up message to the main
// window synchronously, so the main window's start-up initialisation runs
// while the picture is still on the screen.
//
//   auto* splash = new TFormSplash(this);                 // owned by the main window
//   connect(splash, &TFormSplash::StartupMessage, this, &TFormMain::StartupInit);
//   splash->Start();                                       // returns after StartupInit
class TFormSplash : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kClientWidth = 297;
    static constexpr int kClientHeight = 67;
    static constexpr int kLeft = 375;
    static constexpr int kTop = 330;
    static constexpr int kDefaultPauseMs = 2000;

    explicit TFormSplash(QWidget* owner = nullptr);

    // The start step: show and paint, pause (blocking the user-interface
    // thread), send StartupMessage, hide.
    void Start();

    int PauseMs() const { return pauseMs_; }
    void SetPauseMs(int ms) { pauseMs_ = ms < 0 ? 0 : ms; }

    // The image control filling the window.
    QLabel* BKG() const { return bkg_; }

  Q_SIGNALS:
    // Connect with a direct (default, same-thread) connection: the handler
    // runs inside Start().
    void StartupMessage();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLabel* bkg_ = nullptr;
    int pauseMs_ = kDefaultPauseMs;
};

// The splash picture, decoded from the JPEG built into the program.
QImage SplashPicture();

}  // namespace cq::app
