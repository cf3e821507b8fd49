#include "browse/SearchPages.h"

#include <QSaveFile>
#include <QUrl>

#include "core/AppPaths.h"

namespace SearchPages {

namespace {

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

QString Form(const SearchService& service) {
    return QStringLiteral("<FORM name=\"frmSearch\" method=\"get\" action=\"") +
           service.searchUrl.toHtmlEscaped() + QStringLiteral("\">\r\n");
}

QString Link(const QString& url, const QString& text) {
    return QStringLiteral("<A href=\"") + url.toHtmlEscaped() + QStringLiteral("\">") + text +
           QStringLiteral("</A>\r\n");
}

bool WriteFile(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(text.toUtf8());
    return file.commit();
}

} // namespace

SearchServiceTable DefaultServices() {
    return {{
        {QStringLiteral("Msn"), QStringLiteral("Findwell"), QStringLiteral("MsnSearch.htm"),
         QStringLiteral("https://search.findwell.example/results"), QStringLiteral("search.findwell.example"),
         QStringLiteral("/click?"), QStringLiteral("https://search.findwell.example/advanced")},
        {QStringLiteral("Google"), QStringLiteral("Lookup"), QStringLiteral("GoogleSearch.htm"),
         QStringLiteral("https://www.lookup.example/search"), QStringLiteral("www.lookup.example"),
         QStringLiteral("/url?"), QStringLiteral("https://www.lookup.example/advanced_search")},
        {QStringLiteral("Yahoo"), QStringLiteral("Seekfar"), QStringLiteral("YahooSearch.htm"),
         QStringLiteral("https://find.seekfar.example/search"), QStringLiteral("find.seekfar.example"),
         QStringLiteral("/r/"), QStringLiteral("https://find.seekfar.example/options")},
    }};
}

int IndexOfChoice(const SearchServiceTable& services, const QString& choice) {
    for (int i = 0; i < int(services.size()); ++i)
        if (services[size_t(i)].choice.compare(choice.trimmed(), Qt::CaseInsensitive) == 0) return i;
    return 0;
}

QString BlankHtml() {
    return QStringLiteral(
        "<HTML><HEAD><TITLE>Blank</TITLE></HEAD><BODY bgColor='#f5f5dc'><P>&nbsp;</P></BODY></HTML>");
}

QString PageHtml(int index, const SearchService& service) {
    QString html;
    switch (index) {
    case 0:
        html = Head(service.caption + QStringLiteral(" Search"), QStringLiteral("#2a5db0")) +
               QStringLiteral("<BODY>\r\n") + Logo(service.caption) + Form(service) +
               QStringLiteral("<H1>Search the Web for:</H1>\r\n"
                              "<INPUT type=\"text\" name=\"q\" id=\"q\" size=\"18\" maxlength=\"128\">\r\n"
                              "<INPUT type=\"hidden\" name=\"cp\" value=\"1252\">\r\n"
                              "<INPUT type=\"hidden\" name=\"FORM\" value=\"cDWNLD\">\r\n"
                              "<INPUT type=\"submit\" value=\"Search\">\r\n"
                              "</FORM>\r\n") +
               Link(service.advancedUrl, QStringLiteral("Use Advanced Search"));
        break;
    case 1:
        html = Head(service.caption + QStringLiteral(" Search"), QStringLiteral("#1a8a4a")) +
               QStringLiteral("<BODY>\r\n") + Logo(service.caption) + Form(service) +
               QStringLiteral("<INPUT type=\"text\" name=\"q\" size=\"25\" maxlength=\"255\" value=\"\">\r\n"
                              "<INPUT type=\"submit\" name=\"sa\" value=\"Google Search\">\r\n"
                              "</FORM>\r\n") +
               Link(service.advancedUrl, QStringLiteral("Advanced Search"));
        break;
    default:
        html = Head(service.caption + QStringLiteral(" Search"), QStringLiteral("#7b2fa8")) +
               QStringLiteral("<BODY>\r\n") + Logo(service.caption) + Form(service) +
               QStringLiteral("<INPUT type=\"text\" name=\"p\" size=\"25\" value=\"\">\r\n"
                              "<INPUT type=\"submit\" name=\"name\" value=\"Yahoo Search\">\r\n"
                              "</FORM>\r\n") +
               Link(service.advancedUrl, QStringLiteral("options"));
        break;
    }
    return html + QStringLiteral("</BODY></HTML>\r\n");
}

QString PagePath(const SearchService& service, const QString& folder) {
    return (folder.isEmpty() ? AppPaths::DataFolder() : folder) + QLatin1Char('/') + service.page;
}

QString PageUrl(const SearchService& service, const QString& folder) {
    return QUrl::fromLocalFile(PagePath(service, folder)).toString(QUrl::FullyEncoded);
}

bool CreateHtmFiles(const SearchServiceTable& services, const QString& folder) {
    const QString target = folder.isEmpty() ? AppPaths::DataFolder() : folder;
    bool ok = WriteFile(target + QStringLiteral("/Blank.htm"), BlankHtml());
    for (int i = 0; i < int(services.size()); ++i)
        ok = WriteFile(PagePath(services[size_t(i)], target), PageHtml(i, services[size_t(i)])) && ok;
    return ok;
}

} // namespace SearchPages
