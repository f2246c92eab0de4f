#include "MetafilePreview.h"

#include "PicturePreview.h"
#include "QuietLibraryOutput.h"

#include <cstdlib>

#include <emf2svg.h>

QImage RenderEmfPreview(const QByteArray& bytes, QSize area)
{
    generatorOptions options{};
    char noNamespace[] = "";
    options.nameSpace = noNamespace;
    options.verbose = false;
    options.emfplus = true;
    options.svgDelimiter = true;

    char* svg = nullptr;
    size_t svgLength = 0;
    int converted = 0;
    {
        QuietLibraryOutput quiet;
        QByteArray input = bytes; // the library takes a writable buffer
        converted = emf2svg(input.data(), static_cast<size_t>(input.size()), &svg, &svgLength, &options);
    }
    const QByteArray document = converted && svg ? QByteArray(svg, static_cast<qsizetype>(svgLength)) : QByteArray();
    std::free(svg);
    if (document.isEmpty())
        throw PictureError(kInvalidMetafile);
    return RenderSvgPreview(document, area);
}
