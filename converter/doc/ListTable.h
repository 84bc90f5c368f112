#pragma once
// The document's lists as Word stores them in the table stream: one list
// definition (LSTF and its nine LVLs) per ListDefinition, and one list
// override (LFO) per list that paragraphs refer to with sprmPIlfo.
#include "ByteBuffer.h"
#include "FontTable.h"
#include "Grpprl.h"
#include "model/Document.h"

#include <cstdint>

namespace pwt::doc {

// Word's list levels per definition.
inline constexpr int kListLevels = 9;
// At most kMaxLists (model/Document.h) lists are written; items of lists
// beyond are plain paragraphs.

struct ListTables {
    ByteBuffer plfLst;  // PlfLst: the LSTFs
    ByteBuffer levels;  // their LVLs, which follow the PlfLst in the table stream
    ByteBuffer plfLfo;  // PlfLfo: the LFOs, then their LFOData
};

// Empty buffers when the document has no lists. Bullet fonts go through `fonts`.
ListTables encodeLists(const std::vector<ListDefinition>& lists, FontTable& fonts);

// The sprms that make a paragraph an item of list `list` (0-based, as in the
// model) at `level`; nothing when the list does not exist.
Grpprl listItemProperties(int list, int level, std::size_t listCount);

} // namespace pwt::doc
