#pragma once
// Documents built in code for the writer's tests: every paragraph text is
// unique, so readers' output can be matched back in order.
#include "model/Document.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <string>

namespace sample {

pwt::Paragraph paragraph(const std::u16string& text, pwt::CharFormat format = {});
pwt::Run run(const std::u16string& text, pwt::CharFormat format = {});

pwt::Document english();          // plain paragraphs, a hard page break
pwt::Document chinese();          // Chinese and mixed text, a non-BMP character, reserved controls
pwt::Document formatted();        // character and paragraph formats, headings
pwt::Document sectioned();        // portrait + landscape sections, header, footer with PAGE, title
pwt::Document synthetic(int pages); // many pages of mixed formatted text
// Lists (bullets, nested numbers, letters, Chinese counting, numbering on
// after a page break), footnotes (numbered, a symbol, one in a table cell),
// links (web, mail over two formats, to a bookmark, unsafe ones left plain),
// bookmarks, even and odd pages' heads and feet. Note marks end their
// paragraphs.
pwt::Document structured();
// Figures of JPEG and PNG pictures between the paragraphs: side by side,
// repeated, cropped, larger than the page, empty; shaded paragraphs.
pwt::Document pictured();
// `count` distinct small PNG pictures, five to a figure, a line of text before each figure.
pwt::Document manyPictures(int count);

// Tables: a bordered grid with a bold header row, merges across and down,
// shading, tables before, between and after paragraphs, two in a row, one
// after a figure and a Chinese one that starts a page.
pwt::Document tables();
// A table of kLongTableRows rows, then a row of kMaxTableColumns cells whose
// properties are too long for a formatting page. catdoc keeps only the end of
// a table this long, and antiword loses text around such a row, so only the
// other readers read it.
pwt::Document largeTables();
inline constexpr int kLongTableRows = 300;

// A JPEG or PNG image made with Qt: `color` with a black mark in its top
// left quarter, so that cropping and orientation show.
std::shared_ptr<const pwt::ImageData> image(pwt::ImageFormat format, int pixelWidth, int pixelHeight, QColor color);

// What a reader should show of a document, in order: a paragraph's text, or
// for a figure "pictures:N" with the N pictures that show, for a table
// "table:I" (its index in the section's tables), and an empty paragraph
// between two tables in a row and after a table that ends a section.
QStringList readingOrder(const pwt::Document& document);

// A picture as it should show: its image, its displayed size in twips once
// cropped and fitted to the text area, and its cropping.
struct ShownPicture {
    std::shared_ptr<const pwt::ImageData> image;
    double width = 0;
    double height = 0;
    double cropLeft = 0, cropTop = 0, cropRight = 0, cropBottom = 0;
};
QList<ShownPicture> shownPictures(const pwt::Document& document);

// The samples above by name, each saved as "<name>.doc" by writeAll.
struct Named {
    const char* name;
    pwt::Document (*make)();
};
inline constexpr Named kSamples[] = {
    {"english", english},
    {"chinese", chinese},
    {"formatted", formatted},
    {"sectioned", sectioned},
    {"pictured", pictured},
    {"tables", tables},
    {"structured", structured},
};

// Writes every sample into `folder`: the files, or none with `reason` set.
QStringList writeAll(const QString& folder, std::string* reason);

// The body paragraphs' texts as a reader shows them (fields and reserved
// characters left out), in document order, with the empty paragraphs the
// writer adds after tables.
QStringList bodyTexts(const pwt::Document& document);

// The body's texts and the tables' cell paragraphs' texts in reading order,
// without empty ones, then the footnotes' texts: what a text reader shows.
// A note's mark is not part of its paragraph's text.
QStringList allTexts(const pwt::Document& document);

// Texts of the paragraphs that begin a new page (hard page break or section).
QStringList pageStarts(const pwt::Document& document);

} // namespace sample
