#pragma once
// Documents built in code for the writer's tests: every paragraph text is
// unique, so readers' output can be matched back in order.
#include "model/Document.h"

#include <QString>
#include <QStringList>

#include <string>

namespace sample {

pwt::Paragraph paragraph(const std::u16string& text, pwt::CharFormat format = {});
pwt::Run run(const std::u16string& text, pwt::CharFormat format = {});

pwt::Document english();          // plain paragraphs, a hard page break
pwt::Document chinese();          // Chinese and mixed text, a non-BMP character, reserved controls
pwt::Document formatted();        // character and paragraph formats, headings
pwt::Document sectioned();        // portrait + landscape sections, header, footer with PAGE, title
pwt::Document synthetic(int pages); // many pages of mixed formatted text

// The four samples above by name, each saved as "<name>.doc" by writeAll.
struct Named {
    const char* name;
    pwt::Document (*make)();
};
inline constexpr Named kSamples[] = {
    {"english", english},
    {"chinese", chinese},
    {"formatted", formatted},
    {"sectioned", sectioned},
};

// Writes every sample into `folder`: the files, or none with `reason` set.
QStringList writeAll(const QString& folder, std::string* reason);

// The body paragraphs' texts as a reader shows them (fields and reserved
// characters left out), in document order.
QStringList bodyTexts(const pwt::Document& document);

// Texts of the paragraphs that begin a new page (hard page break or section).
QStringList pageStarts(const pwt::Document& document);

} // namespace sample
