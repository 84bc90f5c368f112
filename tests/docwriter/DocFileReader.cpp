// glib names a member "signals", which Qt defines as a keyword: libgsf first.
#include <gsf/gsf.h>

#include "DocFileReader.h"

namespace docread {
namespace {

QByteArray readChild(GsfInfile* ole, const char* name)
{
    GsfInput* child = gsf_infile_child_by_name(ole, name);
    if (!child)
        return {};
    const auto size = gsf_input_size(child);
    QByteArray bytes(static_cast<qsizetype>(size), '\0');
    if (size > 0 && !gsf_input_read(child, static_cast<size_t>(size), reinterpret_cast<guint8*>(bytes.data())))
        bytes.clear();
    g_object_unref(child);
    return bytes;
}

constexpr int kFcLcbStart = 154;
constexpr int kPage = 512;

constexpr quint16 kTDefTable = 0xD608;  // its operand's length takes two bytes
constexpr quint16 kPHugePapx = 0x6646;  // the properties are in the Data stream

int operandSize(quint16 sprm, const QByteArray& grpprl, qsizetype at)
{
    if (sprm == kTDefTable) // cb counts one more than the bytes after it
        return 1 + static_cast<quint8>(grpprl.at(at)) + (static_cast<quint8>(grpprl.at(at + 1)) << 8);
    switch (sprm >> 13) {
    case 0:
    case 1: return 1;
    case 2:
    case 4:
    case 5: return 2;
    case 3: return 4;
    case 7: return 3;
    default: return 1 + static_cast<quint8>(grpprl.at(at)); // variable: length byte first
    }
}

} // namespace

quint16 DocFile::u16(const QByteArray& b, qsizetype at) const
{
    if (at < 0 || at + 2 > b.size())
        return 0;
    return static_cast<quint16>(static_cast<quint8>(b[at]) | (static_cast<quint8>(b[at + 1]) << 8));
}

quint32 DocFile::u32(const QByteArray& b, qsizetype at) const
{
    return u16(b, at) | (static_cast<quint32>(u16(b, at + 2)) << 16);
}

quint32 DocFile::fc(int pair) const { return u32(word, kFcLcbStart + 8 * pair); }
quint32 DocFile::lcb(int pair) const { return u32(word, kFcLcbStart + 8 * pair + 4); }
quint32 DocFile::ccpText() const { return u32(word, 64 + 12); }
quint32 DocFile::ccpFtn() const { return u32(word, 64 + 16); }
quint32 DocFile::ccpHdd() const { return u32(word, 64 + 20); }

DocFile open(const QString& path)
{
    static const bool initialised = (gsf_init(), true);
    Q_UNUSED(initialised);
    DocFile doc;
    GError* err = nullptr;
    GsfInput* input = gsf_input_stdio_new(path.toLocal8Bit().constData(), &err);
    if (!input) {
        doc.error = QStringLiteral("cannot open: ") + QString::fromUtf8(err ? err->message : "?");
        if (err)
            g_error_free(err);
        return doc;
    }
    GsfInfile* ole = gsf_infile_msole_new(input, &err);
    g_object_unref(input);
    if (!ole) {
        doc.error = QStringLiteral("not a compound file: ") + QString::fromUtf8(err ? err->message : "?");
        if (err)
            g_error_free(err);
        return doc;
    }
    doc.word = readChild(ole, "WordDocument");
    doc.table = readChild(ole, "1Table");
    doc.data = readChild(ole, "Data");
    doc.summary = readChild(ole, "\005SummaryInformation");
    doc.documentSummary = readChild(ole, "\005DocumentSummaryInformation");
    g_object_unref(ole);
    if (doc.word.isEmpty() || doc.table.isEmpty())
        doc.error = QStringLiteral("WordDocument or 1Table stream missing");
    return doc;
}

Pieces pieces(const DocFile& doc)
{
    Pieces p;
    const quint32 at = doc.fc(33);
    const quint32 lcb = doc.lcb(33);
    qsizetype i = at;
    while (i < at + lcb && doc.table.at(i) == 0x01) // skip Prc records
        i += 3 + doc.u16(doc.table, i + 1);
    if (i >= at + lcb || doc.table.at(i) != 0x02)
        return p;
    const quint32 plcSize = doc.u32(doc.table, i + 1);
    const qsizetype plc = i + 5;
    const int n = static_cast<int>((plcSize - 4) / 12);
    for (int k = 0; k <= n; ++k)
        p.cps << doc.u32(doc.table, plc + 4 * k);
    for (int k = 0; k < n; ++k) {
        const quint32 fcRaw = doc.u32(doc.table, plc + 4 * (n + 1) + 8 * k + 2);
        p.compressed << ((fcRaw & 0x40000000u) != 0);
        p.fcs << (fcRaw & 0x3FFFFFFFu);
    }
    return p;
}

QString text(const DocFile& doc)
{
    const Pieces p = pieces(doc);
    QString out;
    for (int k = 0; k + 1 < p.cps.size(); ++k) {
        const quint32 count = p.cps[k + 1] - p.cps[k];
        for (quint32 c = 0; c < count; ++c) {
            if (p.compressed[k])
                out.append(QChar(static_cast<quint8>(doc.word.at((p.fcs[k] / 2) + c))));
            else
                out.append(QChar(doc.u16(doc.word, p.fcs[k] + 2 * c)));
        }
    }
    return out;
}

namespace {

QList<PropertyRun> pageRuns(const DocFile& doc, int pair, bool paragraphs)
{
    QList<PropertyRun> runs;
    const quint32 at = doc.fc(pair);
    const quint32 lcb = doc.lcb(pair);
    const int pages = static_cast<int>((lcb - 4) / 8);
    for (int k = 0; k < pages; ++k) {
        const quint32 pn = doc.u32(doc.table, at + 4 * (pages + 1) + 4 * k) & 0x3FFFFF;
        const QByteArray page = doc.word.mid(static_cast<qsizetype>(pn) * kPage, kPage);
        if (page.size() != kPage)
            return {};
        const int count = static_cast<quint8>(page.at(kPage - 1));
        for (int e = 0; e < count; ++e) {
            PropertyRun run;
            run.page = k;
            run.fcStart = doc.u32(page, 4 * e);
            run.fcEnd = doc.u32(page, 4 * (e + 1));
            const qsizetype entry = 4 * (count + 1) + (paragraphs ? 13 : 1) * e;
            const int offset = 2 * static_cast<quint8>(page.at(entry));
            if (offset != 0) {
                int cb = static_cast<quint8>(page.at(offset));
                if (!paragraphs)
                    run.grpprl = page.mid(offset + 1, cb);
                else if (cb != 0)
                    run.grpprl = page.mid(offset + 1, 2 * cb - 1);
                else
                    run.grpprl = page.mid(offset + 2, 2 * static_cast<quint8>(page.at(offset + 1)));
            }
            // sprmPHugePapx first after the style: the sprms are a PrcData in the Data stream.
            if (paragraphs && run.grpprl.size() >= 8 && doc.u16(run.grpprl, 2) == kPHugePapx) {
                const quint32 prc = doc.u32(run.grpprl, 4);
                const quint16 cb = doc.u16(doc.data, prc);
                run.grpprl = run.grpprl.left(2) + doc.data.mid(prc + 2, cb);
                run.fromDataStream = true;
            }
            runs << run;
        }
    }
    return runs;
}

} // namespace

QList<PropertyRun> characterRuns(const DocFile& doc) { return pageRuns(doc, 12, false); }
QList<PropertyRun> paragraphRuns(const DocFile& doc) { return pageRuns(doc, 13, true); }

QMap<quint16, QByteArray> sprms(const QByteArray& grpprl)
{
    QMap<quint16, QByteArray> out;
    qsizetype i = 0;
    while (i + 2 <= grpprl.size()) {
        const quint16 code = static_cast<quint16>(static_cast<quint8>(grpprl[i]) | (static_cast<quint8>(grpprl[i + 1]) << 8));
        const int size = operandSize(code, grpprl, i + 2);
        out[code] = code == kTDefTable ? grpprl.mid(i + 4, size - 2) : grpprl.mid(i + 2, size);
        i += 2 + size;
    }
    return out;
}

int operandValue(const QByteArray& operand)
{
    quint32 v = 0;
    for (qsizetype i = operand.size() - 1; i >= 0; --i)
        v = (v << 8) | static_cast<quint8>(operand[i]);
    if (operand.size() == 2)
        return static_cast<qint16>(v);
    return static_cast<int>(v);
}

QList<quint32> plcCps(const QByteArray& table, quint32 fc, quint32 lcb, int dataSize)
{
    DocFile d;
    QList<quint32> cps;
    const int n = static_cast<int>((lcb - 4) / static_cast<quint32>(4 + dataSize));
    for (int k = 0; k <= n; ++k)
        cps << d.u32(table, fc + 4 * k);
    return cps;
}

QByteArray plcData(const QByteArray& table, quint32 fc, quint32 lcb, int dataSize, int index)
{
    const int n = static_cast<int>((lcb - 4) / static_cast<quint32>(4 + dataSize));
    return table.mid(fc + 4 * (n + 1) + dataSize * index, dataSize);
}

InlinePicture inlinePicture(const DocFile& doc, quint32 offset)
{
    InlinePicture pic;
    const QByteArray& d = doc.data;
    auto fail = [&pic](const QString& why) {
        pic.error = why;
        return pic;
    };
    auto s16 = [&](qsizetype at) { return static_cast<int>(static_cast<qint16>(doc.u16(d, at))); };
    if (qsizetype(offset) + 0x44 > d.size())
        return fail(QStringLiteral("PICF past the Data stream's end"));
    pic.lcb = doc.u32(d, offset);
    if (doc.u16(d, offset + 4) != 0x44)
        return fail(QStringLiteral("cbHeader is not 0x44"));
    if (doc.u16(d, offset + 6) != 0x64)
        return fail(QStringLiteral("mfpf.mm is not MM_SHAPE"));
    if (qsizetype(offset) + pic.lcb > d.size())
        return fail(QStringLiteral("lcb past the Data stream's end"));
    const qsizetype picmid = offset + 6 + 8 + 14;
    pic.goalWidth = s16(picmid);
    pic.goalHeight = s16(picmid + 2);
    pic.scaleX = doc.u16(d, picmid + 4);
    pic.scaleY = doc.u16(d, picmid + 6);
    pic.cropLeft = s16(picmid + 8);
    pic.cropTop = s16(picmid + 10);
    pic.cropRight = s16(picmid + 12);
    pic.cropBottom = s16(picmid + 14);

    // OfficeArt records: version and instance, type, length.
    struct Header {
        int version, instance;
        quint16 type;
        quint32 length;
    };
    auto header = [&](qsizetype at) {
        const quint16 vi = doc.u16(d, at);
        return Header{vi & 0xF, vi >> 4, doc.u16(d, at + 2), doc.u32(d, at + 4)};
    };
    const qsizetype end = offset + pic.lcb;
    qsizetype at = offset + 0x44;
    const Header container = header(at);
    if (container.type != 0xF004 || container.version != 0xF)
        return fail(QStringLiteral("no OfficeArtSpContainer after the PICF"));
    const qsizetype containerEnd = at + 8 + container.length;
    for (at += 8; at < containerEnd;) {
        const Header h = header(at);
        if (h.type == 0xF00A) {
            pic.shapeType = h.instance;
        } else if (h.type == 0xF00B) {
            for (int i = 0; i < h.instance; ++i)
                pic.shapeProperties.insert(doc.u16(d, at + 8 + 6 * i), doc.u32(d, at + 8 + 6 * i + 2));
        }
        at += 8 + h.length;
    }
    const Header fbse = header(at);
    if (fbse.type != 0xF007 || fbse.version != 2 || at + 8 + qsizetype(fbse.length) != end)
        return fail(QStringLiteral("no OfficeArtFBSE filling the rest of lcb"));
    pic.blipType = static_cast<quint8>(d.at(at + 8));
    const quint32 blipSize = doc.u32(d, at + 8 + 20);
    const qsizetype blipAt = at + 8 + 36 + static_cast<quint8>(d.at(at + 8 + 33)); // after cbName's name
    const Header blip = header(blipAt);
    if (blip.length + 8 != blipSize || blipAt + 8 + qsizetype(blip.length) != end)
        return fail(QStringLiteral("the BLIP's size disagrees with its OfficeArtFBSE"));
    pic.blipRecordType = blip.type;
    pic.blipInstance = blip.instance;
    const int uids = (blip.instance & 1) ? 2 : 1;
    pic.image = d.mid(blipAt + 8 + 16 * uids + 1, blip.length - 16 * uids - 1);
    return pic;
}

QList<Font> fonts(const DocFile& doc)
{
    QList<Font> out;
    const quint32 at = doc.fc(15);
    const int count = doc.u16(doc.table, at);
    qsizetype i = at + 4;
    for (int k = 0; k < count; ++k) {
        const int size = static_cast<quint8>(doc.table.at(i));
        Font f;
        f.ffid = static_cast<quint8>(doc.table.at(i + 1));
        f.charset = static_cast<quint8>(doc.table.at(i + 1 + 3));
        for (qsizetype c = i + 1 + 39; c + 1 < i + 1 + size; c += 2) {
            const quint16 ch = doc.u16(doc.table, c);
            if (ch == 0)
                break;
            f.name.append(QChar(ch));
        }
        out << f;
        i += 1 + size;
    }
    return out;
}

QList<Style> styles(const DocFile& doc)
{
    QList<Style> out;
    const quint32 at = doc.fc(1);
    const int cbStshi = doc.u16(doc.table, at);
    const int cstd = doc.u16(doc.table, at + 2);
    const int cbBase = doc.u16(doc.table, at + 4);
    qsizetype i = at + 2 + cbStshi;
    for (int istd = 0; istd < cstd; ++istd) {
        const int cbStd = doc.u16(doc.table, i);
        const qsizetype std = i + 2;
        i = std + cbStd;
        if (cbStd == 0)
            continue;
        Style s;
        s.istd = istd;
        s.sti = doc.u16(doc.table, std) & 0x0FFF;
        s.stk = doc.u16(doc.table, std + 2) & 0x000F;
        const int cupx = doc.u16(doc.table, std + 4) & 0x000F;
        qsizetype p = std + cbBase;
        const int cch = doc.u16(doc.table, p);
        for (int c = 0; c < cch; ++c)
            s.name.append(QChar(doc.u16(doc.table, p + 2 + 2 * c)));
        p += 2 + 2 * cch + 2;
        for (int u = 0; u < cupx; ++u) {
            const int cb = doc.u16(doc.table, p);
            const QByteArray upx = doc.table.mid(p + 2, cb);
            if (s.stk == 1 && u == 0)
                s.paragraphUpx = upx;
            else
                s.characterUpx = upx;
            p += 2 + cb + (cb % 2);
        }
        out << s;
    }
    return out;
}

namespace {

constexpr int kPlfLst = 73, kPlfLfo = 74, kSttbfBkmk = 21;
constexpr int kLstfSize = 28, kLvlfSize = 28, kLfoSize = 16, kLevelsPerList = 9;

QByteArray propertiesAt(const QList<PropertyRun>& runs, quint32 fc)
{
    for (const PropertyRun& r : runs)
        if (r.fcStart <= fc && fc < r.fcEnd)
            return r.grpprl;
    return {};
}

} // namespace

QByteArray characterPropertiesAt(const DocFile& doc, quint32 cp)
{
    return propertiesAt(characterRuns(doc), pieces(doc).fcs.value(0) + 2 * cp);
}

QByteArray paragraphPropertiesAt(const DocFile& doc, quint32 cp)
{
    return propertiesAt(paragraphRuns(doc), pieces(doc).fcs.value(0) + 2 * cp);
}

QList<ListDefinition> lists(const DocFile& doc)
{
    QList<ListDefinition> out;
    if (doc.lcb(kPlfLst) < 2)
        return out;
    const QByteArray& t = doc.table;
    const qsizetype start = doc.fc(kPlfLst);
    const int count = static_cast<qint16>(doc.u16(t, start));
    for (int i = 0; i < count; ++i) {
        const qsizetype lstf = start + 2 + i * kLstfSize;
        ListDefinition list;
        list.lsid = static_cast<qint32>(doc.u32(t, lstf));
        list.simple = lstf + 26 < t.size() && (static_cast<quint8>(t.at(lstf + 26)) & 0x01) != 0;
        out << list;
    }
    // The LVLs follow the PlfLst: nine per list, one for a simple list.
    qsizetype at = start + doc.lcb(kPlfLst);
    for (ListDefinition& list : out)
        for (int l = 0; l < (list.simple ? 1 : kLevelsPerList) && at + kLvlfSize <= t.size(); ++l) {
            ListLevel level;
            level.start = static_cast<qint32>(doc.u32(t, at));
            level.nfc = static_cast<quint8>(t.at(at + 4));
            for (int k = 0; k < kLevelsPerList && t.at(at + 6 + k) != 0; ++k)
                level.numberPlaces << static_cast<quint8>(t.at(at + 6 + k));
            level.follow = static_cast<quint8>(t.at(at + 15));
            const int cbChpx = static_cast<quint8>(t.at(at + 24));
            const int cbPapx = static_cast<quint8>(t.at(at + 25));
            at += kLvlfSize;
            level.papx = t.mid(at, cbPapx);
            level.chpx = t.mid(at + cbPapx, cbChpx);
            at += cbPapx + cbChpx;
            const int cch = doc.u16(t, at);
            for (int k = 0; k < cch; ++k)
                level.numberText += QChar(doc.u16(t, at + 2 + 2 * k));
            at += 2 + 2 * cch;
            list.levels << level;
        }
    return out;
}

QList<qint32> listOverrides(const DocFile& doc)
{
    QList<qint32> out;
    if (doc.lcb(kPlfLfo) < 4)
        return out;
    const qsizetype start = doc.fc(kPlfLfo);
    const quint32 count = doc.u32(doc.table, start);
    for (quint32 i = 0; i < count && 4 + (i + 1) * kLfoSize <= doc.lcb(kPlfLfo); ++i)
        out << static_cast<qint32>(doc.u32(doc.table, start + 4 + i * kLfoSize));
    return out;
}

QStringList bookmarkNames(const DocFile& doc)
{
    QStringList names;
    if (doc.lcb(kSttbfBkmk) < 6)
        return names;
    const QByteArray& t = doc.table;
    qsizetype at = doc.fc(kSttbfBkmk);
    if (doc.u16(t, at) != 0xFFFF)
        return names; // not the extended (UTF-16) form
    const int count = doc.u16(t, at + 2);
    const int extra = doc.u16(t, at + 4);
    at += 6;
    for (int i = 0; i < count; ++i) {
        const int cch = doc.u16(t, at);
        QString name;
        for (int k = 0; k < cch; ++k)
            name += QChar(doc.u16(t, at + 2 + 2 * k));
        names << name;
        at += 2 + 2 * cch + extra;
    }
    return names;
}

} // namespace docread
