#include "sites/TestSites.h"

#include <chrono>
#include <mutex>
#include <QHash>
#include <QUuid>
#include <thread>

namespace sites {

struct TestSites::State {
    std::mutex mutex;
    QStringList accepted;
    QStringList refused;
    QStringList sessions;                 // live session cookies
    QHash<QString, QString> sessionUsers; // who signed in with each
    QStringList signIns;                  // what /basic-auth was answered with
    QStringList hung;                     // the keys /hang-once has hung
};

namespace {

struct Context {
    TestSites::State& state;
    const SiteServer& main;
    const SiteServer& other;
};

using Page = void (*)(const Context&, const Request&, Reply&);

QString Doc(const QString& title, const QString& body, const QString& head = {}) {
    return QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%1</title>%2</head>"
                          "<body>%3</body></html>")
        .arg(title, head, body);
}

// ----- the login site -------------------------------------------------------------------------

const char* const kSessionCookie = "bgsession";

QString LoginForm(const QString& extra = {}, const QString& action = QStringLiteral("/login"),
                  const QString& next = {}) {
    const QString hiddenNext =
        next.isEmpty()
            ? QString()
            : QStringLiteral("<input type=\"hidden\" name=\"next\" value=\"%1\">").arg(next.toHtmlEscaped());
    return QStringLiteral(
               "<form name=\"login\" id=\"loginform\" method=\"post\" action=\"%2\"%1>"
               "<table><tr><td>Bank</td><td><select name=\"realm\" id=\"realm\">"
               "<option value=\"p\">Personal</option><option value=\"b\">Business</option></select></td></tr>"
               "<tr><td>User name</td><td><input type=\"text\" name=\"user\" id=\"user\"></td></tr>"
               "<tr><td>Password</td><td><input type=\"password\" name=\"pass\" id=\"pass\"></td></tr>"
               "</table><input type=\"hidden\" name=\"from\" value=\"form\">%3"
               "<input type=\"submit\" id=\"signin\" value=\"Sign In\"></form>")
        .arg(extra, action, hiddenNext);
}

// Where a login goes on: a path of this site given as ?next=, else the welcome page.
QString NextPage(const Request& r) {
    const QString next = r.param(QStringLiteral("next"));
    if (next.startsWith(QLatin1Char('/')) && !next.startsWith(QLatin1String("//"))) return next;
    return QStringLiteral("/welcome");
}

bool LoggedIn(const Context& c, const Request& r) {
    const QString session = r.cookie(QLatin1String(kSessionCookie));
    std::lock_guard lock(c.state.mutex);
    return !session.isEmpty() && c.state.sessions.contains(session);
}

QString SignedInUser(const Context& c, const Request& r) {
    std::lock_guard lock(c.state.mutex);
    return c.state.sessionUsers.value(r.cookie(QLatin1String(kSessionCookie)));
}

bool KnownAccount(const QString& user, const QString& password) {
    return (user == QLatin1String(TestSites::kUser) && password == QLatin1String(TestSites::kPassword)) ||
           (user == QLatin1String(TestSites::kSecondUser) &&
            password == QLatin1String(TestSites::kSecondPassword));
}

void LoginPage(const Context&, const Request& r, Reply& reply) {
    reply.Html(Doc(QStringLiteral("Sign In - Bramble Test Bank"),
                   QStringLiteral("<h1>Bramble Test Bank</h1>") +
                       LoginForm({}, QStringLiteral("/login"), r.param(QStringLiteral("next"))) +
                       QStringLiteral("<p><a href=\"/help\">Help with signing in</a></p>")));
}

void LoginStrictPage(const Context&, const Request&, Reply& reply) {
    reply.Html(
        Doc(QStringLiteral("Sign In - Strict Test Bank"),
            QStringLiteral("<h1>Strict Test Bank</h1>") + LoginForm({}, QStringLiteral("/login-strict"))));
}

void LoginOnSubmitPage(const Context&, const Request&, Reply& reply) {
    // The handler marks the form so the server can tell it ran before the submission.
    reply.Html(Doc(QStringLiteral("Sign In (checked)"),
                   LoginForm(QStringLiteral(" onsubmit=\"return checkLogin(this)\"")),
                   QStringLiteral("<script>function checkLogin(f) { f.from.value = 'onsubmit'; "
                                  "document.title = 'checked'; return true; }</script>")));
}

// Checks a login: accepted ones get a session cookie and go on to the next page; refused ones
// get the form again, with status 200 (or 401 for the strict site).
void CheckLogin(const Context& c, const Request& r, Reply& reply, bool strict) {
    QString who = r.param(QStringLiteral("user"));
    if (!r.param(QStringLiteral("realm")).isEmpty())
        who += QLatin1Char('/') + r.param(QStringLiteral("realm"));
    if (r.param(QStringLiteral("from")) == QLatin1String("onsubmit")) who += QStringLiteral(" (onsubmit)");
    if (KnownAccount(r.param(QStringLiteral("user")), r.param(QStringLiteral("pass")))) {
        const QString session = QUuid::createUuid().toString(QUuid::WithoutBraces);
        {
            std::lock_guard lock(c.state.mutex);
            c.state.accepted.append(who);
            c.state.sessions.append(session);
            c.state.sessionUsers.insert(session, r.param(QStringLiteral("user")));
        }
        reply.AddHeader("Set-Cookie", QStringLiteral("%1=%2; Path=/; HttpOnly; Max-Age=86400")
                                          .arg(QLatin1String(kSessionCookie), session)
                                          .toUtf8());
        reply.Redirect(NextPage(r), 302);
        return;
    }
    {
        std::lock_guard lock(c.state.mutex);
        c.state.refused.append(who);
    }
    if (strict) reply.status = 401;
    reply.Html(Doc(QStringLiteral("Sign In Failed"),
                   QStringLiteral("<h1>Wrong password</h1><p>The user name or password is wrong.</p>") +
                       LoginForm({}, strict ? QStringLiteral("/login-strict") : QStringLiteral("/login"))));
}

void LoginPost(const Context& c, const Request& r, Reply& reply) {
    CheckLogin(c, r, reply, false);
}

void LoginStrictPost(const Context& c, const Request& r, Reply& reply) {
    CheckLogin(c, r, reply, true);
}

void WelcomePage(const Context& c, const Request& r, Reply& reply) {
    if (!LoggedIn(c, r)) return reply.Redirect(QStringLiteral("/login"));
    const QString welcome = QStringLiteral("Welcome, ") + SignedInUser(c, r).toHtmlEscaped();
    reply.Html(Doc(welcome, QStringLiteral("<h1>%1</h1><p><a href=\"/accounts\">Accounts</a> "
                                           "<a href=\"/logout\">Sign Out</a></p>")
                                .arg(welcome)));
}

void AccountsPage(const Context& c, const Request& r, Reply& reply) {
    if (!LoggedIn(c, r)) return reply.Redirect(QStringLiteral("/login"));
    reply.Html(Doc(QStringLiteral("Accounts"), QStringLiteral("<h1>Accounts</h1><p>Balance: 42</p>"
                                                              "<a href=\"/logout\">Sign Out</a>")));
}

// Pages behind the login, each offering the way to the accounts through another kind of
// control (the Link's post-login text names it).
void AfterLoginPage(const Context& c, const Request& r, Reply& reply) {
    if (!LoggedIn(c, r)) return reply.Redirect(QStringLiteral("/login"));
    const QString kind = r.path.mid(r.path.lastIndexOf(QLatin1Char('/')) + 1);
    QString control;
    if (kind == QLatin1String("anchor"))
        control = QStringLiteral("<a href=\"/help\">Help</a> <a href=\"/accounts?via=mine\">My Accounts</a> "
                                 "<a href=\"/accounts?via=anchor\"> accounts </a>");
    else if (kind == QLatin1String("button"))
        control = QStringLiteral("<input type=\"button\" value=\" Accounts \" "
                                 "onclick=\"location.href='/accounts?via=button'\">");
    else if (kind == QLatin1String("image"))
        control =
            QStringLiteral("<form action=\"/accounts\" method=\"get\"><input type=\"hidden\" name=\"via\" "
                           "value=\"image\"><input type=\"image\" src=\"/img/dot.gif\" alt=\"Go!\"></form>");
    else if (kind == QLatin1String("list"))
        control =
            QStringLiteral("<select onchange=\"location.href = this.value\"><option value=\"/welcome\">"
                           "Choose</option><option value=\"/accounts?via=list\">Accounts</option></select>");
    reply.Html(
        Doc(QStringLiteral("Start"), QStringLiteral("<h1>Hello</h1><p>") + control +
                                         QStringLiteral("</p><p><a href=\"/logout\">Sign Out</a></p>")));
}

void SignedInPage(const Context&, const Request&, Reply& reply) {
    reply.Html(Doc(QStringLiteral("Your Bank"),
                   QStringLiteral("<h1>Your accounts</h1><p>Welcome back.</p>"
                                  "<a href=\"/plain\">Accounts</a> <a href=\"/logout\">Sign Out</a>")));
}

void NoLoginPage(const Context&, const Request&, Reply& reply) {
    reply.Html(
        Doc(QStringLiteral("Opening Hours"),
            QStringLiteral("<h1>Opening hours</h1><p>Monday to Friday.</p><a href=\"/plain\">More</a>")));
}

void LogoutPage(const Context& c, const Request& r, Reply& reply) {
    {
        std::lock_guard lock(c.state.mutex);
        c.state.sessions.removeAll(r.cookie(QLatin1String(kSessionCookie)));
    }
    reply.AddHeader("Set-Cookie", QByteArray(kSessionCookie) + "=; Path=/; Max-Age=0");
    reply.Html(Doc(QStringLiteral("Signed Out"),
                   QStringLiteral("<p>You are signed out.</p><a href=\"/login\">Sign In</a>")));
}

// ----- plain pages ----------------------------------------------------------------------------

void IndexPage(const Context&, const Request&, Reply& reply);

void PlainPage(const Context&, const Request&, Reply& reply) {
    reply.Html(
        Doc(QStringLiteral("Plain Page"),
            QStringLiteral(
                "<h1 id=\"head\">Plain</h1>"
                "<p>Some <b>text</b> and <a id=\"first\" href=\"/welcome\">Welcome</a>, "
                "<a id=\"pic\" href=\"/accounts\"><img id=\"picimg\" src=\"/img/dot.gif\" alt=\"Go to "
                "accounts\"></a>, "
                "<a id=\"script\" href=\"javascript:doLogin()\">Log in</a>, "
                "<a name=\"anchor-only\">anchor</a>.</p>"
                "<img id=\"broken\" src=\"/img/none.gif\" alt=\"missing\">"
                "<button id=\"btn\" onclick=\"go()\">Sign&nbsp;In</button>"
                "<script>function doLogin() { document.forms[0].submit(); }\nfunction go() {}</script>")));
}

void EchoPage(const Context&, const Request&, Reply& reply) {
    // What the page's own listeners saw is shown in #echo and #changed.
    reply.Html(Doc(
        QStringLiteral("Echo"),
        QStringLiteral("<form name=\"f\"><div><label>Name <input type=\"text\" id=\"name\" name=\"name\">"
                       "</label></div><select id=\"pick\" name=\"pick\" onchange=\"picked(this)\">"
                       "<option>Red</option><option>Green</option><option>Blue</option></select></form>"
                       "<p>typed: <span id=\"echo\"></span></p><p>changed: <span id=\"changed\"></span></p>"
                       "<p>picked: <span id=\"picked\"></span></p>"
                       "<script>var n = document.getElementById('name');"
                       "n.addEventListener('input', function() {"
                       " document.getElementById('echo').textContent = n.value; });"
                       "n.addEventListener('change', function() {"
                       " document.getElementById('changed').textContent = n.value; });"
                       "function picked(s) { document.getElementById('picked').textContent ="
                       " s.options[s.selectedIndex].text; }</script>")));
}

void ScriptErrorPage(const Context&, const Request&, Reply& reply) {
    reply.Html(Doc(QStringLiteral("Script Error"),
                   QStringLiteral("<p>before</p>\n<script>\nvar x = 1;\nnoSuchFunction(x);\n</script>")));
}

// ----- frames ---------------------------------------------------------------------------------

// A page without errors of its own; both of its frames (this site's and the other's) have one.
void FramedErrorsPage(const Context& c, const Request&, Reply& reply) {
    reply.Html(Doc(QStringLiteral("Framed Errors"),
                   QStringLiteral("<p>Top</p><iframe src=\"/script-error\"></iframe>"
                                  "<iframe src=\"%1\"></iframe>")
                       .arg(c.other.Url(QStringLiteral("/script-error")))));
}

void FramesPage(const Context& c, const Request&, Reply& reply) {
    reply.Html(QStringLiteral("<!DOCTYPE html>\n<html><head><title>Frames</title></head>"
                              "<frameset cols=\"50%,50%\"><frame name=\"left\" src=\"/frame-left\">"
                              "<frame name=\"right\" src=\"%1\"></frameset></html>")
                   .arg(c.other.Url(QStringLiteral("/frame-right"))));
}

void FrameLeftPage(const Context&, const Request&, Reply& reply) {
    reply.Html(Doc(QStringLiteral("Left Frame"), QStringLiteral("<p>Left</p>") + LoginForm()));
}

void FrameRightPage(const Context&, const Request&, Reply& reply) {
    reply.Html(
        Doc(QStringLiteral("Right Frame"),
            QStringLiteral("<p>Right</p><form name=\"other\"><input type=\"text\" name=\"q\"></form>")));
}

void IFramesPage(const Context& c, const Request&, Reply& reply) {
    reply.Html(Doc(QStringLiteral("Inline Frames"),
                   QStringLiteral("<p>Top</p><a href=\"/plain\">top link</a>"
                                  "<iframe name=\"same\" src=\"/frame-left\"></iframe>"
                                  "<iframe name=\"cross\" src=\"%1\"></iframe>"
                                  "<iframe name=\"nest\" src=\"/frame-nest\"></iframe>")
                       .arg(c.other.Url(QStringLiteral("/frame-right")))));
}

void FrameNestPage(const Context&, const Request&, Reply& reply) {
    reply.Html(
        Doc(QStringLiteral("Nest"), QStringLiteral("<a href=\"/plain\">nested link</a>"
                                                   "<iframe name=\"inner\" src=\"/frame-left\"></iframe>")));
}

// ----- windows --------------------------------------------------------------------------------

void PopupAutoPage(const Context&, const Request&, Reply& reply) {
    reply.Html(Doc(QStringLiteral("Pop-up at load"),
                   QStringLiteral("<p>This page opens a window by itself.</p>"),
                   QStringLiteral("<script>window.addEventListener('load', function() {"
                                  " window.open('/popup-target', '_blank', 'width=300,height=200'); });"
                                  "</script>")));
}

void PopupThreePage(const Context&, const Request&, Reply& reply) {
    reply.Html(
        Doc(QStringLiteral("Three pop-ups at load"),
            QStringLiteral("<p>This page opens three windows by itself.</p>"),
            QStringLiteral("<script>window.addEventListener('load', function() {"
                           " for (var n = 1; n <= 3; n++)"
                           "  window.open('/popup-target?n=' + n, '_blank', 'width=300,height=200'); });"
                           "</script>")));
}

void PopupClickPage(const Context&, const Request&, Reply& reply) {
    reply.Html(
        Doc(QStringLiteral("Pop-up on click"),
            QStringLiteral("<button id=\"open\" style=\"position:absolute;left:10px;top:10px;"
                           "width:200px;height:60px\" onclick=\"window.open('/popup-target')\">Open</button>"
                           "<a id=\"blank\" style=\"position:absolute;left:10px;top:100px\" "
                           "href=\"/popup-target\" target=\"_blank\">Open in a new window</a>")));
}

void PopupTargetPage(const Context&, const Request&, Reply& reply) {
    reply.Html(
        Doc(QStringLiteral("Pop-up Target"),
            QStringLiteral(
                "<p>A new window.</p><button id=\"close\" onclick=\"window.close()\">Close</button>")));
}

// ----- timing, errors and other content -------------------------------------------------------

void SlowPage(const Context&, const Request& r, Reply& reply) {
    bool ok = false;
    int ms = r.param(QStringLiteral("ms")).toInt(&ok);
    if (!ok) ms = 3000;
    std::this_thread::sleep_for(std::chrono::milliseconds(qBound(0, ms, 60000)));
    reply.Html(Doc(QStringLiteral("Slow Page"), QStringLiteral("<p>Finally.</p>")));
}

void RedirectPage(const Context&, const Request&, Reply& reply) {
    reply.Redirect(QStringLiteral("/plain"), 302);
}

void MissingPage(const Context&, const Request&, Reply& reply) {
    reply.status = 404;
    reply.Html(
        Doc(QStringLiteral("Not Found"), QStringLiteral("<h1>Not Found</h1><p>No such page here.</p>")));
}

void BrokenPage(const Context&, const Request&, Reply& reply) {
    reply.status = 500;
    reply.Html(Doc(QStringLiteral("Server Error"), QStringLiteral("<h1>Internal Server Error</h1>")));
}

QByteArray MakePdf() {
    // A valid one-page PDF with a correct cross-reference table.
    const QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 200] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length 44 >>\nstream\nBT /F1 18 Tf 40 100 Td (Test document) Tj ET\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    };
    QByteArray pdf = "%PDF-1.4\n";
    QList<int> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets.append(int(pdf.size()));
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const int xref = int(pdf.size());
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (int offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

void PdfPage(const Context&, const Request&, Reply& reply) {
    static const QByteArray pdf = MakePdf();
    reply.body = pdf;
    reply.contentType = "application/pdf";
}

void DotImage(const Context&, const Request&, Reply& reply) {
    static const unsigned char gif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80,
                                        0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xff, 0xff, 0x21, 0xf9, 0x04,
                                        0x01, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x01,
                                        0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3b};
    reply.body = QByteArray(reinterpret_cast<const char*>(gif), sizeof gif);
    reply.contentType = "image/gif";
}

