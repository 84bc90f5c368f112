#pragma once
#include "joblist/JobRows.h"

class QTreeWidget;

namespace app {

// The job list over the list view's rows: column 0 the path, column 1 the
// status. Each row also keeps a hash of its path, so the duplicate scan
// compares a number per row and the strings only when the numbers match.
class ListViewRows : public joblist::JobRows {
public:
    explicit ListViewRows(QTreeWidget& view) : m_view(view) {}

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
    QTreeWidget& m_view;
};

} // namespace app
