#include "browse/LinkSite.h"

#include <QHostAddress>
#include <QStringList>
#include <QUrl>

namespace {

// The registrable part of a host name: its last two labels, or three under a country's
// two-letter domain with a short second level ("bank.co.uk"). An address stays whole.
QString Registrable(const QString& host) {
    if (QHostAddress(host).protocol() != QAbstractSocket::UnknownNetworkLayerProtocol) return host;
    const QStringList labels = host.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    if (labels.size() <= 2) return labels.join(QLatin1Char('.'));
    int keep = 2;
    if (labels.last().size() == 2 && labels[labels.size() - 2].size() <= 3) keep = 3;
    return labels.mid(labels.size() - keep).join(QLatin1Char('.'));
}

} // namespace

bool IsLinksOwnSite(const QString& url, const QString& linkUrl) {
    const QUrl page(url);
    const QUrl link(linkUrl);
    const QString pageHost = page.host().toLower();
    const QString linkHost = link.host().toLower();
    if (pageHost.isEmpty() || linkHost.isEmpty()) return false;
    const QString pageScheme = page.scheme().toLower();
    if (pageScheme != QLatin1String("http") && pageScheme != QLatin1String("https")) return false;
    if (link.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 &&
        pageScheme != QLatin1String("https"))
        return false;
    return Registrable(pageHost) == Registrable(linkHost);
}
