#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "core/AppPaths.h"
#include "core/IniFile.h"
#include "core/StatusCodeText.h"
#include "core/UrlUtils.h"
#include "support/TestSupport.h"

using namespace core;

namespace {

struct Case {
    const char* input;
    const char* expected;
};

template <typename F> void RunTable(const char* what, std::initializer_list<Case> table, F routine) {
    for (const Case& c : table) {
        SCOPED_TRACE(std::string(what) + "(\"" + c.input + "\")");
        EXPECT_EQ(routine(QString::fromUtf8(c.input)), QString::fromUtf8(c.expected));
    }
}

// Points the data folder somewhere else for the scope (the program's "installation folder").
class DataHome {
public:
    explicit DataHome(const QString& folder) : m_old(qgetenv("XDG_DATA_HOME")) {
        QDir().mkpath(folder);
        qputenv("XDG_DATA_HOME", folder.toUtf8());
    }
    ~DataHome() { qputenv("XDG_DATA_HOME", m_old); }

private:
    QByteArray m_old;
};

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST(UrlUtils, CompleteUrl) {
    RunTable("CompleteUrl",
             {
                 {"example", "www.example.com"},
                 {"example/news", "www.example.com/news"},
                 {"http://example.com/a", "http://www.example.com/a"},
                 {"mail.example.org", "www.mail.example.org"},
                 {"www.example.de", "www.example.de.com"},
                 {"www.example.gov/a/b", "www.example.gov/a/b"},
                 {"https://shop.example.net/cart?x=1", "https://www.shop.example.net/cart?x=1"},
                 // A scheme in any case comes back in lower case, the rest unchanged.
                 {"HTTP://www.Example.com/Path", "http://www.Example.com/Path"},
                 {"https://example", "https://example.com"},
                 {"www2.example.com", "www2.example.com"},
                 // File names are left alone; the label tests are exact.
                 {"index.html", "index.html"},
                 {"default.asp", "default.asp"},
                 {"Index.HTML", "www.Index.HTML.com"},
                 {".com", ""},
                 {"", ""},
             },
             CompleteUrl);
}

TEST(UrlUtils, GetSiteNameAndProperCase) {
    RunTable("GetSiteName",
             {
                 {"http://www.example.com/p", "example"},
                 {"a.b.example.co.uk", "example.co"},
                 {"http://192.168.1.20/x/y", "192.168.1.20"},
                 {"localhost", "localhost"},
                 // Port, user info, query and fragment are not part of the name.
                 {"http://127.0.0.1:8080/x", "127.0.0.1"},
                 {"http://www.example.com?x=1/y", "example"},
                 {"http://user:pw@www.example.com/", "example"},
                 {"https://user:pw@10.0.0.5:8443/a:b", "10.0.0.5"},
                 {"localhost:3000", "localhost"},
                 {"http://[::1]:8080/", "[::1]"},
                 {"", ""},
             },
             GetSiteName);
    RunTable("ProperCase",
             {
                 {"JOHN smith", "John Smith"},
                 {"  mail.EXAMPLE  ", "Mail.Example"},
                 {"o'neil mcDONALD", "O'neil Mcdonald"},
                 {"  mary-ANN  o'neil ", "Mary-ann  O'neil"}, // a hyphen does not start a word
                 {"élise.DUPONT", "Élise.Dupont"},
                 {"", ""},
             },
             ProperCase);
}

TEST(UrlUtils, MakePageCaption) {
    struct Row {
        QString title, name, url, expected;
    };
    const QString longTitle(150, QLatin1Char('x'));
    const Row rows[] = {
        {"Inbox", "Inbox", "http://mail.example.com/inbox", "Mail.Example - Inbox"},
        // "Welcome to" in the location name keeps the title; in the title it takes the name.
        {"Home", "Welcome to Example", "http://www.example.com/", "Example - Home"},
        {"welcome TO Example Bank", "Example Bank Login", "https://www.examplebank.com/",
         "Examplebank - Example Bank Login"},
        {"Account Summary", "Example Bank", "https://www.examplebank.com/acct",
         "Examplebank - Example Bank - Account Summary"},
        {"EXAMPLE BANK Account", "example bank", "https://www.examplebank.com/",
         "Examplebank - EXAMPLE BANK Account"},
        {"Page", "http://www.example.com/x", "http://www.example.com/x", "Example - Page"},
        // An address by number has no site.
        {"Admin", "Router", "http://10.0.0.5/admin", "Router - Admin"},
        {"Cannot find server", "Cannot find server", "http://nosuch.example.com/a",
         "Nosuch.Example - nosuch.example.com-a"},
        {"", "", "http://www.example.com", "Example"},
        {"", "", "", ""},
        {longTitle, longTitle, "http://www.example.com/", ("Example - " + longTitle).left(100)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.title.left(40).toStdString() + " | " + r.name.left(40).toStdString());
        const QString caption = MakePageCaption(r.title, PageLocation{r.name, r.url});
        EXPECT_EQ(caption, r.expected);
        EXPECT_LE(caption.size(), 100);
    }
}

TEST(UrlUtils, FileNamesAndSmallTextRoutines) {
    RunTable("MakeValidFileName",
             {
                 {"http://www.example.com/a", "www.example.com-a"},
                 {"HTTP://example.org", "example.org"},
                 {"https://example", "https --example"},
                 {"a<b>c:d|e*f?g\"h", "a b c d e f g h"},
                 {"C:\\dir\\file", "C -dir-file"},
             },
             MakeValidFileName);
    RunTable("StripPunctuation", {{" Log-in: now! ", "Login now"}, {"a_b,c.d?e", "abcde"}, {"", ""}},
             StripPunctuation);

    EXPECT_EQ(Ellipsis("abcdef", 5), QStringLiteral("ab..."));
    EXPECT_EQ(Ellipsis("abcde", 5), QStringLiteral("abcde"));
    EXPECT_EQ(Ellipsis("abcdef", 2), QStringLiteral("..."));
}

TEST(UrlUtils, UnescapeAndDisplayUrl) {
    RunTable("UnescapeUrl",
             {
                 {"a%20b", "a b"},
                 {"%2541", "A"}, // still a "%" after one pass: decoded again
                 {"caf%C3%A9", "café"},
                 {"caf%E9", "café"}, // not UTF-8: one character per byte
                 {"100%", "100%"},
                 {"%zz%4", "%zz%4"},
             },
             UnescapeUrl);

    QTemporaryDir temp;
    DataHome home(temp.path() + "/My Data");
    const QString folder = AppPaths::DataFolder();
    ASSERT_TRUE(folder.contains(' '));
    const QString plain = "file://" + folder + "/blank.htm";
    QString escaped = plain;
    escaped.replace(' ', "%20");
    RunTable("DisplayUrl",
             {
                 {BlankPageUrl().toUtf8().constData(), ""},
                 {escaped.toUtf8().constData(), ""},
                 {plain.toUpper().toUtf8().constData(), ""},
                 {QString("file://" + folder + "/other.htm").toUtf8().constData(),
                  QString("file://" + folder + "/other.htm").toUtf8().constData()},
                 {"http://example.com/blank.htm", "http://example.com/blank.htm"},
                 {"", ""},
             },
             DisplayUrl);
    EXPECT_TRUE(BlankPageUrl().contains("%20"));
}

TEST(UrlUtils, GetURLFromFileReadsRealShortcuts) {
    QTemporaryDir dir;
    const QString longUrl = "http://www.example.com/" + QString(2000, 'q');
    struct Row {
        QString file;
        QByteArray bytes;
        QString expected;
    };
    const Row rows[] = {
        {"Example.url", "[InternetShortcut]\r\nURL=http://www.example.com/\r\nIconIndex=0\r\n",
         "http://www.example.com/"},
        {"Base.url",
         "[DEFAULT]\r\nBASEURL=http://other.example.com/\r\n[InternetShortcut]\r\nURL=http://www.example.com/"
         "b\r\n",
         "http://www.example.com/b"},
        {"Loose.URL", "\xEF\xBB\xBF  [internetshortcut]\nurl = http://a.example.org/x \n",
         "http://a.example.org/x"},
        {"Cafe.url", "[InternetShortcut]\r\nURL=http://example.com/caf\xE9\r\n", "http://example.com/café"},
        {"NoKey.url", "[InternetShortcut]\r\nIconIndex=1\r\n", ""},
        {"Long.url", "[InternetShortcut]\r\nURL=" + longUrl.toUtf8() + "\r\n", longUrl.left(1023)},
        {"notes.txt", "[InternetShortcut]\r\nURL=http://www.example.com/\r\n", ""},
    };
    ScriptedBoxes boxes;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.file.toStdString());
        WriteBytes(dir.filePath(r.file), r.bytes);
        EXPECT_EQ(GetURLFromFile(dir.filePath(r.file)), r.expected);
    }
    EXPECT_EQ(GetURLFromFile(dir.filePath("Missing.url")), QString());
    EXPECT_EQ(boxes.count(), 0);

    // A file too large to be a shortcut is reported, and ignoring the report gives "".
    {
        QFile huge(dir.filePath("Huge.url"));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(IniFile::kMaxFileSize + 1));
    }
    boxes.Answer(msgbox::Ignore);
    EXPECT_EQ(GetURLFromFile(dir.filePath("Huge.url")), QString());
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_TRUE(boxes.lastText().startsWith(
        "Error encountered in module 'modGeneral' in function 'GetURLFromFile'. Error Description: "));
    EXPECT_TRUE(boxes.lastText().endsWith("\r\r"));
}

TEST(StatusCodeText, TableEdges) {
    const struct {
        long code;
        const char* text;
    } rows[] = {
        {400, "Invalid syntax."},
        {404, "Object not found."},
        {449, "Retry after doing the appropriate action."},
        {501, "Server does not support the functionality required to fulfill the request."},
        {505, "HTTP version not supported."},
        {-2146697211, "Cannot locate the Internet server or proxy server."},
        {-2146697210, "The site reports that the item you requested could not be found. (HTTP/1.0 404)"},
        {0x800C0005L, "Cannot locate the Internet server or proxy server."}, // the same code, unsigned
        {418, ""},
        {404 + 65536, ""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.code);
        EXPECT_EQ(StatusCodeText(r.code), QString::fromUtf8(r.text));
    }
}
