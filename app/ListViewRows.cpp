#include "ListViewRows.h"

#include <QHash>
#include <QItemSelectionModel>
#include <QTreeWidget>

namespace app {

namespace {

class JobItem : public QTreeWidgetItem {
public:
    JobItem(const QString& text, const QString& status) : m_hash(qHash(text))
    {
        setText(0, text);
        setText(1, status);
    }
    size_t hash() const { return m_hash; }

private:
    size_t m_hash;
};

} // namespace

int ListViewRows::count() const
{
    return m_view.topLevelItemCount();
}

QString ListViewRows::text(int position) const
{
    return m_view.topLevelItem(position - 1)->text(0);
}

QString ListViewRows::status(int position) const
{
    return m_view.topLevelItem(position - 1)->text(1);
}

void ListViewRows::setStatus(int position, const QString& status)
{
    m_view.topLevelItem(position - 1)->setText(1, status);
}

void ListViewRows::append(const QString& text, const QString& status)
{
    m_view.addTopLevelItem(new JobItem(text, status));
}

void ListViewRows::removeAt(int position)
{
    delete m_view.takeTopLevelItem(position - 1);
}

void ListViewRows::clear()
{
    m_view.clear();
}

int ListViewRows::selected() const
{
    const QModelIndexList rows = m_view.selectionModel()->selectedRows();
    return rows.isEmpty() ? 0 : rows.first().row() + 1;
}

int ListViewRows::positionOf(const QString& text) const
{
    const size_t wanted = qHash(text);
    const int n = m_view.topLevelItemCount();
    for (int i = 0; i < n; ++i) {
        const auto* item = static_cast<const JobItem*>(m_view.topLevelItem(i));
        if (item->hash() == wanted && item->text(0) == text)
            return i + 1;
    }
    return 0;
}

} // namespace app
