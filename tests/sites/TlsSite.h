#pragma once

#include <memory>
#include <QString>

class QSslServer;

namespace sites {

// An https site on 127.0.0.1 whose certificate is signed by nobody: every browser finds it not
// valid. Every path answers with the same small login page; `Posts()` counts the forms sent to it. Runs in
// the thread that made it (its events need the loop).
class TlsSite {
public:
    TlsSite();
    ~TlsSite();

    QString Url(const QString& path = QStringLiteral("/")) const;
    int Posts() const { return m_posts; }

private:
    std::unique_ptr<QSslServer> m_server;
    int m_posts = 0;
};

} // namespace sites
