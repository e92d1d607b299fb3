#pragma once

#include <QLabel>

namespace tavrel::screens {

// A one-line label that shows a text too long for it with "…" in the middle, so
// that both ends of a path stay readable. text() stays the whole text.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
    // The text as the label shows it at its present width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tavrel::screens
