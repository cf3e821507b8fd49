#include "frame/SingleInstance.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>
#include <unistd.h>

#include "core/AppPaths.h"

namespace {
// A request is one line: "activate", then each address percent-encoded after a blank.
const QByteArray kActivate = QByteArrayLiteral("activate");
const QByteArray kDone = QByteArrayLiteral("ok\n");
// Longer requests are not ours.
constexpr qint64 kMaxRequest = 256 * 1024;
constexpr int kMaxAddresses = 64;
} // namespace

QString SingleInstance::ServerName(const QString& osUser, const QString& dataFolder) {
    // Socket names are short and plain; the hash keeps users and folders apart.
    const QByteArray key = (osUser + QLatin1Char('\n') + dataFolder).toUtf8();
    return QStringLiteral("bramblegate-") +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24));
}

QString SingleInstance::DefaultServerName() {
    return ServerName(QString::number(::getuid()), AppPaths::DataFolder());
}

QString SingleInstance::DefaultLockFile() {
    return AppPaths::DataFolder() + QStringLiteral("/Bramblegate.lock");
}

SingleInstance::SingleInstance(QString serverName, QString lockFile, QObject* parent)
    : QObject(parent), m_name(std::move(serverName)), m_lock(std::make_unique<QLockFile>(lockFile)) {
    // Held as long as the program runs: never stale by age, only when its process is gone.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (m_server) m_server->close();
}

SingleInstance::Outcome SingleInstance::Claim(int timeoutMs, const QStringList& addresses) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (m_lock->tryLock(0)) {
            // This is the running copy now; a socket left under the name is a dead copy's.
            Listen();
            return Outcome::First;
        }
        const int left = int(qMax<qint64>(0, timeoutMs - waited.elapsed()));
        const Outcome asked = AskRunningCopy(qMin(left, 250), left, addresses);
        if (asked != Outcome::First) return asked;
        // The copy with the lock is not listening yet (it started a moment ago) or has just died.
        if (waited.elapsed() >= timeoutMs) return Outcome::NoAnswer;
        QThread::msleep(50);
    }
}

SingleInstance::Outcome SingleInstance::AskRunningCopy(int connectMs, int timeoutMs, const QStringList& addresses) {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(connectMs)) return Outcome::First;
    QByteArray request = kActivate;
    for (const QString& address : addresses.mid(0, kMaxAddresses))
        request += ' ' + address.toUtf8().toPercentEncoding();
    socket.write(request + '\n');
    if (!socket.waitForBytesWritten(timeoutMs)) return Outcome::NoAnswer;
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(timeoutMs))
        answer += socket.readAll();
    socket.disconnectFromServer();
    return answer.startsWith(kDone) ? Outcome::Activated : Outcome::NoAnswer;
}

bool SingleInstance::Listen() {
    if (Listening()) return true;
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::NewConnection);
    }
    if (m_server->listen(m_name)) return true;
    // Only the holder of the lock gets here: what is left under the name is a dead copy's.
    QLocalServer::removeServer(m_name);
    return m_server->listen(m_name);
}

bool SingleInstance::Listening() const {
    return m_server && m_server->isListening();
}

void SingleInstance::NewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // A request is one line; anything else is not ours to answer.
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxRequest) socket->abort();
                return;
            }
            const QList<QByteArray> words = socket->readLine(kMaxRequest).trimmed().split(' ');
            if (words.first() == kActivate && words.size() <= kMaxAddresses + 1) {
                QStringList addresses;
                for (const QByteArray& word : words.mid(1))
                    if (!word.isEmpty())
                        addresses << QString::fromUtf8(QByteArray::fromPercentEncoding(word));
                emit ActivateRequested();
                if (!addresses.isEmpty()) emit OpenRequested(addresses);
                socket->write(kDone);
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}
