// pwt --src=<pdf> --dest=<doc>: the converter the window runs once per file.
#include "Conversion.h"

#include <malloc.h>

namespace {

// glibc maps every allocation over 128 KB on its own and hands the top of
// its heap back once 128 KB lie free there, so the buffers every page needs
// again (the figure finder's cell grids, drawn figures, poppler's page
// objects) are mapped and zero-filled by the kernel page after page: page
// faults that took a tenth of a text document's time. Kept in the heap up to
// these sizes, they are reused; the peak stays what the largest page needs.
constexpr int kMmapThresholdBytes = 32 << 20; // glibc's ceiling for it on 64-bit
constexpr int kTrimThresholdBytes = 256 << 20;

} // namespace

int main(int argc, char** argv)
{
    mallopt(M_MMAP_THRESHOLD, kMmapThresholdBytes);
    mallopt(M_TRIM_THRESHOLD, kTrimThresholdBytes);
    return pwt::cli::runPwt(std::vector<std::string>(argv + 1, argv + argc));
}
