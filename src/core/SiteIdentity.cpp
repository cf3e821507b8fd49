#include "core/SiteIdentity.h"

#include <libpsl.h>
#include <QHostAddress>

namespace SiteIdentity {

namespace {

// The system's list when it is installed, else the one built into the library. Read once; the
// library's context is immutable afterwards, so sharing it is safe.
const psl_ctx_t* Suffixes() {
    static const psl_ctx_t* const context = [] {
        const psl_ctx_t* latest = psl_latest(nullptr);
        return latest ? latest : psl_builtin();
    }();
    return context;
}

QString HostOf(const QString& text) {
    const QUrl url = QUrl::fromUserInput(text.trimmed());
    return url.host(QUrl::FullyEncoded);
}

} // namespace

QString RegistrableDomain(const QString& host) {
    QString name = host.trimmed().toLower();
    while (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    if (name.isEmpty()) return {};
    // Names come in their ASCII form, as the list has them.
    if (QHostAddress(name).protocol() != QAbstractSocket::UnknownNetworkLayerProtocol ||
        name.startsWith(QLatin1Char('[')))
        return name;
    const QByteArray ascii = QUrl::toAce(name);
    if (ascii.isEmpty()) return name;
    const psl_ctx_t* suffixes = Suffixes();
    const char* registrable = suffixes ? psl_registrable_domain(suffixes, ascii.constData()) : nullptr;
    return registrable ? QString::fromLatin1(registrable) : QString::fromLatin1(ascii);
}

QString SiteOf(const QUrl& url) {
    return RegistrableDomain(url.host(QUrl::FullyEncoded));
}

bool MayReceiveCredentials(const QUrl& page, const QUrl& link, const QStringList& otherSites) {
    const QString scheme = page.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) return false;
    // An https Link's secrets never travel unencrypted.
    if (link.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 &&
        scheme != QLatin1String("https"))
        return false;
    const QString site = SiteOf(page);
    if (site.isEmpty()) return false;
    if (site == SiteOf(link)) return true;
    for (const QString& other : otherSites) {
        const QString host =
            other.contains(QLatin1String("://")) ? QUrl(other).host(QUrl::FullyEncoded) : HostOf(other);
        if (!host.isEmpty() && RegistrableDomain(host) == site) return true;
    }
    return false;
}

} // namespace SiteIdentity
