#pragma once
#include <QString>

namespace runner {

// The controls of the main window that a batch locks, unlocks and reads.
enum class Control { cmdStart, cmdAddPDF, cmdDel, cmdClAll, txtSave, cmdSelSave, cmdStop, cmdOpenSave };

// What the conversion runner needs of the main window; the window implements it.
class RunnerView {
public:
    virtual ~RunnerView() = default;
    virtual void setControlEnabled(Control control, bool enabled) = 0;
    virtual bool isControlEnabled(Control control) const = 0;
    virtual void setStartCaption(const QString& caption) = 0;
    virtual void focusControl(Control control) = 0;
    // The text of txtSave: the output folder.
    virtual QString outputFolderText() const = 0;
    // timerPID: while enabled, the window calls ConversionRunner::timerPID_Timer every 10 ms.
    virtual void setTimerEnabled(bool enabled) = 0;
    virtual bool isTimerEnabled() const = 0;
    // What a click on cmdOpenSave does.
    virtual void openOutputFolder() = 0;
};

} // namespace runner
