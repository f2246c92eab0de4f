// SPDX-License-Identifier: GPL-2.0-or-later
// A picture control: shows one picture, either at its natural size from the top-left corner
// (clipped to the control) or stretched to fill the control.
#pragma once

#include <QPixmap>
#include <QWidget>

class PictureBox : public QWidget {
    Q_OBJECT
public:
    enum class Fit { Natural, Stretch };

    explicit PictureBox(QWidget* parent = nullptr);

    void SetPicture(const QPixmap& picture, Fit fit = Fit::Natural);
    const QPixmap& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    Fit fit_ = Fit::Natural;
};