void GeneratedPageRoute(const Context&, const Request& r, Reply& reply) {
    bool ok = false;
    int n = r.param(QStringLiteral("n")).toInt(&ok);
    if (!ok || n < 0) n = 1000;
    reply.Html(TestSites::GeneratedPage(qMin(n, 1000000)));
}

// ----- the route table: add pages here --------------------------------------------------------

enum Origin { MainOrigin = 1, OtherOrigin = 2, BothOrigins = 3 };

struct Route {
    const char* method;
    const char* path;
    Origin origin;
    Page page;
    const char* about;
};

// ----- everyday pages ------------------------------------------------------------------------

void DownloadRoute(const Context&, const Request& r, Reply& reply) {
    const QString name = r.param(QStringLiteral("name")).isEmpty() ? QStringLiteral("data.bin")
                                                                   : r.param(QStringLiteral("name"));
    reply.body = TestSites::DownloadBytes(qBound(0, r.param(QStringLiteral("bytes")).toInt(), 64 << 20));
    reply.contentType = "application/octet-stream";
    reply.AddHeader("Content-Disposition", QStringLiteral("attachment; filename=\"%1\"").arg(name).toUtf8());
    reply.trickleMs = r.param(QStringLiteral("trickle")).toInt();
}

void BasicAuthPage(const Context& c, const Request& r, Reply& reply) {
    const QString header = r.header(QStringLiteral("authorization"));
    const QString given = header.startsWith(QLatin1String("Basic "))
                              ? QString::fromUtf8(QByteArray::fromBase64(header.mid(6).toLatin1()))
                              : QString();
    {
        std::lock_guard lock(c.state.mutex);
        c.state.signIns << given;
    }
    if (given ==
        QStringLiteral("%1:%2").arg(QLatin1String(TestSites::kUser), QLatin1String(TestSites::kPassword))) {
        reply.Html(Doc(QStringLiteral("Bramble Vault"), QStringLiteral("<h1>The vault is open.</h1>")));
        return;
    }
    reply.status = 401;
    reply.AddHeader("WWW-Authenticate", "Basic realm=\"Bramble Vault\"");
    reply.Html(Doc(QStringLiteral("Not Signed In"), QStringLiteral("<h1>Not signed in.</h1>")));
}

