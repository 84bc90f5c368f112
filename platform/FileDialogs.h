#pragma once
#include <QString>

namespace platform {

// Modal file and folder choosers, owned by the main window.
class FileDialogs {
public:
    virtual ~FileDialogs() = default;

    // Lets the user pick one or more files. The answer comes in the Open
    // dialog's classic result form: "" when cancelled, one full path when one
    // file was chosen, or the folder (no trailing separator unless it is the
    // root) followed by the chosen names, each preceded by a NUL character.
    virtual QString openFiles(const QString& title, const QString& filter) = 0;

    // Lets the user pick a folder; "" when cancelled or when the pick is not a
    // file-system folder. The path comes without a trailing separator, except
    // the root "/".
    virtual QString browseFolder(const QString& title) = 0;
};

} // namespace platform
