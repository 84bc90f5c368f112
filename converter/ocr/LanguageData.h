#pragma once
// Where Tesseract's trained language data is and whether the languages asked
// for are installed, checked before an engine is loaded so that a missing
// language is named with the Debian package that brings it.
#include <string>
#include <vector>

namespace pwt::ocr {

// Debian's Tesseract 5 reads its data here unless TESSDATA_PREFIX says otherwise.
inline constexpr const char* kDebianTessdataFolder = "/usr/share/tesseract-ocr/5/tessdata";
// At most this many languages in one --ocr-lang= (each one slows every page).
inline constexpr std::size_t kMaxLanguages = 8;
// A language name is a short word: "eng", "chi_sim", "script/Han" is not one.
inline constexpr std::size_t kMaxLanguageNameLength = 32;

struct LanguageData {
    std::string folder;                  // the tessdata folder
    std::vector<std::string> languages;  // as asked, in order
    bool orientationData = false;        // osd.traineddata, for pages turned or upside down
    std::string error;                   // one line; empty when every language is installed
    bool ok() const { return error.empty(); }
};

// Splits "chi_sim+eng" into its names; empty when the text is not a list of
// plain language names (nothing, "..", a slash, too many).
std::vector<std::string> splitLanguages(const std::string& languages);

// "chi_sim" -> "tesseract-ocr-chi-sim".
std::string debianPackageFor(const std::string& language);

// The tessdata folder: $TESSDATA_PREFIX when set, else Debian's.
std::string tessdataFolder();

// Checks `languages` against the data in `folder`.
LanguageData findLanguageData(const std::string& languages, const std::string& folder = tessdataFolder());

} // namespace pwt::ocr
