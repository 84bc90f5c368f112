#pragma once
#include <QString>

namespace joblist {

// The rows of the window's list: they are the job list itself, addressed by
// position 1..count() in display order. The window implements this over its
// list view; tests over a plain vector.
class JobRows {
public:
    virtual ~JobRows() = default;
    virtual int count() const = 0;
    virtual QString text(int position) const = 0;
    virtual QString status(int position) const = 0;
    virtual void setStatus(int position, const QString& status) = 0;
    virtual void append(const QString& text, const QString& status) = 0;
    virtual void removeAt(int position) = 0;
    virtual void clear() = 0;
    // The current row's position, or 0 when no row is selected.
    virtual int selected() const = 0;

    // The position of the first row, from the top, whose text equals `text`
    // code unit for code unit; 0 when none does. A scan of the rows: an
    // implementation may only make each comparison cheaper.
    virtual int positionOf(const QString& text) const
    {
        const int n = count();
        for (int i = 1; i <= n; ++i) {
            if (this->text(i) == text)
                return i;
        }
        return 0;
    }
};

// The row statuses, exactly as shown.
namespace status {
inline const QString kPending = QStringLiteral("待转换");
inline const QString kStopped = QStringLiteral("转换已停止");
inline const QString kConverting = QStringLiteral("正在转换中，请耐心等待...");
inline const QString kDone = QStringLiteral("转换完成");
inline const QString kFailed = QStringLiteral("转换失败");
} // namespace status

} // namespace joblist
