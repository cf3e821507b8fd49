#include "sites/TlsSite.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>

namespace sites {
namespace {

// A key and a self-signed certificate for 127.0.0.1, both as PEM.
bool MakeCertificate(QByteArray* keyPem, QByteArray* certPem) {
    EVP_PKEY* key = EVP_RSA_gen(2048);
    X509* cert = X509_new();
    if (!key || !cert) return false;
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 3600 * 24);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"),
                               -1, -1, 0);
    X509_set_issuer_name(cert, name);
    const bool signedOk = X509_sign(cert, key, EVP_sha256()) > 0;
    BIO* keyBio = BIO_new(BIO_s_mem());
    BIO* certBio = BIO_new(BIO_s_mem());
    PEM_write_bio_PrivateKey(keyBio, key, nullptr, nullptr, 0, nullptr, nullptr);
    PEM_write_bio_X509(certBio, cert);
    char* data = nullptr;
    long size = BIO_get_mem_data(keyBio, &data);
    *keyPem = QByteArray(data, int(size));
    size = BIO_get_mem_data(certBio, &data);
    *certPem = QByteArray(data, int(size));
    BIO_free(keyBio);
    BIO_free(certBio);
    X509_free(cert);
    EVP_PKEY_free(key);
    return signedOk;
}

const char* const kPage =
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Sign In - Shady Bank</title></head><body>"
    "<h1>Shady Bank</h1><form method=\"post\" action=\"/login\">"
    "User name <input type=\"text\" name=\"user\"> Password <input type=\"password\" name=\"pass\">"
    "<input type=\"submit\" value=\"Sign In\"></form></body></html>";

} // namespace

TlsSite::TlsSite() : m_server(std::make_unique<QSslServer>()) {
    QByteArray keyPem, certPem;
    if (!QSslSocket::supportsSsl() || !MakeCertificate(&keyPem, &certPem)) return;
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setLocalCertificate(QSslCertificate(certPem));
    config.setPrivateKey(QSslKey(keyPem, QSsl::Rsa));
    config.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_server->setSslConfiguration(config);
    QObject::connect(m_server.get(), &QTcpServer::pendingConnectionAvailable, m_server.get(), [this] {
        while (QTcpSocket* socket = m_server->nextPendingConnection()) {
            // One request per connection, answered once its head has come.
            QObject::connect(socket, &QIODevice::readyRead, socket, [this, socket] {
                const QByteArray request = socket->peek(socket->bytesAvailable());
                if (!request.contains("\r\n\r\n")) return;
                socket->readAll();
                if (request.startsWith("POST")) ++m_posts;
                const QByteArray body(kPage);
                socket->write(
                    "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\n"
                    "Content-Length: " +
                    QByteArray::number(body.size()) + "\r\n\r\n" + body);
                socket->disconnectFromHost();
            });
            QObject::connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    m_ok = m_server->listen(QHostAddress::LocalHost);
}

TlsSite::~TlsSite() = default;

QString TlsSite::Url(const QString& path) const {
    return QStringLiteral("https://127.0.0.1:%1%2").arg(m_server->serverPort()).arg(path);
}

} // namespace sites