void HangOncePage(const Context& c, const Request& r, Reply& reply) {
    const QString key = r.param(QStringLiteral("key"));
    {
        std::lock_guard lock(c.state.mutex);
        if (!c.state.hung.contains(key)) {
            c.state.hung << key;
            reply.Html(Doc(QStringLiteral("Busy"),
                           QStringLiteral("<p>Busy for ever.</p><script>for (;;) {}</script>")));
            return;
        }
    }
    reply.Redirect(QStringLiteral("/login"));
}

void AskPermissionPage(const Context&, const Request&, Reply& reply) {
    reply.Html(
        Doc(QStringLiteral("Asking"), QStringLiteral("<p>May I?</p><script>"
                                                     "Notification.requestPermission().then(function (p) {"
                                                     " document.title = 'Answer ' + p; });</script>")));
}

const Route kRoutes[] = {
    {"GET", "/", BothOrigins, IndexPage, "this index"},
    {"GET", "/plain", BothOrigins, PlainPage, "links, images (one broken), a script link, a button"},
    {"GET", "/login", MainOrigin, LoginPage, "login form: list, user, password, submit"},
    {"POST", "/login", MainOrigin, LoginPost, "checks the login; sets the session cookie"},
    {"GET", "/login-onsubmit", MainOrigin, LoginOnSubmitPage, "login form with an inline onsubmit"},
    {"GET", "/login-strict", MainOrigin, LoginStrictPage, "login form whose refusal answers 401"},
    {"POST", "/login-strict", MainOrigin, LoginStrictPost,
     "checks the login; 401 with the form when refused"},
    {"GET", "/welcome", MainOrigin, WelcomePage, "after login: Accounts and Sign Out links"},
    {"GET", "/after/anchor", MainOrigin, AfterLoginPage,
     "after login: \"My Accounts\" and \" accounts \" links"},
    {"GET", "/after/button", MainOrigin, AfterLoginPage, "after login: an \"Accounts\" button"},
    {"GET", "/after/image", MainOrigin, AfterLoginPage, "after login: an image button \"Go!\""},
    {"GET", "/after/list", MainOrigin, AfterLoginPage, "after login: a list with an \"Accounts\" option"},
    {"GET", "/signed-in", MainOrigin, SignedInPage, "no form, a Sign Out link (looks logged in)"},
    {"GET", "/no-login", MainOrigin, NoLoginPage, "no form and no Sign Out link"},
    {"GET", "/accounts", MainOrigin, AccountsPage, "a page behind the login"},
    {"GET", "/logout", MainOrigin, LogoutPage, "ends the session"},
    {"GET", "/echo", MainOrigin, EchoPage, "input/change listeners echo what is typed"},
    {"GET", "/script-error", BothOrigins, ScriptErrorPage, "a script error at load"},
    {"GET", "/framed-errors", MainOrigin, FramedErrorsPage, "script errors in two frames, none on top"},
    {"GET", "/frames", MainOrigin, FramesPage, "frameset: same-origin left, cross-origin right"},
    {"GET", "/frame-left", BothOrigins, FrameLeftPage, "a frame holding the login form"},
    {"GET", "/frame-right", BothOrigins, FrameRightPage, "a frame with a small form"},
    {"GET", "/iframes", MainOrigin, IFramesPage, "same-origin, cross-origin and nested iframes"},
    {"GET", "/frame-nest", MainOrigin, FrameNestPage, "a frame holding another frame"},
    {"GET", "/popup-auto", MainOrigin, PopupAutoPage, "opens a window at load, without a click"},
    {"GET", "/popup-three", MainOrigin, PopupThreePage, "opens three windows at load (?n=1, 2, 3)"},
    {"GET", "/popup-click", MainOrigin, PopupClickPage, "opens windows on a click"},
    {"GET", "/popup-target", BothOrigins, PopupTargetPage, "the page of a new window; can close itself"},
    {"GET", "/slow", BothOrigins, SlowPage, "answers after ?ms= milliseconds (3000)"},
    {"GET", "/redirect", MainOrigin, RedirectPage, "302 to /plain"},
    {"GET", "/missing", MainOrigin, MissingPage, "404 with a page"},
    {"GET", "/broken", MainOrigin, BrokenPage, "500 with a page"},
    {"GET", "/doc.pdf", MainOrigin, PdfPage, "a one-page PDF"},
    {"GET", "/img/dot.gif", BothOrigins, DotImage, "a 1x1 image"},
    {"GET", "/generated", MainOrigin, GeneratedPageRoute, "a page of ?n= elements (1000)"},
    {"GET", "/download", BothOrigins, DownloadRoute, "a file to save (?bytes=, ?name=, ?trickle=)"},
    {"GET", "/basic-auth", BothOrigins, BasicAuthPage, "behind the server's own sign-in box"},
    {"GET", "/hang-once", MainOrigin, HangOncePage, "the first visit of a ?key= hangs; then /login"},
    {"GET", "/ask-permission", BothOrigins, AskPermissionPage, "asks leave to show notifications"},
};

