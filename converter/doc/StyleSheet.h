#pragma once
// The style sheet (STSH) of the table stream: Normal (istd 0), Heading 1-3
// (istd 1-3, bold, with outline levels) and Default Paragraph Font (istd 10).
#include "ByteBuffer.h"

namespace pwt::doc {

ByteBuffer buildStyleSheet();

} // namespace pwt::doc
