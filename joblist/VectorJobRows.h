#pragma once
#include "JobRows.h"

#include <QList>

namespace joblist {

// Job rows kept in a plain list, with a selection: the job list without a
// window, for tests and benchmarks.
class VectorJobRows : public JobRows {
public:
    struct Row {
        QString text;
        QString status;
    };

    int count() const override { return static_cast<int>(rows.size()); }
    QString text(int position) const override { return rows.at(position - 1).text; }
    QString status(int position) const override { return rows.at(position - 1).status; }
    void setStatus(int position, const QString& s) override { rows[position - 1].status = s; }
    void append(const QString& t, const QString& s) override { rows.append({t, s}); }
    void removeAt(int position) override
    {
        rows.removeAt(position - 1);
        if (selectedPosition == position)
            selectedPosition = 0;
        else if (selectedPosition > position)
            --selectedPosition;
    }
    void clear() override
    {
        rows.clear();
        selectedPosition = 0;
    }
    int selected() const override { return selectedPosition; }

    QStringList texts() const
    {
        QStringList out;
        for (const Row& r : rows)
            out.append(r.text);
        return out;
    }

    QList<Row> rows;
    int selectedPosition = 0;
};

} // namespace joblist