void IndexPage(const Context&, const Request&, Reply& reply) {
    QString list;
    for (const Route& route : kRoutes) {
        if (QLatin1String(route.method) != QLatin1String("GET")) continue;
        list += QStringLiteral("<li><a href=\"%1\">%1</a> %2</li>")
                    .arg(QLatin1String(route.path), QString::fromUtf8(route.about).toHtmlEscaped());
    }
    reply.Html(Doc(QStringLiteral("Test Sites"), QStringLiteral("<ul>") + list + QStringLiteral("</ul>")));
}

} // namespace

TestSites::TestSites(int port, int otherPort) : m_state(std::make_shared<State>()) {
    for (const Route& route : kRoutes) {
        for (Origin origin : {MainOrigin, OtherOrigin}) {
            if (!(route.origin & origin)) continue;
            SiteServer& server = origin == MainOrigin ? m_main : m_other;
            std::shared_ptr<State> state = m_state;
            const Page page = route.page;
            const SiteServer* main = &m_main;
            const SiteServer* other = &m_other;
            server.Route(QLatin1String(route.method), QLatin1String(route.path),
                         [state, page, main, other](const Request& r, Reply& reply) {
                             page(Context{*state, *main, *other}, r, reply);
                         });
        }
    }
    m_ok = m_main.Start(port) && m_other.Start(otherPort);
}

