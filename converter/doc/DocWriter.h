#pragma once
#include "model/Document.h"

#include <string>

namespace pwt::doc {

// Writes the whole document as a Word 97-2003 binary file into `fd`, an open,
// empty, seekable file that stays open (pwt's atomic output owns it). Returns
// an empty string on success, otherwise a one-line reason.
std::string writeWordDocument(const pwt::Document& document, int fd);

// The same into a file of its own at `path`, for tools and tests: an existing
// file is replaced, and on failure no file is left there.
std::string writeWordDocument(const pwt::Document& document, const std::string& path);

} // namespace pwt::doc
