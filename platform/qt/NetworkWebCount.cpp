#include "NetworkWebCount.h"

#include <QNetworkReply>
#include <QNetworkRequest>

namespace platform::qt {

void NetworkWebCount::Navigate(const QString& url)
{
    QUrl target(url);
    if (!m_redirectTo.isEmpty()) {
        target.setScheme(m_redirectTo.scheme());
        target.setHost(m_redirectTo.host());
        target.setPort(m_redirectTo.port());
    }
    if (!target.isValid())
        return;
    QNetworkRequest request(target);
    request.setTransferTimeout(30000);
    QNetworkReply* reply = m_network.get(request);
    // The answer is never read; the reply only has to be freed once it is done.
    QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

} // namespace platform::qt
