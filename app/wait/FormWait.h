#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "app/wait/WaitCounts.h"

class QLabel;
class QToolButton;
class TGradient;

// The progress window shown while a scan runs. It is not modal and has no
// close box: its flat button is the only way to act on it, and it only asks
// the scan to stop (the window goes away when the scan has actually ended).
class TFormWait : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kClientWidth = 247;
    static constexpr int kClientHeight = 126;
    static constexpr int kRefreshMs = 250;
    // A screen reader is told the live line at most this often: the counts
    // as a name that changes twice a second, not with every refresh.
    static constexpr int kSpokenMs = 500;

    explicit TFormWait(QWidget* parent = nullptr);

    // Where the live line reads its numbers; called a few times a second on
    // the GUI thread while the window is shown (the source reads atomics).
    void SetCountsSource(std::function<TWaitCounts()> source);

    // Shows the window without making it modal, on top, in the middle of the
    // screen, and starts the live line from zero elapsed time.
    void ShowWait();
    void HideWait();

    // Places the window in the middle of its screen, each half rounded
    // toward zero.
    void Centre();

    QLabel* Label() const { return label_; }
    QLabel* ProgressLine() const { return progress_; }
    QToolButton* BtnNo() const { return btnNo_; }
    TGradient* Gradient() const { return gradient_; }

    // Re-reads the counts now (the timer does this on its own).
    void RefreshProgress();

  Q_SIGNALS:
    void CancelClicked();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void SpeakProgress(const QString& line);

    TGradient* gradient_ = nullptr;
    QLabel* label_ = nullptr;
    QLabel* progress_ = nullptr;
    QToolButton* btnNo_ = nullptr;
    QTimer refresh_;
    QElapsedTimer elapsed_;
    QElapsedTimer spoken_;
    std::function<TWaitCounts()> source_;
};
