#pragma once
// Drives file drops through the window's own event dispatch, the way the
// platform delivers them: to the QWindow, which finds the target widget.
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <QWindow>

namespace testing {

inline QMimeData* filesData(const QStringList& paths)
{
    auto* data = new QMimeData;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls.append(QUrl::fromLocalFile(p));
    data->setUrls(urls);
    return data;
}

inline QMimeData* textData(const QString& text)
{
    auto* data = new QMimeData;
    data->setText(text);
    return data;
}

// Drags the data over `point` of the top-level `window` and drops it when the
// drag is accepted. Returns whether it was; runs the handlers the drop queued.
inline bool dropAt(QWidget& window, QPoint point, QMimeData* data)
{
    std::unique_ptr<QMimeData> owned(data);
    QWindow* handle = window.windowHandle();
    const QPointF pos(point);
    QDragEnterEvent enter(point, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &enter);
    bool accepted = enter.isAccepted();
    if (accepted) {
        QDragMoveEvent move(point, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(handle, &move);
        accepted = move.isAccepted();
    }
    if (accepted) {
        QDropEvent drop(pos, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(handle, &drop);
    } else {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(handle, &leave);
    }
    QCoreApplication::processEvents();
    return accepted;
}

inline bool dropOn(QWidget& window, QWidget* target, QMimeData* data)
{
    return dropAt(window, target->mapTo(&window, target->rect().center()), data);
}

} // namespace testing
