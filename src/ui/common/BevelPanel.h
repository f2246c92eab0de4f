// SPDX-License-Identifier: GPL-2.0-or-later
// A panel framed by two 3-D bevels: a lowered outer one and a raised inner one, each 2 pixels wide,
// filled with the window's button-face colour.
#pragma once

#include <QWidget>

class BevelPanel : public QWidget {
    Q_OBJECT
public:
    explicit BevelPanel(QWidget* parent = nullptr);

    static constexpr int kBevelWidth = 2;

protected:
    void paintEvent(QPaintEvent* event) override;
};
