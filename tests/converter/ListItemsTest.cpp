// Bulleted and numbered paragraphs become list items: on documents built in
// code, and on synthetic pages through the whole layout.
#include "DocumentBuilder.h"
#include "ListTable.h"
#include "ListItems.h"
#include "ParagraphText.h"
#include "SyntheticPage.h"

#include <QtTest>

using namespace pwt;
using namespace pwt::layout;
using pwt::test::textOf;

namespace {

// A body paragraph as the layout composes it (12 pt text: one em is 240 twips).
struct Sketch {
    const char16_t* text;
    int left = 0;  // twips
    int first = 0; // first-line indent, negative: hanging
    int heading = 0;
    bool contentsEntry = false;
    const char* labelFont = nullptr; // the label's family (a bullet in Symbol)
    Alignment align = Alignment::Left;
    enum class Face { Plain, Bold, Code, TypewriterLabel } face = Face::Plain;
};
using Face = Sketch::Face;

Document documentOf(const std::vector<Sketch>& sketches)
{
    Document doc;
    auto& paragraphs = doc.sections.emplace_back().paragraphs;
    for (const Sketch& s : sketches) {
        Paragraph& p = paragraphs.emplace_back();
        const std::u16string_view text = s.text;
        // The label and its space in a run of their own.
        const bool ownLabelRun = s.labelFont || s.face == Face::TypewriterLabel;
        const std::size_t labelChars = ownLabelRun ? text.find(u' ') + 1 : 0;
        if (ownLabelRun) {
            Run& label = p.runs.emplace_back();
            label.text = text.substr(0, labelChars);
            if (s.labelFont)
                label.format.fontFamily = s.labelFont;
        }
        Run& rest = p.runs.emplace_back();
        rest.text = text.substr(labelChars);
        for (Run& r : p.runs) {
            r.format.bold = s.face == Face::Bold;
            if (s.face == Face::Code || (s.face == Face::TypewriterLabel && &r != &rest))
                r.format.fontKind = FontKind::Typewriter;
        }
        p.format.alignment = s.align;
        p.format.leftIndent = s.left;
        p.format.firstLineIndent = s.first;
        p.format.headingLevel = s.heading;
        if (s.contentsEntry)
            p.format.referenceTab.position = 9000;
    }
    return doc;
}

// Each body paragraph as "[list.level]text", or its text when no list item.
QStringList itemsOf(const Document& doc)
{
    QStringList out;
    for (const Section& s : doc.sections)
        for (const Paragraph& p : s.paragraphs) {
            const QString prefix = p.format.list < 0 ? QString() : u"[%1.%2]"_qs.arg(p.format.list).arg(p.format.listLevel);
            out << prefix + textOf(p) + (p.format.alignment == Alignment::Center ? u" (centred)"_qs : QString())
                + (p.format.alignment == Alignment::Right ? u" (right)"_qs : QString());
        }
    return out;
}

QString formatName(NumberFormat f)
{
    switch (f) {
    case NumberFormat::Bullet: return u"bullet"_qs;
    case NumberFormat::Decimal: return u"1"_qs;
    case NumberFormat::LowerLetter: return u"a"_qs;
    case NumberFormat::UpperLetter: return u"A"_qs;
    case NumberFormat::LowerRoman: return u"i"_qs;
    case NumberFormat::UpperRoman: return u"I"_qs;
    case NumberFormat::ChineseCounting: return u"一"_qs;
    }
    return {};
}

// Each list as its levels "format label start", " | " between levels.
QStringList listsOf(const Document& doc)
{
    QStringList out;
    for (const ListDefinition& list : doc.lists) {
        QStringList levels;
        for (const ListLevel& l : list.levels)
            levels << formatName(l.format) + u' ' + QString::fromStdU16String(l.label) + u' ' + QString::number(l.start);
        out << levels.join(u" | "_qs);
    }
    return out;
}

} // namespace

