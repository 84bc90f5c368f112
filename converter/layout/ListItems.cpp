#include "ListItems.h"

namespace pwt::layout {

void markListItems(Document& /*document*/) {}

} // namespace pwt::layout
