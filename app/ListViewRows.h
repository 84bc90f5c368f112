#pragma once
#include "joblist/JobRows.h"

#include <vector>

class QTreeWidget;

namespace app {

// The job list over the list view's rows: column 0 the path, column 1 the
// status. The duplicate scan runs over a hash of each row's path, kept in
// row order beside the view and updated from the view's own change signals,
// so it stays true to the rows however they change; the strings are
// compared only where the hashes match.
class ListViewRows : public joblist::JobRows {
public:
    explicit ListViewRows(QTreeWidget& view);

    int count() const override;
    QString text(int position) const override;
    QString status(int position) const override;
    void setStatus(int position, const QString& status) override;
    void append(const QString& text, const QString& status) override;
    void removeAt(int position) override;
    void clear() override;
    int selected() const override;
    int positionOf(const QString& text) const override;

private:
    void rehash(int first, int last);
    void rebuild();

    QTreeWidget& m_view;
    std::vector<size_t> m_hashes; // one per row, in display order
};

} // namespace app
