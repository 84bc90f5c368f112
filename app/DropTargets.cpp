#include "DropTargets.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace app {

void DropTargets::addTarget(QWidget* widget)
{
    widget->setAcceptDrops(true);
    widget->installEventFilter(this);
    m_targets.append(widget);
}

void DropTargets::addRefuser(QWidget* widget)
{
    // Qt passes a drag that a widget leaves alone on to its parents, up to
    // the window, which is a target: the targets themselves turn away drags
    // over a refuser.
    m_refusers.append(widget);
}

bool DropTargets::overRefuser(QWidget* target, QPoint position) const
{
    for (QWidget* hit = target->childAt(position); hit && hit != target; hit = hit->parentWidget()) {
        if (m_refusers.contains(hit))
            return true;
    }
    return false;
}

QStringList DropTargets::localFiles(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    const QList<QUrl> urls = data->urls();
    files.reserve(urls.size());
    for (const QUrl& url : urls) {
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    }
    return files;
}

bool DropTargets::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);

    if (!m_targets.contains(watched))
        return QObject::eventFilter(watched, event);
    auto* drag = static_cast<QDropEvent*>(event);
    if (overRefuser(static_cast<QWidget*>(watched), drag->position().toPoint())) {
        drag->ignore();
        return true;
    }

    // Only drags that carry files are taken; dragged text is refused.
    if (type != QEvent::Drop) {
        if (drag->mimeData()->hasUrls())
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    const QStringList files = localFiles(drag->mimeData());
    drag->acceptProposedAction();
    if (!files.isEmpty()) {
        QMetaObject::invokeMethod(
            this, [this, files] { m_handler(files); }, Qt::QueuedConnection);
    }
    return true;
}

} // namespace app
