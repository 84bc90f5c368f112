// A stand-in for the converter, for tests: it takes exactly the converter's
// command line (--src=<pdf> --dest=<doc>) and behaves as the source file's
// name asks:
//   hang*     runs until it is killed
//   nowrite*  ends without writing anything
//   held*     runs until the test creates <doc>.release, removes that file,
//             then writes the destination: the test decides when it ends
//   anything else writes the destination at once
// What it writes records the two paths as it received them.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>

namespace {

// How often a held converter looks for its release file.
constexpr auto kReleasePoll = std::chrono::milliseconds(5);
// A held converter whose test failed before releasing it gives up after this
// long, without writing, rather than lingering; longer than any test waits.
constexpr auto kReleaseGiveUp = std::chrono::seconds(120);

// Waits for the release file and takes it away; false when it never came.
bool awaitRelease(const std::string& destination)
{
    const std::filesystem::path release = destination + ".release";
    const auto deadline = std::chrono::steady_clock::now() + kReleaseGiveUp;
    std::error_code ignored;
    while (!std::filesystem::exists(release, ignored)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(kReleasePoll);
    }
    std::filesystem::remove(release, ignored);
    return true;
}

bool takeOption(std::string_view argument, std::string_view name, std::string& value)
{
    if (argument.substr(0, name.size()) != name)
        return false;
    value = argument.substr(name.size());
    return true;
}

std::string baseName(const std::string& path)
{
    const auto cut = path.find_last_of('/');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool startsWith(const std::string& text, std::string_view prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string source;
    std::string destination;
    if (argc != 3 || !takeOption(argv[1], "--src=", source) || !takeOption(argv[2], "--dest=", destination))
        return 64;

    const std::string name = baseName(source);
    if (startsWith(name, "hang")) {
        for (;;)
            pause();
    }
    if (startsWith(name, "nowrite"))
        return 1;
    if (startsWith(name, "held") && !awaitRelease(destination))
        return 4;

    FILE* out = std::fopen(destination.c_str(), "wb");
    if (!out)
        return 2;
    const std::string content = "src=" + source + "\ndest=" + destination + "\n";
    const bool written = std::fwrite(content.data(), 1, content.size(), out) == content.size();
    return std::fclose(out) == 0 && written ? 0 : 3;
}
