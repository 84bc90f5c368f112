#pragma once
// A PDF of known tables and of text that only looks like one: a ruled grid
// with a bold header, a three-rule table of numbers, cells merged across and
// down, a Chinese table, an unruled table of aligned columns, a table of
// two-line cells that runs over a page break and repeats its header there;
// then a bulleted list, a code listing, a contents page with leaders and
// two-column text, which must stay text.
#include <QList>
#include <QString>
#include <QStringList>

namespace pwt::test {

struct ExpectedCell {
    QString text;   // one paragraph, however many lines it wraps to
    int columns = 1;
    int rows = 1;
};

struct ExpectedTable {
    QString name;
    QString before; // the body paragraph before the table
    QString after;  // the body paragraph after it
    QList<QList<ExpectedCell>> rows; // the cells that start in each row
    int columns = 0;
    QList<double> columnWidths;      // points, where lines draw them; empty: only the text shows them
    int headerRows = 0;
};

struct TableSample {
    QString path;
    QList<ExpectedTable> tables; // in reading order
    QStringList text;            // lines of the non-tables: each must stay in a body paragraph
};

TableSample makeTablePdf(const QString& path);
// A page holding nothing but a ruled table of `rows` rows of `columns` cells
// ("R<r>C<c>"): all of its text is in the table.
void makeTableOnlyPdf(const QString& path, int rows, int columns);

} // namespace pwt::test
