#pragma once

#include <QLocale>
#include <QWidget>
#include <functional>

#include "platform/system/SystemMemory.h"

class QLabel;
class QToolButton;
class TGradient;

namespace cq::app {

// The About dialog: program name, version, the maker's line with a mail
// link, the icon with the home page link, and the machine's memory figures.
// Created hidden at start-up and kept for the whole run; the figures are
// worked out once, when it is created.
//
//   about_ = new TFormAbout(mainWindow);   // at start-up, hidden
//   about_->show();                         // "About" menu item; not modal
class TFormAbout : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kClientWidth = 414;
    static constexpr int kClientHeight = 269;

    // Reads the machine's memory status and uses the user's locale.
    explicit TFormAbout(QWidget* parent = nullptr);
    // With given figures and locale (tests, other front ends).
    TFormAbout(const platform::TMemoryStatus& memory, const QLocale& locale,
               QWidget* parent = nullptr);

    // What a click on the icon does. By default it opens the configured home
    // page, and nothing when there is none; the program puts its own help
    // start page in place of a missing home page.
    void SetHomePageOpener(std::function<void()> opener);
    // The maker line's mail link ("mailto:..."). Without one the line is
    // plain text: no hand cursor, no colour under the pointer, no click.
    void SetMakerMail(const QString& mailLink);
    const QString& MakerMail() const { return makerMail_; }

    QLabel* PhysMem() const { return physMem_; }
    QLabel* FreeRes() const { return freeRes_; }
    QLabel* MakerLabel() const { return lbl2_; }
    QLabel* ProgramIcon() const { return programIcon_; }
    QToolButton* OkButton() const { return btnOK_; }
    TGradient* Gradient() const { return gradient_; }

  protected:
    // Key presses reach the window before its controls: Escape hides it
    // whichever control has the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void BuildLayout();
    QLabel* AddLabel(const QString& text, int left, int top);
    void SetMakerHover(bool over);
    void WatchKeys(QWidget* widget);

    TGradient* gradient_ = nullptr;
    QLabel* programIcon_ = nullptr;
    QLabel* lbl1_ = nullptr;
    QLabel* lbl2_ = nullptr;
    QLabel* lbl3_ = nullptr;
    QLabel* lbl4_ = nullptr;
    QLabel* lbl5_ = nullptr;
    QLabel* lbl6_ = nullptr;
    QLabel* physMem_ = nullptr;
    QLabel* freeRes_ = nullptr;
    QToolButton* btnOK_ = nullptr;
    std::function<void()> openHomePage_;
    QString makerMail_;
};

}  // namespace cq::app
