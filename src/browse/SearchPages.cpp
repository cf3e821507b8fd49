#include "browse/SearchPages.h"

#include <QSaveFile>
#include <QUrl>
#include <QUrlQuery>

#include "core/AppPaths.h"

namespace SearchPages {

namespace {

// The first three services: the stored choice, the page's file and colour, where a result
// link passes through the engine, and its advanced search or options page.
struct Builtin {
    const char* choice;
    const char* page;
    const char* colour;
    const char* host;
    const char* redirectPath;
    const char* advancedUrl;
};

constexpr Builtin kBuiltins[] = {
    {"Msn", "MsnSearch.htm", "#2a5db0", "bing.com", "/ck/a?", "https://www.bing.com/account/general"},
    {"Google", "GoogleSearch.htm", "#1a8a4a", "google.com", "/url?",
     "https://www.google.com/advanced_search"},
    {"Yahoo", "YahooSearch.htm", "#7b2fa8", "search.yahoo.com",
     "/RU=", "https://search.yahoo.com/preferences/preferences"},
};

// Small and readable in a narrow pane; the logo is the service's name in its own colours.
QString Head(const QString& title, const QString& logoColour) {
    return QStringLiteral("<HTML><HEAD><TITLE>") + title.toHtmlEscaped() +
           QStringLiteral(
               "</TITLE>\r\n<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n"
               "<STYLE>\r\n"
               "body { font-family: Arial, sans-serif; font-size: 10pt; margin: 8px; background: #ffffff; "
               "}\r\n"
               ".logo { font: bold 17pt Georgia, serif; letter-spacing: 1px; color: ") +
           logoColour +
           QStringLiteral("; margin-bottom: 6px; }\r\n"
                          "h1 { font-size: 10pt; margin: 4px 0; }\r\n"
                          "input { margin: 2px 0; }\r\n"
                          "a { font-size: 9pt; }\r\n"
                          "</STYLE></HEAD>\r\n");
}

QString Logo(const QString& caption) {
    return QStringLiteral("<DIV class=\"logo\">") + caption.toHtmlEscaped() + QStringLiteral("</DIV>\r\n");
}

QString Form(const QString& action) {
    return QStringLiteral("<FORM name=\"frmSearch\" method=\"get\" action=\"") + action.toHtmlEscaped() +
           QStringLiteral("\">\r\n");
}

QString Link(const QString& url, const QString& text) {
    return QStringLiteral("<A href=\"") + url.toHtmlEscaped() + QStringLiteral("\">") + text +
           QStringLiteral("</A>\r\n");
}

QString Hidden(const QString& name, const QString& value) {
    return QStringLiteral("<INPUT type=\"hidden\" name=\"%1\" value=\"%2\">\r\n")
        .arg(name.toHtmlEscaped(), value.toHtmlEscaped());
}

bool WriteFile(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(text.toUtf8());
    return file.commit();
}

// The form of a query address whose words are the whole value of one query field: its
// action, its field and the fixed fields beside it. False for any other address.
bool SplitQuery(const QString& queryUrl, QString* action, QString* field,
                QList<QPair<QString, QString>>* fixed) {
    const QUrl url(queryUrl);
    if (url.fragment().contains(QLatin1String("%s")) || url.path().contains(QLatin1String("%s")))
        return false;
    const QUrlQuery query(url);
    int words = 0;
    for (const auto& [name, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (value == QLatin1String("%s")) {
            ++words;
            *field = name;
        } else if (value.contains(QLatin1String("%s"))) {
            return false;
        } else {
            fixed->append({name, value});
        }
    }
    *action = url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment).toString();
    return words == 1;
}

QString OwnHost(const QUrl& url) {
    QString host = url.host().toLower();
    if (host.startsWith(QLatin1String("www."))) host = host.mid(4);
    if (url.port() != -1) host += QLatin1Char(':') + QString::number(url.port());
    return host;
}

} // namespace

SearchServiceTable ServicesFor(const QList<SearchEngine>& engines) {
    const QList<SearchEngine> defaults = SearchEngines::Defaults();
    SearchServiceTable services;
    int page = 0;
    for (const SearchEngine& engine : engines) {
        SearchService s;
        s.choice = SearchEngines::ChoiceName(engine);
        s.caption = engine.name;
        s.queryUrl = engine.queryUrl;
        const QUrl url(engine.queryUrl);
        const int builtin = int(defaults.indexOf(engine));
        if (builtin >= 0) {
            const Builtin& b = kBuiltins[builtin];
            s.layout = builtin;
            s.page = QLatin1String(b.page);
            s.host = QLatin1String(b.host);
            s.redirectPath = QLatin1String(b.redirectPath);
            s.advancedUrl = QLatin1String(b.advancedUrl);
        } else {
            s.page = QStringLiteral("Search%1.htm").arg(++page);
            s.host = OwnHost(url);
            s.advancedUrl =
                url.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment).toString();
        }
        QList<QPair<QString, QString>> fixed;
        if (!SplitQuery(engine.queryUrl, &s.searchUrl, &s.field, &fixed)) {
            s.searchUrl.clear();
            s.field = QLatin1String(kLocalField);
        }
        services.append(s);
    }
    return services;
}

