#pragma once

#include <QWidget>
#include <string>

// The current folder's full path in the tool bar, as the user knows it: the
// native path decoded with the locale, never the escaped drive form, with
// control characters shown as "?" so the text stays on one line. A path
// wider than the label loses its middle, keeping the drive and the folder
// itself readable; the whole path is the tool tip.
class TFolderPathLabel : public QWidget {
    Q_OBJECT
  public:
    explicit TFolderPathLabel(QWidget* parent = nullptr);

    // The folder's native path (raw name bytes).
    void SetPath(const std::string& nativePath);
    // A text already readable (a folder of an opened scan file, which has
    // no native path here).
    void SetText(const QString& text);
    const QString& Text() const { return text_; }
    // The text as drawn in the current width.
    QString ShownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
};

// A native path as the user reads it: decoded with the locale (bytes that
// do not decode become the replacement character) and every control
// character, line breaks included, shown as "?".
QString ReadablePath(const std::string& nativePath);
