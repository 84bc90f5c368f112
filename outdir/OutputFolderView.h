#pragma once
#include <QString>

namespace outdir {

// What the output folder operations need of the window: the text box
// txtSave, the button cmdOpenSave and the focus. The window implements it.
class OutputFolderView {
public:
    virtual ~OutputFolderView() = default;
    virtual QString folderText() const = 0;
    // Setting the text runs txtSave_Change, as any change of the text does.
    virtual void setFolderText(const QString& text) = 0;
    virtual void setOpenEnabled(bool enabled) = 0;
    virtual void focusSelSave() = 0;
};

} // namespace outdir
