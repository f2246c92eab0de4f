// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the metafile previews (first byte even: WMF, odd: EMF): each must throw
// PictureError or return a picture, never crash, leak or hang.
#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

#include "MetafilePreview.h"
#include "PicturePreview.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    try {
        const QImage picture = (data[0] & 1) ? RenderEmfPreview(bytes, QSize(80, 63)) : RenderWmfPreview(bytes, QSize(80, 63));
        if (picture.isNull())
            __builtin_trap();
    } catch (const PictureError&) {
    }
    return 0;
}
