#pragma once
#include "model/Document.h"

#include <string>

namespace pwt::doc {

// Writes the whole document as a Word 97-2003 binary file at `path` (the caller
// handles temp+rename). Returns an empty string on success, otherwise a
// one-line reason.
std::string writeWordDocument(const pwt::Document& document, const std::string& path);

} // namespace pwt::doc
