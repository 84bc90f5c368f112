#pragma once
// Scans made from the tests' own PDFs: originals with known paragraphs,
// rendered to images (pdftoppm), made to look scanned (grey paper, a slight
// skew, noise, or one bit per pixel, or turned), packed as image-only PDFs;
// and the token scores that compare recognised text with the original.
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>

class QPainter;

namespace pwt::test {

// An original: its PDF and its paragraphs in reading order.
struct ScanOriginal {
    QString name;
    QString pdf;
    QStringList paragraphs;
};

// One page each: English and Chinese (with some English words), in one
// column and in two.
QList<ScanOriginal> makeScanOriginals(const QString& folder);

// How a page looks once scanned.
struct ScanLook {
    double skewDegrees = 0.7; // a page laid slightly askew on the glass
    int noise = 24;           // grey levels of speckle, either way
    int paper = 236;          // grey of the paper
    bool bilevel = false;     // a fax: one bit per pixel
    int turnDegrees = 0;      // 180: scanned upside down
    quint32 seed = 1;
};

inline constexpr int kScanDpi = 300;

// Page `page` (1-based) of a PDF as a grey image, through pdftoppm.
QImage rasterise(const QString& pdf, int page, int dpi = kScanDpi);
QImage scanned(const QImage& page, const ScanLook& look);

// A PDF page: a scan filling it, optionally with text drawn before the image
// (hidden under it) or after it in an invisible ink (a recognised scan's
// text layer).
struct ScanPage {
    QImage image;                              // may be null: a page of text only
    QSizeF sizePt = QSizeF(595.276, 841.89);   // A4
    std::function<void(QPainter&)> drawText;   // drawn over the image, invisible when `invisibleText`
    bool invisibleText = false;
};
void writeScanPdf(const QString& path, const QList<ScanPage>& pages);

// Words of Latin script and numbers, and every Chinese character on its own.
QStringList tokens(const QString& text);

struct TokenScore {
    double recall = 0;    // share of the original's tokens found
    double precision = 0; // share of the found tokens that are the original's
    QString describe() const;
};
// Counts tokens as multisets, in any order.
TokenScore scoreTokens(const QStringList& original, const QStringList& found);

} // namespace pwt::test
