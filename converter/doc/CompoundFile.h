#pragma once
// Writes the finished streams and the document's summary information into an
// OLE2 compound file through libgsf.
#include "ByteBuffer.h"
#include "model/Document.h"

#include <string>
#include <vector>

namespace pwt::doc {

struct NamedStream {
    std::string name;
    const ByteBuffer* data;
};

// Writes the compound file into `fd`, an open, empty, seekable file that stays
// open (the caller owns it and decides where it ends up). Empty on success,
// otherwise a one-line reason.
std::string writeCompoundFile(int fd, const std::vector<NamedStream>& streams, const DocumentInfo& info);

} // namespace pwt::doc
