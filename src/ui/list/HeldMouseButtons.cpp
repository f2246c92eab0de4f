// SPDX-License-Identifier: GPL-2.0-or-later
#include "HeldMouseButtons.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <cstdlib>

#include <xcb/xcb.h>

Qt::MouseButtons HeldMouseButtons()
{
#if QT_CONFIG(xcb)
    if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        xcb_connection_t* connection = x11->connection();
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        xcb_query_pointer_reply_t* reply = screen
            ? xcb_query_pointer_reply(connection, xcb_query_pointer(connection, screen->root), nullptr)
            : nullptr;
        if (reply != nullptr) {
            Qt::MouseButtons held;
            if (reply->mask & XCB_BUTTON_MASK_1)
                held |= Qt::LeftButton;
            if (reply->mask & XCB_BUTTON_MASK_2)
                held |= Qt::MiddleButton;
            if (reply->mask & XCB_BUTTON_MASK_3)
                held |= Qt::RightButton;
            std::free(reply);
            return held;
        }
    }
#endif
    return QGuiApplication::mouseButtons();
}
