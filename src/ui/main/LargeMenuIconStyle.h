// SPDX-License-Identifier: GPL-2.0-or-later
// Lets a popup menu show its 32 x 32 glyphs at full size instead of the style's small icon size.
#pragma once

#include <QProxyStyle>

class LargeMenuIconStyle : public QProxyStyle {
public:
    explicit LargeMenuIconStyle(int iconSize) : iconSize_(iconSize) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override
    {
        if (metric == PM_SmallIconSize)
            return iconSize_;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    int iconSize_;
};
