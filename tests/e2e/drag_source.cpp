// SPDX-License-Identifier: GPL-2.0-or-later
// A stand-in for a file manager: a window that, when pressed, starts a platform drag offering
// its arguments as a text/uri-list (exactly the bytes given, one URL a line, CR LF after each)
// with copy and move allowed, the way file managers offer files. When the drag ends it prints
// the action the target chose ("copy", "move", "link" or "none") and exits soon after.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

class DragSource : public QWidget {
public:
    explicit DragSource(QByteArray uriList) : uriList_(std::move(uriList))
    {
        setWindowTitle(QStringLiteral("Leafbind drag source"));
        resize(160, 120);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        auto* drag = new QDrag(this);
        auto* offer = new QMimeData;
        offer->setData(QStringLiteral("text/uri-list"), uriList_);
        drag->setMimeData(offer);
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
        const char* name = action == Qt::CopyAction ? "copy"
                           : action == Qt::MoveAction ? "move"
                           : action == Qt::LinkAction ? "link"
                                                      : "none";
        std::printf("%s\n", name);
        std::fflush(stdout);
        // The drag is over for the source before the target has fetched the offer: stay a while
        // to answer it, as a file manager would.
        QTimer::singleShot(2000, qApp, &QCoreApplication::quit);
    }

private:
    QByteArray uriList_;
};

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QByteArray uriList;
    for (int i = 1; i < argc; ++i)
        uriList += QByteArray(argv[i]) + "\r\n";
    DragSource window(uriList);
    window.move(0, 0);
    window.show();
    return app.exec();
}
