#pragma once
#include "platform/WebCount.h"

#include <QNetworkAccessManager>
#include <QUrl>

namespace platform::qt {

// The usage-count request: one HTTP GET per Navigate, fired and forgotten.
// Nothing waits for it, its answer is discarded unread and no error is shown.
class NetworkWebCount : public WebCount {
public:
    NetworkWebCount() = default;
    // Sends every request to this scheme, host and port instead, keeping the
    // path: lets a test catch the request on a local server.
    explicit NetworkWebCount(const QUrl& redirectTo) : m_redirectTo(redirectTo) {}

    void setSilent(bool silent) override { m_silent = silent; }
    void Navigate(const QString& url) override;

    bool silent() const { return m_silent; }

private:
    QNetworkAccessManager m_network;
    QUrl m_redirectTo;
    bool m_silent = false;
};

} // namespace platform::qt
