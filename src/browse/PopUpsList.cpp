#include "browse/PopUpsList.h"

#include "core/UrlUtils.h"

PopUpsList::PopUpsList(QObject* parent) : QObject(parent) {}

bool PopUpsList::IsIgnored(const QString& url) {
    if (url.isEmpty() || url == QLatin1String("about:blank")) return true;
    if (url == core::BlankPagePath() || url == core::BlankPageUrl()) return true;
    // The engine's own error pages.
    return url.startsWith(QLatin1String("chrome-error:"), Qt::CaseInsensitive);
}

QString PopUpsList::PopUpCaption(const QString& url) {
    QString caption = url;
    if (url.contains(QLatin1String("//"))) {
        const qsizetype www = url.indexOf(QLatin1String("//www."));
        caption = www >= 0 ? url.mid(www + 6) : url.mid(url.indexOf(QLatin1String("//")) + 2);
    }
    caption = core::ProperCase(caption).left(kMaxCaption);
    if (caption.endsWith(QLatin1Char('/'))) caption.chop(1);
    return caption;
}

void PopUpsList::AddPopUpItem(const QString& url, const QString& profile) {
    if (IsIgnored(url)) return;
    const QString caption = PopUpCaption(url);
    m_list.Add(caption, url);
    m_items.prepend(PopUpItem{caption, url, profile});
    emit Listed();
    emit Changed();
}
