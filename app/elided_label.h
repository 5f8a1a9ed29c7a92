#pragma once
// A one-line label whose text never sets its width: a text longer than the
// room it is given is shown shortened with "…" and whole in its tool tip. For
// captions that change while the window is open (the port state, a status
// line, a folder path), so that a long text never moves other controls or
// makes the window grow.
#include <QLabel>

namespace brindle::app {

class ElidedLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ElidedLabel(Qt::TextElideMode mode = Qt::ElideRight, QWidget* parent = nullptr);

    // The text does not fit and is shown shortened.
    bool elided() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

  private:
    QString shownText() const;
    Qt::TextElideMode m_mode;
};

}  // namespace brindle::app
