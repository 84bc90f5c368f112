#include "LanguageData.h"

#include <cstdlib>
#include <filesystem>

namespace pwt::ocr {

namespace {

bool isPlainName(const std::string& name)
{
    if (name.empty() || name.size() > kMaxLanguageNameLength)
        return false;
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (!ok)
            return false;
    }
    return true;
}

bool installed(const std::string& folder, const std::string& language)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path(folder) / (language + ".traineddata"), ec);
}

} // namespace

std::vector<std::string> splitLanguages(const std::string& languages)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (true) {
        const std::size_t plus = languages.find('+', start);
        const std::string name = languages.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        if (!isPlainName(name) || names.size() == kMaxLanguages)
            return {};
        names.push_back(name);
        if (plus == std::string::npos)
            return names;
        start = plus + 1;
    }
}

std::string debianPackageFor(const std::string& language)
{
    std::string package = "tesseract-ocr-";
    for (const char c : language)
        package += c == '_' ? '-' : static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return package;
}

std::string tessdataFolder()
{
    const char* prefix = std::getenv("TESSDATA_PREFIX");
    return prefix && *prefix ? std::string(prefix) : std::string(kDebianTessdataFolder);
}

LanguageData findLanguageData(const std::string& languages, const std::string& folder)
{
    LanguageData data;
    data.folder = folder;
    data.languages = splitLanguages(languages);
    if (data.languages.empty()) {
        data.error = "'" + languages + "' is not a list of Tesseract languages such as chi_sim+eng";
        return data;
    }
    std::string missing, packages;
    int count = 0;
    for (const std::string& language : data.languages) {
        if (installed(folder, language))
            continue;
        missing += (missing.empty() ? "" : ", ") + language;
        packages += (packages.empty() ? "" : " ") + debianPackageFor(language);
        ++count;
    }
    if (count > 0)
        data.error = "the recognition language data for " + missing + " is not installed in " + folder +
                     (count == 1 ? " (install the Debian package " : " (install the Debian packages ") + packages + ")";
    data.orientationData = installed(folder, "osd");
    return data;
}

} // namespace pwt::ocr
