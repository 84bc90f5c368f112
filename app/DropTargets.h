#pragma once
#include <QObject>
#include <QPoint>
#include <QStringList>
#include <functional>

class QMimeData;
class QWidget;

namespace app {

// Routes file drops: the widgets made targets here hand the dropped local
// files to one handler; over the widgets made refusers no drop is taken,
// neither by them nor by the targets behind them (the window, a frame). The handler runs after
// the drop has completed, so the drag source is never held by a message box.
class DropTargets : public QObject {
public:
    using Handler = std::function<void(const QStringList& files)>;

    DropTargets(QObject* parent, Handler handler) : QObject(parent), m_handler(std::move(handler)) {}

    void addTarget(QWidget* widget);
    void addRefuser(QWidget* widget);

    // The local files a drag carries, in the order given; empty for text and other data.
    static QStringList localFiles(const QMimeData* data);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool overRefuser(QWidget* target, QPoint position) const;

    Handler m_handler;
    QList<QObject*> m_targets;
    QList<QObject*> m_refusers;
};

} // namespace app
