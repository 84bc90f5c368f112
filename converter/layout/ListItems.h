#pragma once
// Bulleted and numbered paragraphs become items of Word lists: their labels
// leave the text and go into list definitions, so that Word numbers them.
#include "Lines.h"
#include "model/Document.h"

namespace pwt::layout {

// Puts the labels that poppler set apart from their items' text (a line or a
// block of their own when a wide gap follows them) back at the start of the
// line they open, so that the item reads as one line again.
void rejoinListLabels(PageLines& page);

// Finds the list items among the document's body paragraphs, takes their
// labels out of the runs and adds the lists they belong to.
void markListItems(Document& document);

} // namespace pwt::layout
