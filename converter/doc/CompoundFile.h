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

// Empty on success, otherwise a one-line reason. On failure no file is left
// at `path`.
std::string writeCompoundFile(const std::string& path, const std::vector<NamedStream>& streams,
                              const DocumentInfo& info);

} // namespace pwt::doc
