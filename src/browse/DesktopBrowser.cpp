#include "browse/DesktopBrowser.h"

#include <QDesktopServices>
#include <QUrl>

namespace DesktopBrowser {

bool Open(const QString& url) {
    const QUrl address(url);
    const QString scheme = address.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https") &&
        scheme != QLatin1String("file"))
        return false;
    return QDesktopServices::openUrl(address);
}

} // namespace DesktopBrowser
