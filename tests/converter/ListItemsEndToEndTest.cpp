// Lists through the real pwt: a PDF with bulleted, nested, numbered and
// Chinese lists and their lookalikes, converted, and read back through
// LibreOffice's flat ODF: the items are list items of the right levels and
// formats, their labels no longer in their text.
#include "FodtDocument.h"
#include "PdfComposer.h"
#include "ProgramRun.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace fmt;

namespace {

QString pwtPath() { return qEnvironmentVariable("PWT", QStringLiteral(PWT_PATH)); }

constexpr int kTimeoutMs = 300000;

// A label at `x` and its item's text at `textX`, on one line.
struct ItemLine {
    double x;
    const char16_t* label;
    double textX;
    const char16_t* text;
};

void drawLists(const QString& path)
{
    PdfComposer pdf(path, QStringLiteral("Lists"));
    const TextStyle body = serif(), zh = chinese();
    double y = 100;
    const auto line = [&](double x, const QString& text, const TextStyle& style = serif()) {
        pdf.textAt(x, y, text, style);
        y += 14;
    };
    const auto item = [&](const ItemLine& l, const TextStyle& style = serif()) {
        pdf.textAt(l.x, y, QString::fromUtf16(l.label), style);
        pdf.textAt(l.textX, y, QString::fromUtf16(l.text), style);
        y += 14;
    };
    line(72, QStringLiteral("What to pack for a week in the mountains, in the order it goes into the bag."));
    y += 8;
    item({90, u"\u2022", 102, u"Boots that have been worn in before the trip"});
    item({90, u"\u2022", 102, u"A rain jacket with a hood that fits over a helmet, and trousers"});
    line(102, QStringLiteral("that keep the wind out on the ridges"));
    item({114, u"\u2013", 124, u"the jacket goes in last"});
    item({114, u"\u2013", 124, u"the trousers under it"});
    item({90, u"\u2022", 102, u"A map of the whole range"});
    y += 8;
    line(72, QStringLiteral("The days go like this, weather allowing, with a rest day when needed."));
    y += 8;
    item({90, u"1.", 104, u"Walk up to the first hut"});
    item({90, u"2.", 104, u"Cross the pass early in the morning"});
    line(72, QStringLiteral("On a clear day the pass gives a view over three valleys and the lakes."));
    item({90, u"3.", 104, u"Walk down to the lake and back to the car"});
    y += 8;
    line(72, QStringLiteral("2020 was a year with hardly any snow, and the huts opened early."));
    y += 8;
    line(72, QStringLiteral("1.5 kg of food a day is enough for most people on most days."));
    y += 8;
    // Items of one length: each line opens an item by its label alone.
    item({72, u"一、", 94, u"检查天气预报"}, zh);
    item({72, u"二、", 94, u"告诉家人行程"}, zh);
    y += 8;
    // Labels a wide gap apart from their text, which poppler sets apart.
    item({72, u"a)", 104, u"Check the weather before leaving"});
    item({72, u"b)", 104, u"Tell someone at home where you go"});
    pdf.finish();
}

} // namespace

class ListItemsEndToEndTest : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    fodt::Document m_doc;

    const fodt::Paragraph* find(const QString& text) const
    {
        for (const fodt::Paragraph& p : m_doc.body)
            if (p.text.startsWith(text))
                return &p;
        return nullptr;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        if (qEnvironmentVariableIsSet("KEEP_TEST_FILES")) { // for looking at them by hand
            m_dir.setAutoRemove(false);
            qInfo("files in %s", qPrintable(m_dir.path()));
        }
        const QString pdf = m_dir.filePath(QStringLiteral("lists.pdf")), doc = m_dir.filePath(QStringLiteral("lists.doc"));
        drawLists(pdf);
        auto run = pwt::test::runProgram(pwtPath(), {QStringLiteral("--src=") + pdf, QStringLiteral("--dest=") + doc}, kTimeoutMs);
        QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
        run = pwt::test::runProgram(QStringLiteral("soffice"),
                                    {QStringLiteral("--headless"),
                                     QStringLiteral("-env:UserInstallation=file://") + m_dir.filePath(QStringLiteral("profile")),
                                     QStringLiteral("--convert-to"), QStringLiteral("fodt"), QStringLiteral("--outdir"), m_dir.path(), doc},
                                    kTimeoutMs);
        QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
        m_doc = fodt::read(m_dir.filePath(QStringLiteral("lists.fodt")));
        QVERIFY2(m_doc.error.isEmpty(), qPrintable(m_doc.error));
    }

    void items_data()
    {
        QTest::addColumn<QString>("text");   // the paragraph's text as it starts
        QTest::addColumn<int>("level");      // -1: no list item
        QTest::addColumn<QString>("format"); // a bullet's character, or num-format + "|" + suffix
        QTest::addColumn<int>("start");
        QTest::newRow("bullet") << u"Boots that have been"_qs << 0 << u"\u2022"_qs << 1;
        QTest::newRow("wrapped bullet") << u"A rain jacket with a hood that fits over a helmet, and trousers that keep"_qs << 0
                                        << u"\u2022"_qs << 1;
        QTest::newRow("nested") << u"the jacket goes in last"_qs << 1 << u"\u2013"_qs << 1;
        QTest::newRow("back out") << u"A map of the whole range"_qs << 0 << u"\u2022"_qs << 1;
        QTest::newRow("1.") << u"Walk up to the first hut"_qs << 0 << u"1|."_qs << 1;
        QTest::newRow("3. after a remark") << u"Walk down to the lake"_qs << 0 << u"1|."_qs << 1;
        QTest::newRow("remark") << u"On a clear day"_qs << -1 << QString() << 0;
        QTest::newRow("year") << u"2020 was a year"_qs << -1 << QString() << 0;
        QTest::newRow("quantity") << u"1.5 kg of food"_qs << -1 << QString() << 0;
        QTest::newRow("一、") << u"检查天气预报"_qs << 0 << u"一, 二, 三, ...|、"_qs << 1;
        QTest::newRow("二、") << u"告诉家人行程"_qs << 0 << u"一, 二, 三, ...|、"_qs << 1;
        QTest::newRow("a) set apart") << u"Check the weather"_qs << 0 << u"a|)"_qs << 1;
        QTest::newRow("b) set apart") << u"Tell someone"_qs << 0 << u"a|)"_qs << 1;
    }

    void items()
    {
        QFETCH(QString, text);
        QFETCH(int, level);
        QFETCH(QString, format);
        QFETCH(int, start);
        const fodt::Paragraph* p = find(text);
        QVERIFY2(p, qPrintable(text));
        QCOMPARE(p->list.level, level);
        if (level < 0)
            return;
        const QString got = p->list.numFormat.isEmpty() ? p->list.bulletChar : p->list.numFormat + u'|' + p->list.suffix;
        QCOMPARE(got, format);
        QCOMPARE(p->list.start, start);
    }

    // The three numbered items are one list: Word numbers them 1, 2, 3.
    void numberingRunsOn()
    {
        const fodt::Paragraph* first = find(u"Walk up"_qs);
        const fodt::Paragraph* third = find(u"Walk down"_qs);
        QVERIFY(first && third);
        QCOMPARE(third->list.style, first->list.style);
        QVERIFY(find(u"Boots"_qs)->list.style != first->list.style);
    }
};

QTEST_MAIN(ListItemsEndToEndTest)
#include "ListItemsEndToEndTest.moc"
