#pragma once
// Bulleted and numbered paragraphs become items of Word lists: their labels
// leave the text and go into list definitions, so that Word numbers them.
#include "model/Document.h"

namespace pwt::layout {

// Finds the list items among the document's body paragraphs, takes their
// labels out of the runs and adds the lists they belong to.
void markListItems(Document& document);

} // namespace pwt::layout
