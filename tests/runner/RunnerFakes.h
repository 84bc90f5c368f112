#pragma once
// Test stand-ins for the window as the runner sees it: its rows over a plain
// vector, and its controls as recorded states with a log of every change.
#include "joblist/JobRows.h"
#include "runner/RunnerView.h"

#include <QMap>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace runner::testing {

inline QString controlName(Control control)
{
    switch (control) {
    case Control::cmdStart: return QStringLiteral("cmdStart");
    case Control::cmdAddPDF: return QStringLiteral("cmdAddPDF");
    case Control::cmdDel: return QStringLiteral("cmdDel");
    case Control::cmdClAll: return QStringLiteral("cmdClAll");
    case Control::txtSave: return QStringLiteral("txtSave");
    case Control::cmdSelSave: return QStringLiteral("cmdSelSave");
    case Control::cmdStop: return QStringLiteral("cmdStop");
    case Control::cmdOpenSave: return QStringLiteral("cmdOpenSave");
    }
    return {};
}

class VectorRows : public joblist::JobRows {
public:
    struct Row {
        QString text;
        QString status;
        bool operator==(const Row&) const = default;
    };

    int count() const override { return static_cast<int>(rows.size()); }
    QString text(int position) const override { return rows.at(position - 1).text; }
    QString status(int position) const override { return rows.at(position - 1).status; }
    void setStatus(int position, const QString& status) override { rows[position - 1].status = status; }
    void append(const QString& text, const QString& status) override { rows.append({text, status}); }
    void removeAt(int position) override { rows.removeAt(position - 1); }
    void clear() override { rows.clear(); }
    int selected() const override { return rows.isEmpty() ? 0 : 1; }

    QStringList statuses() const
    {
        QStringList result;
        for (const auto& row : rows)
            result.append(row.status);
        return result;
    }

    QList<Row> rows;
};

// The window in its idle state: every control enabled but cmdStop.
class FakeView : public RunnerView {
public:
    void setControlEnabled(Control control, bool enabled) override
    {
        enabledStates[control] = enabled;
        log.append((enabled ? QStringLiteral("enable ") : QStringLiteral("disable ")) + controlName(control));
    }
    bool isControlEnabled(Control control) const override { return enabledStates.value(control, control != Control::cmdStop); }
    void setStartCaption(const QString& text) override
    {
        caption = text;
        log.append(QStringLiteral("caption ") + text);
    }
    void focusControl(Control control) override
    {
        focused.append(control);
        log.append(QStringLiteral("focus ") + controlName(control));
    }
    QString outputFolderText() const override { return outputFolder; }
    void setTimerEnabled(bool enabled) override
    {
        timer = enabled;
        log.append(enabled ? QStringLiteral("timer on") : QStringLiteral("timer off"));
        if (onTimerChanged)
            onTimerChanged(enabled);
    }
    bool isTimerEnabled() const override { return timer; }
    void openOutputFolder() override
    {
        ++openFolderCalls;
        log.append(QStringLiteral("open folder"));
    }

    // Whether the controls are as a running batch leaves them.
    bool lockedForBatch() const
    {
        for (const auto c : {Control::cmdStart, Control::cmdAddPDF, Control::cmdDel, Control::cmdClAll,
                             Control::txtSave, Control::cmdSelSave})
            if (isControlEnabled(c))
                return false;
        return isControlEnabled(Control::cmdStop);
    }
    bool idle() const
    {
        for (const auto c : {Control::cmdStart, Control::cmdAddPDF, Control::cmdDel, Control::cmdClAll,
                             Control::txtSave, Control::cmdSelSave})
            if (!isControlEnabled(c))
                return false;
        return !isControlEnabled(Control::cmdStop) && !timer && caption == QStringLiteral("开始转换");
    }

    QMap<Control, bool> enabledStates;
    QString caption = QStringLiteral("开始转换");
    QString outputFolder;
    bool timer = false;
    QList<Control> focused;
    int openFolderCalls = 0;
    QStringList log;
    std::function<void(bool)> onTimerChanged;
};

} // namespace runner::testing
