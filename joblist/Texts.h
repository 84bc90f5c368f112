#pragma once
#include <QString>

// The job list's messages and dialog settings, exactly as the user sees them.
namespace joblist::texts {

inline const QString kBusy = QStringLiteral("转换中不允许添加文件！");
inline QString alreadyListed(const QString& path)
{
    return QStringLiteral("文件[") + path + QStringLiteral("]在列表中已经存在！");
}

inline const QString kOpenTitle = QStringLiteral("请选择要转换的PDF文件（选择单个文件或多个文件均可）");
inline const QString kOpenFilter = QStringLiteral("*.pdf|*.pdf");

inline const QString kNotPdf = QStringLiteral("不是PDF文档。");
inline const QString kLineEnd = QStringLiteral("\r\n");

inline const QString kListEmpty = QStringLiteral("您尚未添加任何PDF文件！");
inline const QString kSelectFirst = QStringLiteral("请先在列表中选择要删除的PDF文件！");
inline QString confirmDelete(const QString& path)
{
    return QStringLiteral("您确实要从列表中删除[") + path + QStringLiteral("]吗？");
}
inline const QString kConfirmClear = QStringLiteral("您确实要清空PDF文件列表？");

} // namespace joblist::texts