TestSites::~TestSites() {
    m_main.Stop();
    m_other.Stop();
}

void TestSites::AddPage(const QString& path, const QString& html) {
    m_main.Page(path, html.toUtf8());
    m_other.Page(path, html.toUtf8());
}

QStringList TestSites::AcceptedLogins() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->accepted;
}

QStringList TestSites::RefusedLogins() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->refused;
}

QStringList TestSites::SignInAttempts() const {
    std::lock_guard lock(m_state->mutex);
    return m_state->signIns;
}

QByteArray TestSites::DownloadBytes(int bytes) {
    QByteArray data(bytes, Qt::Uninitialized);
    for (int i = 0; i < bytes; ++i)
        data[i] = char((i * 7 + i / 251) & 0xff);
    return data;
}

QString TestSites::GeneratedPage(int elements) {
    // Rows of a link, a text field and a one-option list in a div (5 elements), grouped by 40
    // rows into forms (1 element), padded with spans to exactly `elements` body descendants.
    QString body;
    body.reserve(elements * 60);
    int count = 0;
    int row = 0;
    while (count + 6 + 5 <= elements) {
        body += QStringLiteral("<form name=\"g%1\" action=\"/generated\">").arg(row / 40);
        ++count;
        for (int i = 0; i < 40 && count + 5 <= elements; ++i, ++row) {
            body +=
                QStringLiteral("<div><a href=\"/g/%1\">Item %1</a> <input type=\"text\" name=\"f%1\" "
                               "value=\"v%1\"><select name=\"s%1\"><option>One %1</option></select></div>\n")
                    .arg(row);
            count += 5;
        }
        body += QStringLiteral("</form>");
    }
    while (count < elements) {
        body += QStringLiteral("<span>s</span>");
        ++count;
    }
    return Doc(QStringLiteral("Generated %1").arg(elements), body);
}

TestSites& SharedSites() {
    static TestSites sites;
    return sites;
}

} // namespace sites
