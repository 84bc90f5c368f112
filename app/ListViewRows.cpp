#include "ListViewRows.h"

#include <QHash>
#include <QItemSelectionModel>
#include <QTreeWidget>

namespace app {

ListViewRows::ListViewRows(QTreeWidget& view) : m_view(view)
{
    QAbstractItemModel* model = m_view.model();
    QObject::connect(model, &QAbstractItemModel::rowsInserted, &m_view,
                     [this](const QModelIndex& parent, int first, int last) {
                         if (parent.isValid())
                             return;
                         m_hashes.insert(m_hashes.begin() + first, static_cast<size_t>(last - first + 1), 0);
                         rehash(first, last);
                     });
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, &m_view,
                     [this](const QModelIndex& parent, int first, int last) {
                         if (!parent.isValid())
                             m_hashes.erase(m_hashes.begin() + first, m_hashes.begin() + last + 1);
                     });
    QObject::connect(model, &QAbstractItemModel::dataChanged, &m_view,
                     [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                         if (!topLeft.parent().isValid() && topLeft.column() == 0)
                             rehash(topLeft.row(), bottomRight.row());
                     });
    QObject::connect(model, &QAbstractItemModel::modelReset, &m_view, [this] { rebuild(); });
    QObject::connect(model, &QAbstractItemModel::layoutChanged, &m_view, [this] { rebuild(); });
    QObject::connect(model, &QAbstractItemModel::rowsMoved, &m_view, [this] { rebuild(); });
    rebuild();
}

void ListViewRows::rehash(int first, int last)
{
    for (int row = first; row <= last && row < static_cast<int>(m_hashes.size()); ++row)
        m_hashes[static_cast<size_t>(row)] = qHash(m_view.topLevelItem(row)->text(0));
}

void ListViewRows::rebuild()
{
    m_hashes.assign(static_cast<size_t>(m_view.topLevelItemCount()), 0);
    rehash(0, m_view.topLevelItemCount() - 1);
}

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
    auto* item = new QTreeWidgetItem(QStringList{text, status});
    m_view.addTopLevelItem(item);
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
    const size_t n = m_hashes.size();
    for (size_t i = 0; i < n; ++i) {
        if (m_hashes[i] == wanted && m_view.topLevelItem(static_cast<int>(i))->text(0) == text)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

} // namespace app
