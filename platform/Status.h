#pragma once
#include <QString>

namespace platform {

// The outcome of an operation that can fail: errors cross module boundaries as
// values, never as exceptions.
class Status {
public:
    static Status success() { return Status{}; }
    static Status failure(QString why) { return Status{std::move(why)}; }

    bool ok() const { return m_error.isEmpty(); }
    const QString& error() const { return m_error; }

private:
    Status() = default;
    explicit Status(QString why) : m_error(why.isEmpty() ? QStringLiteral("unknown error") : std::move(why)) {}
    QString m_error;
};

} // namespace platform
