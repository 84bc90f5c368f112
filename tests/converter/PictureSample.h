#pragma once
// PDFs with pictures and drawings whose place, size and content are known:
// a photograph (kept as JPEG by Qt's PDF writer), a flat-colour picture
// (kept losslessly), a vector bar chart with its labels, the photograph again
// on another page, and a dark slide with light text.
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>

namespace pwt::test {

struct ExpectedPicture {
    QString after;       // the text of the paragraph before it
    QString before;      // the text of the paragraph after it
    QSizeF shownPt;      // displayed size, points
    QImage source;       // what was drawn; null for a vector drawing
    QStringList labels;  // text drawn inside it (into the picture, not the body)
};

struct PictureSample {
    QString path;
    QList<ExpectedPicture> pictures; // in reading order
    QStringList slideText;           // light text on the dark slide
    QStringList iconLine;            // the text before and after an icon drawn inside a line
    QSizeF iconPt;
};

PictureSample makePicturePdf(const QString& path);

} // namespace pwt::test
