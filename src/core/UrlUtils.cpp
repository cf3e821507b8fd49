#include "core/UrlUtils.h"

#include <QUrl>

#include "core/AppPaths.h"
#include "core/CodePage.h"

namespace core {
namespace {

constexpr auto ci = Qt::CaseInsensitive;

// The only top-level labels the completion knows; compared exactly.
bool isKnownTopLabel(const QString& label) {
    return label == QLatin1String("com") || label == QLatin1String("gov") || label == QLatin1String("net") ||
           label == QLatin1String("org");
}

bool isAllDigits(const QString& text) {
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

// Trims spaces only (not tabs or other blanks), as the rules are written.
QString trimSpaces(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

// A run of escaped bytes: UTF-8 when it is valid UTF-8 (as addresses are written today),
// otherwise one character per byte in the 8-bit code page.
QString decodeBytes(const QByteArray& bytes) {
    const QString utf8 = QString::fromUtf8(bytes);
    if (utf8.toUtf8() == bytes) return utf8;
    return CodePage::Decode(bytes);
}

QString unescapeOnce(const QString& text) {
    QString out;
    out.reserve(text.size());
    QByteArray run;
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] == QLatin1Char('%') && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            run.append(char(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 3;
            continue;
        }
        if (!run.isEmpty()) {
            out += decodeBytes(run);
            run.clear();
        }
        out += text[i++];
    }
    if (!run.isEmpty()) out += decodeBytes(run);
    return out;
}

} // namespace

QString CompleteUrl(const QString& typed) {
    QString scheme, host = typed, path;
    const qsizetype slashes = typed.indexOf(QLatin1String("//"));
    if (slashes >= 0) {
        scheme = typed.left(slashes + 2);
        host = typed.mid(slashes + 2);
    }
    const qsizetype slash = host.indexOf(QLatin1Char('/'));
    if (slash >= 0) {
        path = host.mid(slash);
        host = host.left(slash);
    }

    QStringList labels = (scheme + host).split(QLatin1Char('.'));
    const qsizetype n = labels.size() - 1;
    if (labels.first().isEmpty()) return QString();

    if (n == 0) {
        const QString& label = labels.first();
        if (label.contains(QLatin1String("http://"), ci) || label.contains(QLatin1String("https://"), ci))
            return label + QStringLiteral(".com") + path;
        return QStringLiteral("www.") + label + QStringLiteral(".com") + path;
    }

    const QString last = labels[n];
    // A file name, not a host.
    if (last == QLatin1String("htm") || last == QLatin1String("asp") || last == QLatin1String("html"))
        return scheme + host + path;

    const QString top = isKnownTopLabel(last) ? last : QStringLiteral("com");

    QString result;
    QString& first = labels.first();
    qsizetype at = first.indexOf(QLatin1String("http://"), 0, ci);
    if (at >= 0) {
        result = QStringLiteral("http://");
        first = first.mid(at + 7);
    } else if ((at = first.indexOf(QLatin1String("https://"), 0, ci)) >= 0) {
        result = QStringLiteral("https://");
        first = first.mid(at + 8);
    }
    if (!first.contains(QLatin1String("www"), ci)) result += QStringLiteral("www.");
    for (qsizetype i = 0; i < n; ++i)
        result += labels[i] + QLatin1Char('.');
    if (!isKnownTopLabel(last)) result += last + QLatin1Char('.');
    return result + top + path;
}

QString GetSiteName(const QString& address) {
    QString host = address;
    const qsizetype slashes = host.indexOf(QLatin1String("//"));
    if (slashes >= 0) host = host.mid(slashes + 2);
    // The host ends at the path, the query or the fragment, whichever comes first.
    for (qsizetype i = 0; i < host.size(); ++i) {
        const QChar c = host[i];
        if (c == QLatin1Char('/') || c == QLatin1Char('?') || c == QLatin1Char('#')) {
            host.truncate(i);
            break;
        }
    }
    // Neither the user info nor the port is part of the site's name.
    const qsizetype at = host.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) host = host.mid(at + 1);
    const qsizetype colon = host.indexOf(QLatin1Char(':'), host.indexOf(QLatin1Char(']')) + 1);
    if (colon >= 0) host = host.left(colon);

    if (isAllDigits(QString(host).remove(QLatin1Char('.')))) return host; // an IP address

