#include "TableSample.h"

#include "PdfComposer.h"

#include <QPainter>

namespace pwt::test {

namespace {

using namespace fmt;

enum class Rules { Grid, ThreeRule, None };

struct CellDraw {
    QString text; // wrapped at the cell's width as a typesetter would
    int columns = 1;
    int rows = 1;
    Align align = Align::Left;
};

struct TableDraw {
    QList<double> widths; // points
    QList<QList<CellDraw>> rows;
    Rules rules = Rules::Grid;
    int headerRows = 1;
    TextStyle body = serif(10);
    TextStyle head = serif(10, true);
};

constexpr double kPad = 4;       // text inside a cell's lines
constexpr double kLinePitch = 1.25; // of the text size

// Draws the table from the composer's y on, left edge at `left`; a row that
// does not fit goes to a new page, under the header rows drawn again.
void drawTable(PdfComposer& pdf, double left, const TableDraw& t)
{
    const double pitch = t.body.size * kLinePitch;
    // The cell's text in lines that fit its width.
    auto wrapped = [&](const CellDraw& cell, double width) {
        QStringList lines{QString()};
        for (const QString& word : cell.text.split(QLatin1Char(' '))) {
            const QString longer = lines.back().isEmpty() ? word : lines.back() + QLatin1Char(' ') + word;
            if (!lines.back().isEmpty() && pdf.advance(longer, t.body) > width - 2 * kPad)
                lines << word;
            else
                lines.back() = longer;
        }
        return lines;
    };
    const int columnCount = static_cast<int>(t.widths.size());
    QList<double> edges{left};
    for (double w : t.widths)
        edges.append(edges.back() + w);
    // Which slots each row's cells take: cells merged down keep theirs below.
    struct Placed {
        CellDraw cell;
        int column = 0;
    };
    QList<QList<Placed>> placed;
    QList<QList<bool>> taken(t.rows.size(), QList<bool>(columnCount, false));
    QList<double> heights;
    for (int r = 0; r < t.rows.size(); ++r) {
        QList<Placed> row;
        int c = 0;
        double height = pitch + 2 * kPad;
        for (const CellDraw& cell : t.rows[r]) {
            while (c < columnCount && taken[r][c])
                ++c;
            row.append({cell, c});
            for (int dr = 0; dr < cell.rows; ++dr)
                for (int dc = 0; dc < cell.columns; ++dc)
                    taken[r + dr][c + dc] = true;
            if (cell.rows == 1)
                height = std::max(height, static_cast<double>(wrapped(cell, edges[c + cell.columns] - edges[c]).size()) * pitch
                                              + 2 * kPad);
            c += cell.columns;
        }
        placed.append(row);
        heights.append(height);
    }
    QList<double> tops; // each row's top on its page
    double y = pdf.y();
    auto rule = [&](double x0, double x1, double at, double width) {
        pdf.drawing([&](QPainter& p) {
            p.setPen(QPen(Qt::black, width));
            p.drawLine(QPointF(x0, at), QPointF(x1, at));
        });
    };
    auto drawRow = [&](int r, double top) {
        for (const Placed& p : placed[r]) {
            const double x0 = edges[p.column], x1 = edges[p.column + p.cell.columns];
            double bottom = top;
            for (int dr = 0; dr < p.cell.rows; ++dr)
                bottom += heights[r + dr];
            const TextStyle& style = r < t.headerRows ? t.head : t.body;
            const QStringList lines = wrapped(p.cell, x1 - x0);
            for (int i = 0; i < lines.size(); ++i) {
                const double baseline = top + kPad + style.size * 0.95 + i * pitch;
                const double x = p.cell.align == Align::Right ? x1 - kPad : p.cell.align == Align::Center ? (x0 + x1) / 2 : x0 + kPad;
                pdf.textAt(x, baseline, lines[i], style, p.cell.align);
            }
            if (t.rules == Rules::Grid)
                pdf.drawing([&](QPainter& painter) {
                    painter.setPen(QPen(Qt::black, 0.6));
                    painter.drawRect(QRectF(QPointF(x0, top), QPointF(x1, bottom)));
                });
        }
    };
    const double right = edges.back();
    auto openPage = [&] {
        if (t.rules == Rules::ThreeRule)
            rule(left, right, y, 1.0);
    };
    auto headerEnd = [&] {
        if (t.rules == Rules::ThreeRule)
            rule(left, right, y, 0.5);
    };
    auto closePage = [&] {
        if (t.rules == Rules::ThreeRule)
            rule(left, right, y, 1.0);
    };
    openPage();
    for (int r = 0; r < t.rows.size(); ++r) {
        if (y + heights[r] > pdf.pageHeight() - 72) {
            closePage();
            pdf.newPage();
            y = pdf.top();
            openPage();
            for (int h = 0; h < t.headerRows; ++h) {
                drawRow(h, y);
                y += heights[h];
            }
            headerEnd();
        }
        drawRow(r, y);
        y += heights[r];
        if (r + 1 == t.headerRows)
            headerEnd();
    }
    closePage();
    pdf.setY(y + 14);
}

ExpectedTable expected(const QString& name, const QString& before, const QString& after, const TableDraw& t)
{
    ExpectedTable e{name, before, after, {}, static_cast<int>(t.widths.size()),
                    t.rules == Rules::Grid ? t.widths : QList<double>{}, t.headerRows};
    for (const auto& row : t.rows) {
        QList<ExpectedCell> cells;
        for (const CellDraw& c : row)
            cells.append({c.text, c.columns, c.rows});
        e.rows.append(cells);
    }
    return e;
}

CellDraw right(const QString& text)
{
    return {text, 1, 1, Align::Right};
}

} // namespace

void makeTableOnlyPdf(const QString& path, int rows, int columns)
{
    PdfComposer pdf(path, QStringLiteral("Table"));
    TableDraw t{QList<double>(columns, 80), {}};
    for (int r = 0; r < rows; ++r) {
        QList<CellDraw> row;
        for (int c = 0; c < columns; ++c)
            row.append({QStringLiteral("R%1C%2").arg(r).arg(c)});
        t.rows.append(row);
    }
    drawTable(pdf, 72, t);
    pdf.finish();
}

TableSample makeTablePdf(const QString& path)
{
    TableSample sample;
    sample.path = path;
    PdfComposer pdf(path, QStringLiteral("Tables"));
    const double left = 72;
    auto text = [&](const QString& t) { pdf.paragraph(plain(t)); };
    auto table = [&](const QString& name, const QString& before, const TableDraw& t, const QString& after) {
        text(before);
        pdf.setY(pdf.y() + 4);
        drawTable(pdf, left, t);
        text(after);
        sample.tables.append(expected(name, before, after, t));
    };

    pdf.paragraph(plain(QStringLiteral("This report gives its figures in tables of several kinds. Each table stands "
                                       "between two paragraphs of running text, as in reports and papers."),
                        serif(), Align::Justify));
    table(QStringLiteral("grid"), QStringLiteral("The fruit sold this week is listed below."),
          {{110, 110, 110, 110},
           {{{QStringLiteral("Product")}, {QStringLiteral("Quantity")}, {QStringLiteral("Price")}, {QStringLiteral("Total")}},
            {{QStringLiteral("Apples")}, right(QStringLiteral("12")), right(QStringLiteral("0.50")), right(QStringLiteral("6.00"))},
            {{QStringLiteral("Pears")}, right(QStringLiteral("8")), right(QStringLiteral("0.75")), right(QStringLiteral("6.00"))},
            {{QStringLiteral("Plums")}, right(QStringLiteral("20")), right(QStringLiteral("0.30")), right(QStringLiteral("6.00"))}}},
          QStringLiteral("Every kind of fruit brought in the same sum."));
    table(QStringLiteral("three rules"), QStringLiteral("The methods compare as follows on the test set."),
          {{140, 90, 90, 90},
           {{{QStringLiteral("Method")}, right(QStringLiteral("Precision")), right(QStringLiteral("Recall")), right(QStringLiteral("Score"))},
            {{QStringLiteral("Baseline")}, right(QStringLiteral("0.71")), right(QStringLiteral("0.64")), right(QStringLiteral("0.67"))},
            {{QStringLiteral("Ours")}, right(QStringLiteral("0.83")), right(QStringLiteral("0.79")), right(QStringLiteral("0.81"))},
            {{QStringLiteral("Oracle")}, right(QStringLiteral("0.95")), right(QStringLiteral("0.93")), right(QStringLiteral("0.94"))}},
           Rules::ThreeRule},
          QStringLiteral("Our method gains about ten points on each measure."));
    table(QStringLiteral("merged"), QStringLiteral("Sales by region over two years were these."),
          {{120, 90, 90, 100},
           {{{QStringLiteral("Region"), 1, 2}, {QStringLiteral("Sales"), 2, 1, Align::Center}, {QStringLiteral("Growth"), 1, 2}},
            {{QStringLiteral("2023"), 1, 1, Align::Right}, {QStringLiteral("2024"), 1, 1, Align::Right}},
            {{QStringLiteral("North")}, right(QStringLiteral("120")), right(QStringLiteral("140")), right(QStringLiteral("17%"))},
            {{QStringLiteral("South")}, right(QStringLiteral("90")), right(QStringLiteral("99")), right(QStringLiteral("10%"))}},
           Rules::Grid, 2},
          QStringLiteral("The north grew faster than the south."));

    pdf.newPage();
    table(QStringLiteral("chinese"), QStringLiteral("下表列出三个城市的人口和面积。"),
          {{120, 120, 120},
           {{{QStringLiteral("城市")}, {QStringLiteral("人口（万）")}, {QStringLiteral("面积")}},
            {{QStringLiteral("北京")}, right(QStringLiteral("2189")), right(QStringLiteral("16410"))},
            {{QStringLiteral("上海")}, right(QStringLiteral("2487")), right(QStringLiteral("6340"))},
            {{QStringLiteral("广州")}, right(QStringLiteral("1868")), right(QStringLiteral("7434"))}},
           Rules::Grid, 1, chinese(10), chinese(10, true)},
          QStringLiteral("上海的人口最多，北京的面积最大。"));
    table(QStringLiteral("unruled"), QStringLiteral("The yearly accounts show a steady profit."),
          {{100, 100, 100, 100},
           {{{QStringLiteral("Year")}, right(QStringLiteral("Revenue")), right(QStringLiteral("Cost")), right(QStringLiteral("Profit"))},
            {{QStringLiteral("2020")}, right(QStringLiteral("1,200")), right(QStringLiteral("800")), right(QStringLiteral("400"))},
            {{QStringLiteral("2021")}, right(QStringLiteral("1,350")), right(QStringLiteral("870")), right(QStringLiteral("480"))},
            {{QStringLiteral("2022")}, right(QStringLiteral("1,410")), right(QStringLiteral("905")), right(QStringLiteral("505"))},
            {{QStringLiteral("2023")}, right(QStringLiteral("1,580")), right(QStringLiteral("990")), right(QStringLiteral("590"))}},
           Rules::None},
          QStringLiteral("The profit grew every year."));

    // A long table of two-line cells that runs on to the next page.
    TableDraw parts{{60, 260, 90}, {{{QStringLiteral("Item")}, {QStringLiteral("Description")}, right(QStringLiteral("Amount"))}}};
    for (int i = 1; i <= 24; ++i) {
        const QString description = i % 3 == 0
            ? QStringLiteral("Spare part number %1, with its fitting kit and the screws that hold it to the frame").arg(i)
            : QStringLiteral("Spare part number %1").arg(i);
        parts.rows.append({{QString::number(i)}, {description}, right(QStringLiteral("%1.00").arg(i * 3))});
    }
    table(QStringLiteral("over a page"), QStringLiteral("The parts on order are these."), parts,
          QStringLiteral("The parts arrive within a week."));

    // Text set like a table but not one.
    pdf.newPage();
    text(QStringLiteral("The steps are few."));
    const TextStyle body = serif(11);
    const QStringList bullets{QStringLiteral("Open the box and take out the parts."),
                              QStringLiteral("Fit the frame to the wall with the screws."),
                              QStringLiteral("Hang the door on the frame and close it.")};
    double y = pdf.y() + 12;
    for (const QString& b : bullets) {
        pdf.textAt(left + 10, y, QStringLiteral("•"), body);
        pdf.textAt(left + 24, y, b, body);
        y += 16;
    }
    pdf.setY(y + 6);
    text(QStringLiteral("The program reads its settings first."));
    const TextStyle code = withFamily(serif(10), QStringLiteral("Liberation Mono"));
    const QStringList listing{QStringLiteral("int main(int argc, char** argv)"), QStringLiteral("{"),
                              QStringLiteral("    Settings settings = load(argv[1]);"),
                              QStringLiteral("    if (!settings.valid())"), QStringLiteral("        return 2;"),
                              QStringLiteral("    return run(settings);"), QStringLiteral("}")};
    pdf.lines(listing, code);
    text(QStringLiteral("The chapters of the guide are these."));
    const QStringList chapters{QStringLiteral("Getting started"), QStringLiteral("Fitting the frame"),
                               QStringLiteral("Hanging the door"), QStringLiteral("Care and cleaning")};
    y = pdf.y() + 12;
    for (int i = 0; i < chapters.size(); ++i) {
        pdf.textAt(left, y, chapters[i], body);
        const double from = left + pdf.advance(chapters[i], body) + 6, to = left + 420;
        QString dots;
        while (pdf.advance(dots + QStringLiteral(" ."), body) < to - from)
            dots += QStringLiteral(" .");
        pdf.textAt(from, y, dots, body);
        pdf.textAt(left + 451, y, QString::number(3 + i * 4), body, Align::Right);
        y += 16;
    }
    pdf.setY(y + 6);
    sample.text = bullets + listing.mid(2, 1) + chapters;

    // Two columns of running text.
    pdf.newPage();
    const QString prose = QStringLiteral("Two columns of running text stand side by side on this page, and each "
                                         "line of one column faces a line of the other across the gutter. ");
    const double top = pdf.y();
    pdf.setColumn(left, 215);
    pdf.paragraph(plain(prose.repeated(3).trimmed(), serif(10), Align::Justify));
    pdf.setY(top);
    pdf.setColumn(left + 236, 215);
    pdf.paragraph(plain(QStringLiteral("The right column says much the same in other words, so that its lines are "
                                       "as long as those of the left column and as many. ")
                            .repeated(3)
                            .trimmed(),
                        serif(10), Align::Justify));
    sample.text += QStringLiteral("Two columns of running text stand side by side on this page");
    sample.text += QStringLiteral("The right column says much the same in other words");
    pdf.finish();
    return sample;
}

} // namespace pwt::test
