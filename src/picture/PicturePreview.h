// The picture shown in the main window's preview: loaded by file extension and scaled to fit.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <stdexcept>

// A file that cannot be shown as a picture; what() is the message for the user (UTF-8).
class PictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Loads the picture at path and returns it scaled to the size FitPictureSize gives for area
// (at least one pixel each way), ready to be drawn at the top-left corner of the area.
// The format is chosen by the file name's extension: bmp, ico, wmf, emf, jpg, jpeg, png.
// Throws PictureError for an unknown extension, a file that cannot be opened, or a damaged picture.
QImage LoadPreviewPicture(const QString& path, QSize area = QSize(80, 63));

// The drawn size of a picture fitted into area: scaled up or down keeping the aspect ratio,
// the long side filling the area, the other truncated to an integer.
QSize FitPictureSize(QSize picture, QSize area);
