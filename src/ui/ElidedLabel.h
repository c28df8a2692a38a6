#pragma once

#include <QLabel>

// A one-line label that shows a text too long for it with "…" in the middle,
// so its beginning and its end both stay visible; text() keeps it whole and
// the tooltip shows it whole.
class ElidedLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setText(const QString& text);
    // What the label shows at its present width.
    QString shownText() const;

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
