// SPDX-License-Identifier: GPL-2.0-or-later
// The preview's frame: a sunken border with a grey caption drawn behind the picture.
#pragma once

#include <QFrame>

class PreviewFrame : public QFrame {
public:
    PreviewFrame(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
};
