// SPDX-License-Identifier: GPL-2.0-or-later
// The balloon itself: a frameless window shaped as a rounded body with a stem.
#pragma once

#include "BalloonGeometry.h"

#include <QWidget>

class BalloonWindow : public QWidget {
    Q_OBJECT
public:
    // A window of its own that belongs to `host` (deleted with it).
    explicit BalloonWindow(QWidget* host);

    // Lays the text out with `font`, places the balloon for `hintPoint` and shows it.
    void ShowText(const QString& text, const QFont& font, const QPoint& hintPoint);
    const QString& Text() const { return text_; }
    const BalloonShape& Shape() const { return shape_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QRect TextRect() const;

    QString text_;
    BalloonShape shape_{};
};
