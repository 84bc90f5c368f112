#pragma once
// The text of a converted paragraph, runs joined, for the layout tests'
// comparisons.
#include "model/Document.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace pwt::test {

inline QString textOf(const Paragraph& p)
{
    QString s;
    for (const Run& r : p.runs)
        s += QString::fromStdU16String(r.text);
    return s;
}

inline QStringList textsOf(const std::vector<Paragraph>& ps)
{
    QStringList out;
    for (const Paragraph& p : ps)
        out << textOf(p);
    return out;
}

} // namespace pwt::test