    const QStringList labels = host.split(QLatin1Char('.'));
    const qsizetype start = labels.size() > 1 ? labels.size() - 2 : 0;
    QString site;
    int taken = 0;
    for (qsizetype i = start; i >= 0 && taken < 2; --i) {
        if (labels[i].compare(QLatin1String("www"), ci) == 0) break;
        site = taken == 0 ? labels[i] : labels[i] + QLatin1Char('.') + site;
        ++taken;
    }
    return site;
}

QString ProperCase(const QString& text) {
    const QString trimmed = trimSpaces(text);
    if (trimmed.isEmpty()) return trimmed;
    QStringList parts = trimmed.split(QLatin1Char('.'));
    for (QString& part : parts) {
        QStringList words = part.split(QLatin1Char(' '));
        for (QString& word : words) {
            if (word.isEmpty()) continue;
            word = QString(word[0].toUpper()) + word.mid(1).toLower();
        }
        part = words.join(QLatin1Char(' '));
    }
    return parts.join(QLatin1Char('.'));
}

QString MakePageCaption(const QString& title, const PageLocation& browser) {
    const QString& name = browser.name;
    const QLatin1String welcome("Welcome to");
    QString caption;
    if (name == title || name.contains(welcome, ci))
        caption = title;
    else if (title.contains(welcome, ci))
        caption = name;
    else if (!title.contains(name, ci) && !name.startsWith(QLatin1String("http"), ci))
        caption = name + QStringLiteral(" - ") + title;
    else
        caption = title;

    QString site = ProperCase(GetSiteName(browser.url));
    if (isAllDigits(site.section(QLatin1Char('.'), 0, 0))) site.clear();

    if (caption == QLatin1String("Cannot find server")) caption = MakeValidFileName(browser.url);

    if (!caption.isEmpty() && !site.isEmpty())
        caption = site + QStringLiteral(" - ") + caption;
    else if (caption.isEmpty() && !site.isEmpty())
        caption = site;
    return caption.left(100);
}

QString MakeValidFileName(const QString& text) {
    QString name = text;
    for (QChar c : QStringLiteral("<>:|*?\""))
        name.replace(c, QLatin1Char(' '));
    name.replace(QLatin1Char('/'), QLatin1Char('-'));
    name.replace(QLatin1Char('\\'), QLatin1Char('-'));
    if (name.startsWith(QLatin1String("http --"), ci)) name = name.mid(7);
    return name;
}

QString StripPunctuation(const QString& text) {
    QString out = text;
    for (QChar c : QStringLiteral(",.:-_!?"))
        out.remove(c);
    return trimSpaces(out);
}

QString UnescapeUrl(const QString& address) {
    QString once = unescapeOnce(address);
    if (once.contains(QLatin1Char('%'))) once = unescapeOnce(once);
    return once;
}

QString BlankPagePath() {
    return AppPaths::DataFolder() + QStringLiteral("/Blank.htm");
}

QString BlankPageUrl() {
    return QUrl::fromLocalFile(BlankPagePath()).toString(QUrl::FullyEncoded);
}

QString DisplayUrl(const QString& address) {
    if (!address.contains(QLatin1String("file:///"), ci)) return address;
    QString folder = AppPaths::DataFolder();
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // "file:///" already holds the root's slash.
    if (folder.startsWith(QLatin1Char('/'))) folder.remove(0, 1);
    const QString blank = QStringLiteral("file:///") + folder + QStringLiteral("/blank.htm");
    return UnescapeUrl(address).compare(blank, ci) == 0 ? QString() : address;
}

QString ProtocolText(const QString& url) {
    const QString scheme = QUrl(url).scheme().toLower();
    if (scheme == QLatin1String("http")) return QStringLiteral("HyperText Transfer Protocol");
    if (scheme == QLatin1String("https")) return QStringLiteral("HyperText Transfer Protocol with Privacy");
    if (scheme == QLatin1String("file")) return QStringLiteral("File Protocol");
    return QStringLiteral("Unknown Protocol");
}

QString Ellipsis(const QString& text, int max) {
    if (text.size() <= max) return text;
    return text.left(qMax(0, max - 3)) + QStringLiteral("...");
}

QString SiteLabel(const QString& address) {
    const QUrl url(address);
    QString site = url.host();
    if (!site.isEmpty() && url.port() != -1) site += QLatin1Char(':') + QString::number(url.port());
    return site;
}

} // namespace core
