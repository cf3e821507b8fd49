#include "browse/LinkDrag.h"

#include <QFile>
#include <QMimeData>
#include <QUrl>

#include "core/CodePage.h"
#include "core/UrlUtils.h"

using namespace core;

namespace {

const QString kLinkSuffix = QStringLiteral("::cmdLink");

bool isAddress(const QString& text) {
    return text.startsWith(QLatin1String("http"), Qt::CaseInsensitive) ||
           text.startsWith(QLatin1String("file://"), Qt::CaseInsensitive);
}

} // namespace

LinkDrag::LinkDrag(int index, const QString& url, const QString& caption, const QString& folder)
    : m_url(url), m_caption(caption), m_index(index) {
    if (folder.isEmpty()) return;
    QString name = MakeValidFileName(caption).trimmed();
    if (name.isEmpty()) name = QStringLiteral("Link");
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".url");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return;
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write(
        CodePage::EncodeLossy(QStringLiteral("[InternetShortcut]\r\nURL=") + url + QStringLiteral("\r\n")));
    file.close();
    m_shortcut = path;
}

QMimeData* LinkDrag::MimeData() const {
    auto* data = new QMimeData;
    data->setText(m_url);
    data->setData(QLatin1String(kUrlFormat), CodePage::EncodeLossy(m_url));
    data->setData(QLatin1String(kLinkFormat),
                  CodePage::EncodeLossy(QString::number(m_index) + QStringLiteral("::") + m_url +
                                        QStringLiteral("::") + m_caption + kLinkSuffix));
    if (!m_shortcut.isEmpty()) data->setUrls({QUrl::fromLocalFile(m_shortcut)});
    return data;
}

QMimeData* LinkDrag::PageMimeData(const QString& url, const QString& title) {
    auto* data = new QMimeData;
    data->setText(url);
    data->setData(QLatin1String(kUrlFormat), CodePage::EncodeLossy(url));
    data->setData(QLatin1String(kPageFormat), title.toUtf8());
    return data;
}

LinkDrag::Drop LinkDrag::Parse(const QMimeData* data) {
    Drop drop;
    if (!data) return drop;
    if (data->hasFormat(QLatin1String(kLinkFormat))) {
        const QString text = CodePage::Decode(data->data(QLatin1String(kLinkFormat)));
        if (text.endsWith(kLinkSuffix)) {
            bool ok = false;
            const int index = text.left(text.indexOf(QLatin1String("::"))).toInt(&ok);
            if (ok && index >= 0) {
                drop.kind = Drop::LinkButton;
                drop.sourceIndex = index;
                return drop;
            }
        }
    }
    QString text = data->hasText() ? data->text().trimmed() : QString();
    if (text.isEmpty() && data->hasFormat(QLatin1String(kUrlFormat)))
        text = CodePage::Decode(data->data(QLatin1String(kUrlFormat))).trimmed();
    if (text.isEmpty() && data->hasUrls() && !data->urls().isEmpty()) text = data->urls().first().toString();
    // Only the first line: some sources put the title after the address.
    text = text.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (!isAddress(text)) return drop;
    drop.kind = Drop::Address;
    drop.url = text;
    if (data->hasFormat(QLatin1String(kPageFormat)))
        drop.pageTitle = QString::fromUtf8(data->data(QLatin1String(kPageFormat)));
    return drop;
}
