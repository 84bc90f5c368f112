#pragma once
// Reads back a .doc file for the tests, independently of the writer's code:
// opens the compound file with libgsf and decodes the FIB, piece table,
// formatted disk pages and PLCs following [MS-DOC].
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace docread {

struct DocFile {
    QString error; // empty when the file opened
    QByteArray word;
    QByteArray table;
    QByteArray data; // the Data stream (pictures); empty when there is none
    QByteArray summary;
    QByteArray documentSummary;

    quint16 u16(const QByteArray& bytes, qsizetype at) const;
    quint32 u32(const QByteArray& bytes, qsizetype at) const;
    quint32 fc(int pair) const;  // FibRgFcLcb97 entry
    quint32 lcb(int pair) const;
    quint32 ccpText() const;
    quint32 ccpFtn() const;
    quint32 ccpHdd() const;
};

DocFile open(const QString& path);

// One property run of an FKP: stream offsets [fcStart, fcEnd) and its sprms
// (for paragraphs: istd first, then sprms).
struct PropertyRun {
    quint32 fcStart = 0;
    quint32 fcEnd = 0;
    QByteArray grpprl;
    int page = 0; // the FKP it was read from, counted from 0
    bool fromDataStream = false; // the page held a sprmPHugePapx: grpprl is the Data stream's PrcData
};

struct Pieces {
    QList<quint32> cps;
    QList<quint32> fcs;
    QList<bool> compressed;
};

Pieces pieces(const DocFile& doc);
QString text(const DocFile& doc); // the whole text through the piece table
QList<PropertyRun> characterRuns(const DocFile& doc);
QList<PropertyRun> paragraphRuns(const DocFile& doc);

// sprm code -> operand bytes; the last occurrence wins, as in Word.
// sprmTDefTable's operand starts after its two-byte length.
QMap<quint16, QByteArray> sprms(const QByteArray& grpprl);
int operandValue(const QByteArray& operand); // little-endian, sign-extended for 2 bytes

// The CPs of a PLC whose data elements are `dataSize` bytes, and its data.
QList<quint32> plcCps(const QByteArray& table, quint32 fc, quint32 lcb, int dataSize);
QByteArray plcData(const QByteArray& table, quint32 fc, quint32 lcb, int dataSize, int index);

// An inline picture: PICFAndOfficeArtData in the Data stream at the offset a
// picture character's sprmCPicLocation gives.
struct InlinePicture {
    QString error; // empty when every structure checked out
    quint32 lcb = 0;
    int goalWidth = 0, goalHeight = 0, scaleX = 0, scaleY = 0; // PICMID
    int cropLeft = 0, cropTop = 0, cropRight = 0, cropBottom = 0; // twips of the goal size
    int shapeType = 0;                      // OfficeArtFSP instance
    QMap<quint16, quint32> shapeProperties; // OfficeArtFOPT: opid -> value
    int blipType = 0;                       // OfficeArtFBSE btWin32
    quint16 blipRecordType = 0;             // 0xF01D JPEG, 0xF01E PNG
    int blipInstance = 0;                   // JPEG: 0x46A RGB, 0x6E2 CMYK
    QByteArray image;                       // the BLIP's file data

    // The size shown, in twips: the goal less the cropping, scaled.
    double shownWidth() const { return (goalWidth - cropLeft - cropRight) * scaleX / 1000.0; }
    double shownHeight() const { return (goalHeight - cropTop - cropBottom) * scaleY / 1000.0; }
};
InlinePicture inlinePicture(const DocFile& doc, quint32 offset);

struct Font {
    QString name;
    int charset = 0;
    int ffid = 0; // pitch in bits 0-1, family (FF_ROMAN 1, FF_SWISS 2, FF_MODERN 3) in bits 4-6
};
QList<Font> fonts(const DocFile& doc);

struct Style {
    int istd = 0;
    int sti = 0;
    int stk = 0;
    QString name;
    QByteArray paragraphUpx; // istd + sprms
    QByteArray characterUpx;
};
QList<Style> styles(const DocFile& doc); // only the non-empty slots

// The properties in force at a character: its CHPX sprms, its paragraph's
// PAPX (istd first).
QByteArray characterPropertiesAt(const DocFile& doc, quint32 cp);
QByteArray paragraphPropertiesAt(const DocFile& doc, quint32 cp);

// A list level (LVL): its LVLF's fields, sprms and number text.
struct ListLevel {
    int start = 0;
    int nfc = -1;
    QList<int> numberPlaces; // rgbxchNums up to the first 0
    int follow = -1;         // ixchFollow
    QByteArray papx, chpx;
    QString numberText;      // xst: placeholders are characters 0..8
};
// A list definition (LSTF) with its levels, from PlfLst and the LVLs after it.
struct ListDefinition {
    qint32 lsid = 0;
    bool simple = false;
    QList<ListLevel> levels;
};
QList<ListDefinition> lists(const DocFile& doc);
QList<qint32> listOverrides(const DocFile& doc); // the lsid of each LFO of PlfLfo

QStringList bookmarkNames(const DocFile& doc); // SttbfBkmk

} // namespace docread