class ListItemsTest : public QObject {
    Q_OBJECT
private slots:
    void items_data()
    {
        QTest::addColumn<std::vector<Sketch>>("sketches");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("lists");

        QTest::newRow("bullets") << std::vector<Sketch>{{u"Before."}, {u"• one"}, {u"• two"}, {u"•three"}, {u"After."}}
                                 << QStringList{u"Before."_qs, u"[0.0]one"_qs, u"[0.0]two"_qs, u"[0.0]three"_qs, u"After."_qs}
                                 << QStringList{u"bullet • 1"_qs};
        QTest::newRow("TeX bullets, tab") << std::vector<Sketch>{{u"\u2219\tone"}, {u"\u2219\ttwo"}}
                                          << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs} << QStringList{u"bullet \u2219 1"_qs};
        QTest::newRow("1.") << std::vector<Sketch>{{u"1. one"}, {u"2. two"}, {u"3. three"}}
                            << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs, u"[0.0]three"_qs} << QStringList{u"1 %1. 1"_qs};
        QTest::newRow("1)") << std::vector<Sketch>{{u"1) one"}, {u"2) two"}} << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs}
                            << QStringList{u"1 %1) 1"_qs};
        QTest::newRow("(1)") << std::vector<Sketch>{{u"(1) one"}, {u"(2) two"}} << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs}
                             << QStringList{u"1 (%1) 1"_qs};
        QTest::newRow("a.") << std::vector<Sketch>{{u"a. one"}, {u"b. two"}, {u"c. three"}}
                            << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs, u"[0.0]three"_qs} << QStringList{u"a %1. 1"_qs};
        QTest::newRow("(a)") << std::vector<Sketch>{{u"(a) one"}, {u"(b) two"}} << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs}
                             << QStringList{u"a (%1) 1"_qs};
        QTest::newRow("h. i. j. are letters") << std::vector<Sketch>{{u"h) one"}, {u"i) two"}, {u"j) three"}}
                                              << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs, u"[0.0]three"_qs}
                                              << QStringList{u"a %1) 8"_qs};
        QTest::newRow("i. ii)") << std::vector<Sketch>{{u"i) one"}, {u"ii) two"}, {u"iii) three"}, {u"iv) four"}}
                                << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs, u"[0.0]three"_qs, u"[0.0]four"_qs}
                                << QStringList{u"i %1) 1"_qs};
        // A numbering new to the list, at the same indent: the next level.
        QTest::newRow("I. A.") << std::vector<Sketch>{{u"I. first"}, {u"A. one"}, {u"B. two"}, {u"II. second"}}
                               << QStringList{u"[0.0]first"_qs, u"[0.1]one"_qs, u"[0.1]two"_qs, u"[0.0]second"_qs}
                               << QStringList{u"I %1. 1 | A %2. 1"_qs};
        QTest::newRow("1.1") << std::vector<Sketch>{{u"2.1 one"}, {u"2.2 two"}} << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs}
                             << QStringList{u"1 2.%1 1"_qs};
        QTest::newRow("nested") << std::vector<Sketch>{{u"1. one"}, {u"a) sub a", 480}, {u"b) sub b", 480},
                                                       {u"i. deeper", 960}, {u"2. two"}, {u"a) again", 480}, {u"3. three"}}
                                << QStringList{u"[0.0]one"_qs, u"[0.1]sub a"_qs, u"[0.1]sub b"_qs, u"[0.2]deeper"_qs,
                                               u"[0.0]two"_qs, u"[0.1]again"_qs, u"[0.0]three"_qs}
                                << QStringList{u"1 %1. 1 | a %2) 1 | i %3. 1"_qs};
        QTest::newRow("nested 1.1") << std::vector<Sketch>{{u"1. one"}, {u"1.1 sub", 480}, {u"1.2 sub", 480}, {u"2. two"}}
                                    << QStringList{u"[0.0]one"_qs, u"[0.1]sub"_qs, u"[0.1]sub"_qs, u"[0.0]two"_qs}
                                    << QStringList{u"1 %1. 1 | 1 %1.%2 1"_qs};
        QTest::newRow("nested bullets") << std::vector<Sketch>{{u"• one"}, {u"– sub", 480}, {u"– sub", 480}, {u"• two"}}
                                        << QStringList{u"[0.0]one"_qs, u"[0.1]sub"_qs, u"[0.1]sub"_qs, u"[0.0]two"_qs}
                                        << QStringList{u"bullet • 1 | bullet – 1"_qs};
        QTest::newRow("Chinese") << std::vector<Sketch>{{u"一、总则"}, {u"（一）适用范围"}, {u"（二）术语"}, {u"二、要求"},
                                                        {u"十一、附则"}}
                                 << QStringList{u"[0.0]总则"_qs, u"[0.1]适用范围"_qs, u"[0.1]术语"_qs, u"[0.0]要求"_qs, u"十一、附则"_qs}
                                 << QStringList{u"一 %1、 1 | 一 （%2） 1"_qs};
        QTest::newRow("Chinese digits") << std::vector<Sketch>{{u"（1）第一"}, {u"（2）第二"}, {u"1、甲"}, {u"2、乙"}, {u"①丙"}, {u"②丁"}}
                                        << QStringList{u"[0.0]第一"_qs, u"[0.0]第二"_qs, u"[0.1]甲"_qs, u"[0.1]乙"_qs,
                                                       u"[0.2]丙"_qs, u"[0.2]丁"_qs}
                                        << QStringList{u"1 （%1） 1 | 1 %2、 1 | 1 (%3) 1"_qs};
        // Only right under a numbered item, at its indent, does another numbering start a sublist.
        QTest::newRow("new kind after a remark") << std::vector<Sketch>{{u"1. one", 240}, {u"2. two", 240}, {u"Remark."}, {u"一、甲"}, {u"二、乙"}}
                                                 << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs, u"Remark."_qs, u"[1.0]甲"_qs, u"[1.0]乙"_qs}
                                                 << QStringList{u"1 %1. 1"_qs, u"一 %1、 1"_qs};
        QTest::newRow("new kind, list not going on") << std::vector<Sketch>{{u"1) one"}, {u"2) two"}, {u"(a) x"}, {u"(b) y"}}
                                                     << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs, u"[1.0]x"_qs, u"[1.0]y"_qs}
                                                     << QStringList{u"1 %1) 1"_qs, u"a (%1) 1"_qs};
        QTest::newRow("new kind further left") << std::vector<Sketch>{{u"1. one", 480}, {u"2. two", 480}, {u"a) x"}, {u"b) y"}}
                                               << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs, u"[1.0]x"_qs, u"[1.0]y"_qs}
                                               << QStringList{u"1 %1. 1"_qs, u"a %1) 1"_qs};
        // A lone number over a list is no item of it; the list stays one.
        QTest::newRow("lone number before a list") << std::vector<Sketch>{{u"1.5 kg of food a day."}, {u"一、甲"}, {u"二、乙"}}
                                                   << QStringList{u"1.5 kg of food a day."_qs, u"[0.0]甲"_qs, u"[0.0]乙"_qs}
                                                   << QStringList{u"一 %1、 1"_qs};
        QTest::newRow("lone item over a sublist") << std::vector<Sketch>{{u"1. Lone"}, {u"a) x", 480}, {u"b) y", 480}}
                                                  << QStringList{u"1. Lone"_qs, u"[0.0]x"_qs, u"[0.0]y"_qs}
                                                  << QStringList{u"a %1) 1"_qs};
        QTest::newRow("continued") << std::vector<Sketch>{{u"1. one"}, {u"2. two"}, {u"A remark between."}, {u"3. three"}}
                                   << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs, u"A remark between."_qs, u"[0.0]three"_qs}
                                   << QStringList{u"1 %1. 1"_qs};
        QTest::newRow("under an item") << std::vector<Sketch>{{u"1. one", 480, -480}, {u"More of one.", 480}, {u"More.", 480},
                                                              {u"Even more.", 480}, {u"2. two", 480, -480}}
                                       << QStringList{u"[0.0]one"_qs, u"More of one."_qs, u"More."_qs, u"Even more."_qs, u"[0.0]two"_qs}
                                       << QStringList{u"1 %1. 1"_qs};
        QTest::newRow("too far apart") << std::vector<Sketch>{{u"1. one"}, {u"2. two"}, {u"a"}, {u"b"}, {u"c"}, {u"3. three"}}
                                       << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs, u"a"_qs, u"b"_qs, u"c"_qs, u"3. three"_qs}
                                       << QStringList{u"1 %1. 1"_qs};
        QTest::newRow("starts at 3") << std::vector<Sketch>{{u"3. three"}, {u"4. four"}}
                                     << QStringList{u"[0.0]three"_qs, u"[0.0]four"_qs} << QStringList{u"1 %1. 3"_qs};
        QTest::newRow("restarts") << std::vector<Sketch>{{u"1. one"}, {u"2. two"}, {u"1. one"}, {u"2. two"}}
                                  << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs, u"[1.0]one"_qs, u"[1.0]two"_qs}
                                  << QStringList{u"1 %1. 1"_qs, u"1 %1. 1"_qs};
        QTest::newRow("one hanging item") << std::vector<Sketch>{{u"Text."}, {u"1. alone", 480, -480}, {u"Text."}}
                                          << QStringList{u"Text."_qs, u"[0.0]alone"_qs, u"Text."_qs} << QStringList{u"1 %1. 1"_qs};
        // A one-line item about the column's middle that the layout took for centred.
        QTest::newRow("centred by chance") << std::vector<Sketch>{{u"• one", 480}, {.text = u"• two", .align = Alignment::Center}}
                                           << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs} << QStringList{u"bullet • 1"_qs};
        // TeX's bullet comes out of a face poppler reports as fixed-width.
        QTest::newRow("right-aligned by chance") << std::vector<Sketch>{{.text = u"• one", .left = 480, .first = -240, .align = Alignment::Right},
                                                                        {u"• two", 480, -240}}
                                                 << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs} << QStringList{u"bullet • 1"_qs};
        QTest::newRow("typewriter bullets") << std::vector<Sketch>{{.text = u"• \\foo sets", .face = Face::TypewriterLabel},
                                                                   {.text = u"• \\bar gets", .face = Face::TypewriterLabel}}
                                            << QStringList{u"[0.0]\\foo sets"_qs, u"[0.0]\\bar gets"_qs} << QStringList{u"bullet • 1"_qs};
        // A cross reference opening an item's wrapped line opens no sublist.
        QTest::newRow("1.7 under an item") << std::vector<Sketch>{{u"• one"}, {u"1.7 节）。", 480}, {u"• two"}}
                                           << QStringList{u"[0.0]one"_qs, u"1.7 节）。"_qs, u"[0.0]two"_qs} << QStringList{u"bullet • 1"_qs};
        QTest::newRow("figure dashes") << std::vector<Sketch>{{u"\u2012 one"}, {u"\u2012 two"}, {u"\u2012 three"}}
                                       << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs, u"[0.0]three"_qs} << QStringList{u"bullet \u2013 1"_qs};
        // Items whose lines fill the column, read as one paragraph.
        QTest::newRow("joined items") << std::vector<Sketch>{{u"\u2012 \u7532\u4E59\u3002\u2012 \u4E19\u4E01\u3002 \u2012 \u620A"},
                                                             {u"\u2012 \u5DF1"}}
                                      << QStringList{u"[0.0]\u7532\u4E59\u3002"_qs, u"[0.0]\u4E19\u4E01\u3002"_qs,
                                                     u"[0.0]\u620A"_qs, u"[0.0]\u5DF1"_qs}
                                      << QStringList{u"bullet \u2013 1"_qs};
        QTest::newRow("a bullet inside an item") << std::vector<Sketch>{{u"\u2022 one \u2022 two"}, {u"\u2022 three"}}
                                                 << QStringList{u"[0.0]one \u2022 two"_qs, u"[0.0]three"_qs}
                                                 << QStringList{u"bullet \u2022 1"_qs};
        QTest::newRow("dash list, hanging") << std::vector<Sketch>{{u"– one", 360, -360}, {u"– two"}}
                                            << QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs} << QStringList{u"bullet – 1"_qs};

        // Lookalikes stay text.
        const auto unchanged = [](std::vector<Sketch> sketches) {
            QStringList texts;
            for (const Sketch& s : sketches)
                texts << QString::fromStdU16String(s.text) + (s.align == Alignment::Center ? u" (centred)"_qs : QString());
            QTest::newRow(qPrintable(texts.front())) << sketches << texts << QStringList{};
        };
        unchanged({{u"2020 was a year of change."}, {u"2021 was not."}});
        unchanged({{u"1999. The year it began."}, {u"2000. The year after."}});
        unchanged({{u"1.5 kg of flour are needed, or more.", 0, 360}, {u"2.5 kg of sugar."}});
        unchanged({{u"1. Introduction", 0, 0, 1}, {u"Text."}, {u"2. Methods", 0, 0, 1}});
        unchanged({{u"1. Introduction\t1", 0, 0, 0, true}, {u"2. Methods\t4", 0, 0, 0, true}});
        unchanged({{u"2.1 Syntax . . . . . . 2"}, {u"2.2 Naming . . . . . . 3"}, {u"2.3 Parsing.........4"}});
        unchanged({{u"– Where were you? he asked, and waited for an answer.", 0, 360}, {u"– Out, she said.", 0, 360}});
        unchanged({{u"– Where?"}, {u"– Out."}});
        unchanged({{u"– Where? – Out.", 0, 360}, {u"– Why? – Because.", 0, 360}, {u"– When? – Now.", 0, 360}});
        unchanged({{u"3. März 2020: the meeting."}, {u"4. März: the next one."}});
        unchanged({{u"1. A lone number opens this sentence."}});
        unchanged({{u"I went home."}, {u"A. Smith wrote it."}});
        unchanged({{u"-5 °C at night"}, {u"-7 °C at dawn"}, {u"-9 °C"}});
        unchanged({{u"一个例子"}, {u"二十年"}});
        unchanged({{u"•"}, {u"•"}});
        unchanged({{.text = u"2.13.1 Character tokens", .face = Face::Bold}, {.text = u"2.13.2 Control sequences", .face = Face::Bold}});
        unchanged({{.text = u"1. int x;", .face = Face::Code}, {.text = u"2. int y;", .face = Face::Code}});
        unchanged({{.text = u"• A centred title", .align = Alignment::Center}, {.text = u"• and its subtitle", .align = Alignment::Center}});
    }

    void items()
    {
        QFETCH(std::vector<Sketch>, sketches);
        QFETCH(QStringList, items);
        QFETCH(QStringList, lists);
        Document doc = documentOf(sketches);
        markListItems(doc);
        QCOMPARE(itemsOf(doc), items);
        QCOMPARE(listsOf(doc), lists);
    }

    // Where labels and text stand: the label at the first line's start, the
    // text where a hanging item goes on, or past the widest label.
    void indents_data()
    {
        QTest::addColumn<std::vector<Sketch>>("sketches");
        QTest::addColumn<int>("labelIndent");
        QTest::addColumn<int>("textIndent");
        QTest::newRow("hanging") << std::vector<Sketch>{{u"1. one", 720, -360}, {u"2. two", 360}} << 360 << 720;
        // 12 pt: "1." is two label characters and the gap, 1.6 em.
        QTest::newRow("one line each") << std::vector<Sketch>{{u"1. one", 240}, {u"2. two", 240}} << 240 << 240 + 384;
        QTest::newRow("widest label") << std::vector<Sketch>{{u"9. nine"}, {u"10. ten"}} << 0 << 516;
        // Chinese items wrap back under their label.
        QTest::newRow("Chinese") << std::vector<Sketch>{{u"一、总则总则", 0, 480}, {u"二、要求", 480}} << 480 << 0;
    }

    void indents()
    {
        QFETCH(std::vector<Sketch>, sketches);
        QFETCH(int, labelIndent);
        QFETCH(int, textIndent);
        Document doc = documentOf(sketches);
        markListItems(doc);
        QCOMPARE(doc.lists.size(), std::size_t(1));
        const ListLevel& level = doc.lists[0].levels.at(0);
        QCOMPARE(level.labelIndent, labelIndent);
        QCOMPARE(level.textIndent, textIndent);
        for (const Paragraph& p : doc.sections[0].paragraphs) {
            QCOMPARE(p.format.leftIndent, textIndent);
            QCOMPARE(p.format.firstLineIndent, labelIndent - textIndent);
        }
    }

    void bulletInSymbolFont()
    {
        Document doc = documentOf({{u"\u2022 one", 0, 0, 0, false, "Symbol"}, {u"\u2022 two", 0, 0, 0, false, "Symbol"}});
        markListItems(doc);
        QCOMPARE(itemsOf(doc), (QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs}));
        QCOMPARE(doc.lists.at(0).levels.at(0).labelFont, std::string("Symbol"));
        // The label's run is gone, the text keeps its own.
        QCOMPARE(doc.sections[0].paragraphs[0].runs.size(), std::size_t(1));
        QCOMPARE(doc.sections[0].paragraphs[0].runs[0].format.fontFamily, std::string("Times New Roman"));
    }

    // The writer sets a bullet in Symbol as the font codes it (Word shows
    // nothing for U+2022 in Symbol); one Symbol lacks goes in the item's font.
    void bulletsWrittenForSymbol_data()
    {
        QTest::addColumn<QString>("bullet");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("inSymbol");
        QTest::newRow("bullet") << u"\u2022"_qs << u"\uF0B7"_qs << true;
        QTest::newRow("diamond") << u"\u2666"_qs << u"\uF0A8"_qs << true;
        QTest::newRow("Symbol code") << u"\uF0B7"_qs << u"\uF0B7"_qs << true;
        QTest::newRow("not in Symbol") << u"\u25A0"_qs << u"\u25A0"_qs << false;
    }

    void bulletsWrittenForSymbol()
    {
        QFETCH(QString, bullet);
        QFETCH(QString, written);
        QFETCH(bool, inSymbol);
        ListLevel level;
        level.label = bullet.toStdU16String();
        level.labelFont = "Symbol";
        doc::FontTable fonts;
        const doc::ListTables tables = doc::encodeLists({ListDefinition{{level}}}, fonts);
        // The first LVL: its LVLF (28 bytes) gives the sizes of its paragraph
        // and character properties, then its number text follows them.
        const std::uint8_t* lvl = tables.levels.data();
        const std::size_t chpx = lvl[24], papx = lvl[25];
        const std::uint8_t* xst = lvl + 28 + papx + chpx;
        QString text;
        for (std::size_t i = 0; i < std::size_t(xst[0] | xst[1] << 8); ++i)
            text += QChar(char16_t(xst[2 + 2 * i] | xst[3 + 2 * i] << 8));
        QCOMPARE(text, written);
        QCOMPARE(chpx > 0, inSymbol);
    }

    // Word names at most kMaxLists lists: the items of lists past them keep
    // their labels as text rather than lose them.
    void listsPastWordsLimitKeepTheirLabels()
    {
        std::vector<Sketch> sketches;
        for (std::size_t i = 0; i <= kMaxLists; ++i)
            for (const char16_t* t : {u"\u2022 item", u"\u2022 item", u"Plain text.", u"Plain text.", u"Plain text."})
                sketches.push_back({t});
        Document doc = documentOf(sketches);
        markListItems(doc);
        QCOMPARE(doc.lists.size(), kMaxLists);
        const auto& paragraphs = doc.sections[0].paragraphs;
        QCOMPARE(paragraphs[5 * (kMaxLists - 1)].format.list, static_cast<int>(kMaxLists) - 1);
        QCOMPARE(paragraphs[5 * kMaxLists].format.list, -1);
        QCOMPARE(textOf(paragraphs[5 * kMaxLists + 1]), u"\u2022 item"_qs);
    }

    // Numbering runs on over a new section (a chapter's own running head) and
    // table cells hold lists of their own.
    void acrossSectionsAndInCells()
    {
        Document doc = documentOf({{u"1. one"}, {u"2. two"}});
        Section& next = doc.sections.emplace_back();
        next.paragraphs.emplace_back().runs.emplace_back(u"3. three", CharFormat{});
        TableCell& cell = next.tables.emplace_back().rows.emplace_back().cells.emplace_back();
        for (const char16_t* t : {u"• a", u"• b"})
            cell.paragraphs.emplace_back().runs.emplace_back(t, CharFormat{});
        markListItems(doc);
        QCOMPARE(itemsOf(doc), (QStringList{u"[0.0]one"_qs, u"[0.0]two"_qs, u"[0.0]three"_qs}));
        QCOMPARE(cell.paragraphs[1].format.list, 1);
        QCOMPARE(textOf(cell.paragraphs[1]), u"b"_qs);
    }

    // Labels that poppler set apart from their items' text (a wide gap after
    // them): a line of their own in the text's block, or blocks of their own
    // read after it. They open their items' lines again; lookalikes stay apart.
    void labelsSetApart_data()
    {
        using Blocks = std::vector<std::vector<test::LineSpec>>;
        QTest::addColumn<Blocks>("blocks");
        QTest::addColumn<QStringList>("items");
        const auto text = [](double x, double baseline) {
            return test::LineSpec{U"Text of the item that reads on", x, baseline};
        };
        QTest::newRow("in the text's block") << Blocks{{{U"1.", 72, 100}, text(96, 100), {U"2.", 72, 114}, text(96, 114)}}
                                             << QStringList{u"[0.0]Text of the item that reads on"_qs,
                                                            u"[0.0]Text of the item that reads on"_qs};
        QTest::newRow("blocks of their own") << Blocks{{text(90, 100), text(90, 114)}, {{U"\u2022", 72, 100}}, {{U"\u2022", 72, 114}}}
                                             << QStringList{u"[0.0]Text of the item that reads on"_qs,
                                                            u"[0.0]Text of the item that reads on"_qs};
        QTest::newRow("Chinese") << Blocks{{{U"\u68C0\u67E5\u5929\u6C14", 100, 100}, {U"\u544A\u8BC9\u5BB6\u4EBA", 100, 114}},
                                           {{U"\u4E00\u3001", 72, 100}, {U"\u4E8C\u3001", 72, 114}}}
                                 << QStringList{u"[0.0]\u68C0\u67E5\u5929\u6C14"_qs, u"[0.0]\u544A\u8BC9\u5BB6\u4EBA"_qs};
        // A glyph table: each glyph beside its code.
        QTest::newRow("glyph and code") << Blocks{{{U"\u2022", 72, 100}, {U"\u2022", 72, 114}}, {{U"22", 96, 100}, {U"23", 96, 114}}}
                                        << QStringList{u"\u2022\t22"_qs, u"\u2022\t23"_qs};
        // An equation's number at the left column's edge, the right column's text beside it.
        QTest::newRow("equation number") << Blocks{{{U"a + b = c", 150, 100}}, {{U"(1)", 280, 100}},
                                                   {text(314, 86), text(314, 100), text(314, 114)}}
                                         << QStringList{u"a + b = c (1)"_qs,
                                                        u"Text of the item that reads on Text of the item that reads on Text of the item that reads on"_qs};
    }

    void labelsSetApart()
    {
        using Blocks = std::vector<std::vector<test::LineSpec>>;
        QFETCH(Blocks, blocks);
        QFETCH(QStringList, items);
        pdf::PageText page;
        page.width = 595;
        page.height = 842;
        for (const auto& lines : blocks)
            test::addBlock(page, lines);
        QCOMPARE(itemsOf(buildDocument({page}, {})), items);
    }

    // A page of more lone bullets than a page has items (a glyph table, or a
    // hostile file) keeps them apart and stays quick.
    void manyLoneLabels()
    {
        pdf::PageText page;
        page.width = 595;
        page.height = 842;
        std::vector<test::LineSpec> labels, texts;
        for (int i = 0; i < 500; ++i) {
            const double baseline = 50 + 1.5 * i;
            labels.push_back({U"\u2022", 72, baseline});
            texts.push_back({U"Text", 90, baseline});
        }
        test::addBlock(page, labels);
        test::addBlock(page, texts);
        const Document doc = buildDocument({page}, {});
        QVERIFY(doc.lists.empty());
    }

    // Lines on a page through the whole layout: a bulleted list with a
    // wrapped, hanging item, then a numbered one.
    void onSyntheticPage()
    {
        pdf::PageText page;
        page.number = 1;
        page.width = 595;
        page.height = 842;
        using pwt::test::LineSpec;
        test::addBlock(page, {
            {U"Some text before the lists, long enough to be a paragraph.", 72, 100},
            {U"• first item", 90, 124},
            {U"• second item that wraps onto a second line of the page and", 90, 136},
            {U"goes on under its text", 100, 148},
            {U"1. numbered", 90, 172},
            {U"2. numbered again", 90, 184},
        });
        const Document doc = buildDocument({page}, {});
        QCOMPARE(itemsOf(doc), (QStringList{u"Some text before the lists, long enough to be a paragraph."_qs, u"[0.0]first item"_qs,
                                            u"[0.0]second item that wraps onto a second line of the page and goes on under its text"_qs,
                                            u"[1.0]numbered"_qs, u"[1.0]numbered again"_qs}));
        QCOMPARE(listsOf(doc), (QStringList{u"bullet • 1"_qs, u"1 %1. 1"_qs}));
        // The hang of the wrapped item: its text 10 pt right of the bullet.
        const ListLevel& bullets = doc.lists[0].levels[0];
        QCOMPARE(bullets.textIndent - bullets.labelIndent, 200);
    }

    // Chinese items of one length in a block of their own: each line opens an item.
    void chineseItemsOnSyntheticPage()
    {
        pdf::PageText page;
        page.number = 1;
        page.width = 595;
        page.height = 842;
        test::addBlock(page, {{U"一、检查天气预报", 72, 100}, {U"二、告诉家人行程", 72, 114}, {U"（一）带上地图", 72, 128},
                              {U"（二）带上雨衣", 72, 142}});
        const Document doc = buildDocument({page}, {});
        QCOMPARE(itemsOf(doc), (QStringList{u"[0.0]检查天气预报"_qs, u"[0.0]告诉家人行程"_qs, u"[0.1]带上地图"_qs, u"[0.1]带上雨衣"_qs}));
    }
};

QTEST_GUILESS_MAIN(ListItemsTest)
#include "ListItemsTest.moc"
