// SPDX-License-Identifier: GPL-2.0-or-later
// Item delegate that gives every item of a list the same fixed height, so a list with uniform
// item sizes lays out 100,000 items from one size hint.
#pragma once

#include <QStyledItemDelegate>

class ListItemHeightDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // 0 keeps the height the font and style give.
    int Height() const { return height_; }
    void SetHeight(int pixels) { height_ = pixels > 0 ? pixels : 0; }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (height_ > 0)
            size.setHeight(height_);
        return size;
    }

private:
    int height_ = 0;
};
