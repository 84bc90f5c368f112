#include "TableGrid.h"

namespace pwt::layout {

std::vector<TableGrid> findRuledTables(const pdf::PageText&)
{
    return {};
}

} // namespace pwt::layout