SearchServiceTable DefaultServices() {
    return ServicesFor(SearchEngines::Defaults());
}

int IndexOfChoice(const SearchServiceTable& services, const QString& choice) {
    for (int i = 0; i < int(services.size()); ++i)
        if (services[i].choice.compare(choice.trimmed(), Qt::CaseInsensitive) == 0) return i;
    return 0;
}

QString BlankHtml() {
    return QStringLiteral(
        "<HTML><HEAD><TITLE>Blank</TITLE></HEAD><BODY bgColor='#f5f5dc'><P>&nbsp;</P></BODY></HTML>");
}

QString PageHtml(const SearchService& service) {
    QString html;
    switch (service.layout) {
    case 0:
        html = Head(service.caption + QStringLiteral(" Search"), QLatin1String(kBuiltins[0].colour)) +
               QStringLiteral("<BODY>\r\n") + Logo(service.caption) + Form(service.searchUrl) +
               QStringLiteral("<H1>Search the Web for:</H1>\r\n"
                              "<INPUT type=\"text\" name=\"q\" id=\"q\" size=\"18\" maxlength=\"128\">\r\n") +
               Hidden(QStringLiteral("FORM"), QStringLiteral("cDWNLD")) +
               QStringLiteral("<INPUT type=\"submit\" value=\"Search\">\r\n"
                              "</FORM>\r\n") +
               Link(service.advancedUrl, QStringLiteral("Use Advanced Search"));
        break;
    case 1:
        html = Head(service.caption + QStringLiteral(" Search"), QLatin1String(kBuiltins[1].colour)) +
               QStringLiteral("<BODY>\r\n") + Logo(service.caption) + Form(service.searchUrl) +
               QStringLiteral("<INPUT type=\"text\" name=\"q\" size=\"25\" maxlength=\"255\" value=\"\">\r\n"
                              "<INPUT type=\"submit\" name=\"sa\" value=\"Google Search\">\r\n"
                              "</FORM>\r\n") +
               Link(service.advancedUrl, QStringLiteral("Advanced Search"));
        break;
    case 2:
        html = Head(service.caption + QStringLiteral(" Search"), QLatin1String(kBuiltins[2].colour)) +
               QStringLiteral("<BODY>\r\n") + Logo(service.caption) + Form(service.searchUrl) +
               QStringLiteral("<INPUT type=\"text\" name=\"p\" size=\"25\" value=\"\">\r\n"
                              "<INPUT type=\"submit\" name=\"name\" value=\"Yahoo Search\">\r\n"
                              "</FORM>\r\n") +
               Link(service.advancedUrl, QStringLiteral("options"));
        break;
    default: {
        // Made from the query address: its fixed fields ride along; a query that is no single
        // field is sent to the page itself, and the pane turns it into the engine's address.
        QString action, field;
        QList<QPair<QString, QString>> fixed;
        QString fields;
        if (SplitQuery(service.queryUrl, &action, &field, &fixed)) {
            for (const auto& [name, value] : fixed)
                fields += Hidden(name, value);
        } else {
            action = service.page;
            field = QLatin1String(kLocalField);
        }
        html =
            Head(service.caption + QStringLiteral(" Search"), QStringLiteral("#555555")) +
            QStringLiteral("<BODY>\r\n") + Logo(service.caption) + Form(action) +
            QStringLiteral("<H1>Search the Web for:</H1>\r\n"
                           "<INPUT type=\"text\" name=\"%1\" size=\"25\" maxlength=\"255\" value=\"\">\r\n")
                .arg(field.toHtmlEscaped()) +
            fields + QStringLiteral("<INPUT type=\"submit\" value=\"Search\">\r\n</FORM>\r\n") +
            Link(service.advancedUrl, service.caption.toHtmlEscaped());
        break;
    }
    }
    return html + QStringLiteral("</BODY></HTML>\r\n");
}

QString PagePath(const SearchService& service, const QString& folder) {
    return (folder.isEmpty() ? AppPaths::DataFolder() : folder) + QLatin1Char('/') + service.page;
}

QString PageUrl(const SearchService& service, const QString& folder) {
    return QUrl::fromLocalFile(PagePath(service, folder)).toString(QUrl::FullyEncoded);
}

QString LocalQueryWords(const QString& url) {
    const QUrl address(url);
    if (!address.isLocalFile()) return {};
    // A form writes a blank as "+" and a "+" as "%2B".
    QString words = QUrlQuery(address).queryItemValue(QLatin1String(kLocalField), QUrl::FullyEncoded);
    words.replace(QLatin1Char('+'), QLatin1Char(' '));
    return QUrl::fromPercentEncoding(words.toUtf8());
}

bool WritePage(const SearchService& service, const QString& folder) {
    return WriteFile(PagePath(service, folder), PageHtml(service));
}

bool CreateHtmFiles(const SearchServiceTable& services, const QString& folder) {
    const QString target = folder.isEmpty() ? AppPaths::DataFolder() : folder;
    bool ok = WriteFile(target + QStringLiteral("/Blank.htm"), BlankHtml());
    for (const SearchService& service : services)
        ok = WritePage(service, target) && ok;
    return ok;
}

} // namespace SearchPages
