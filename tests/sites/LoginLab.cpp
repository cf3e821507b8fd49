#include "sites/LoginLab.h"

#include <mutex>
#include <QJsonDocument>
#include <QJsonObject>

namespace sites {

struct LoginLab::State {
    std::mutex mutex;
    QList<Sent> sent;
    int port = 0;
};

namespace {

QString Doc(const QString& title, const QString& body, const QString& head = {}) {
    return QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%1</title>%2</head>"
                          "<body>%3</body></html>")
        .arg(title, head, body);
}

// A plain login form posting to `to`; `button` is the markup of its control.
QString Form(const QString& to, const QString& button = QStringLiteral("<button>Log in</button>"),
             const QString& user = QStringLiteral("<input name=\"user\">")) {
    return QStringLiteral(
               "<form method=\"post\" action=\"%1\">%2<input type=\"password\" name=\"pass\">%3</form>")
        .arg(to, user, button);
}

struct Html {
    const char* name;
    QString (*page)(const QString& port);
    int status = 200;
};

// The pages, each written for one thing sites do. `port` is the lab's, for addresses of other
// origins (login.bank.localhost) and of another site (elsewhere.localhost).
const Html kPages[] = {
    {"home", [](const QString&) { return Doc("Home", "<p>Nothing to sign in to.</p>"); }},
    {"plain",
     [](const QString&) {
         return Doc(
             "Log in",
             "<h1>Sign in or register</h1><form method=\"post\" action=\"/plain/got\">"
             "<label for=\"e\">Email</label><input id=\"e\" type=\"email\" name=\"email\" "
             "autocomplete=\"username\"><label for=\"p\">Password</label><input id=\"p\" type=\"password\" "
             "name=\"password\" autocomplete=\"current-password\"><label><input type=\"checkbox\" "
             "name=\"remember\" value=\"1\"> Remember me</label><input type=\"hidden\" name=\"csrf\" "
             "value=\"t0k3n\"><a href=\"/plain/forgot\">Forgot your password?</a><button>Log in</button>"
             "</form>");
     }},
    // State kept from input events only, the button enabled once both are typed, sent by fetch.
    {"framework",
     [](const QString&) {
         return Doc(
             "App", "<div id=\"app\"></div>",
             "<script>addEventListener('DOMContentLoaded', function () {\n"
             "var s = { u: '', p: '' };\n"
             "app.innerHTML = '<form id=f><input id=u placeholder=\"Email or phone\"><input id=p "
             "type=password placeholder=Password><button id=go disabled>Sign in</button></form>';\n"
             "function render() { go.disabled = !(s.u && s.p); }\n"
             "u.addEventListener('input', function (e) { s.u = e.target.value; "
             "Promise.resolve().then(render); });\n"
             "p.addEventListener('input', function (e) { s.p = e.target.value; "
             "Promise.resolve().then(render); });\n"
             "f.addEventListener('submit', function (e) { e.preventDefault();\n"
             " fetch('/framework/got', { method: 'POST', headers: { 'Content-Type': 'application/json' },\n"
             "  body: JSON.stringify({ login: s.u, secret: s.p }) }).then(function () { location.href = "
             "'/framework/got'; }); });\n"
             "});</script>");
     }},
    // Answered without a new page: the script moves the address on with pushState.
    {"spa",
     [](const QString&) {
         return Doc(
             "Sign in",
             "<form id=\"f\"><input name=\"user\" autocomplete=\"username\"><input type=\"password\" "
             "name=\"pass\"><button>Sign in</button></form>"
             "<script>f.addEventListener('submit', function (e) { e.preventDefault();\n"
             "fetch('/spa/got', { method: 'POST', body: new URLSearchParams(new FormData(f)) })\n"
             ".then(function () { history.pushState({}, '', '/spa/home');\n"
             "document.body.innerHTML = '<h1>Home</h1><a href=\"/logout\">Sign out</a>'; }); });</script>");
     }},
    // A search form at load, the login form a moment later.
    {"late",
     [](const QString&) {
         return Doc("Account",
                    "<form action=\"/late/search\"><input type=\"search\" name=\"q\"></form><p>Loading...</p>"
                    "<script>setTimeout(function () { document.body.insertAdjacentHTML('beforeend', "
                    "'<form method=post action=/late/got><input name=user><input type=password name=pass>"
                    "<input type=submit value=\"Sign in\"></form>'); }, 1500);</script>");
     }},
    // Built on animation frames, which an engine draws only for a page on screen.
    {"frames",
     [](const QString&) {
         return Doc("Drawn",
                    "<script>var n = 0; function step() { if (++n < 4) return requestAnimationFrame(step);\n"
                    "document.body.insertAdjacentHTML('beforeend', '<form method=post action=/frames/got>"
                    "<input name=user><input type=password name=pass><button>Sign in</button></form>'); }\n"
                    "requestAnimationFrame(step);</script>");
     }},
    // No <form>: loose inputs and a div the page listens to.
    {"formless",
     [](const QString&) {
         return Doc(
             "Welcome back",
             "<header><input type=\"search\" placeholder=\"Search\"></header><div class=\"box\">"
             "<input id=\"u\" aria-label=\"Username\"><input id=\"p\" type=\"password\" "
             "aria-label=\"Password\"><div role=\"button\" tabindex=\"0\" id=\"go\">Sign in</div></div>"
             "<script>go.addEventListener('click', function () { var x = new XMLHttpRequest();\n"
             "x.open('POST', '/formless/got'); x.setRequestHeader('Content-Type', "
             "'application/x-www-form-urlencoded');\n"
             "x.onload = function () { location.href = '/formless/got'; };\n"
             "x.send('u=' + encodeURIComponent(u.value) + '&p=' + encodeURIComponent(p.value)); "
             "});</script>");
     }},
    // No submit button (Enter would send nothing): a span is the control.
    {"span",
     [](const QString&) {
         return Doc("Log in", "<form id=\"f\" method=\"post\" action=\"/span/got\"><input name=\"user\">"
                              "<input type=\"password\" name=\"pass\"><p><span class=\"btn\" id=\"go\">Log in"
                              "</span></p></form><script>go.onclick = function () { f.submit(); };</script>");
     }},
    {"continue",
     [](const QString&) { return Doc("Sign in", Form("/continue/got", "<button>Continue</button>")); }},
    // A submit control without words: Enter in the password field sends the form.
    {"enter",
     [](const QString&) {
         return Doc("Sign in", Form("/enter/got", "<input type=\"image\" src=\"/none.gif\" alt=\"\">"));
     }},
    // The field for the user name is known by its hint, not by its place.
    {"hints",
     [](const QString&) {
         return Doc("Sign in", "<form method=\"post\" action=\"/hints/got\"><input name=\"company\" "
                               "placeholder=\"Company\"><input name=\"f1\" autocomplete=\"username\"><input "
                               "type=\"password\" name=\"f2\" autocomplete=\"current-password\"><button "
                               "type=\"submit\">Sign in</button></form>");
     }},
    // The same form for small screens (hidden) and large ones.
    {"twins",
     [](const QString&) {
         return Doc("Log in", "<div style=\"display:none\">" + Form("/twins/got?v=small") + "</div><div>" +
                                  Form("/twins/got?v=large") + "</div>");
     }},
    {"cookies",
     [](const QString&) {
         return Doc("Log in",
                    "<div style=\"position:fixed;inset:0;background:#fff;z-index:9\"><p>We use "
                    "cookies.</p><button onclick=\"this.parentNode.remove()\">Accept all</button></div>" +
                        Form("/cookies/got"));
     }},
    {"inframe",
     [](const QString&) { return Doc("Portal", "<p>Portal</p><iframe src=\"/inframe/inner\"></iframe>"); }},
    {"subframe",
     [](const QString& port) {
         return Doc(
             "Portal",
             QStringLiteral("<p>Portal</p><iframe src=\"http://login.bank.localhost:%1/subframe/login\" "
                            "width=\"400\" height=\"300\"></iframe>")
                 .arg(port));
     }},
    {"subframe/login", [](const QString&) { return Doc("Sign in", Form("/subframe/got")); }},
    {"inframe/inner", [](const QString&) { return Doc("Inner", Form("/inframe/got")); }},
    {"shadow",
     [](const QString&) {
         return Doc("Components", "<login-box></login-box>",
                    "<script>customElements.define('login-box', class extends HTMLElement { constructor() {"
                    " super(); this.attachShadow({ mode: 'open' }).innerHTML = '<form method=post "
                    "action=/shadow/got><input name=user><input type=password name=pass><button>Sign in"
                    "</button></form>'; } });</script>");
     }},
    // The user name first, the password on the next page.
    {"steps",
     [](const QString&) {
         return Doc("Sign in", "<form method=\"post\" action=\"/steps/next\"><input type=\"email\" "
                               "name=\"identifier\" autocomplete=\"username\"><button>Next</button></form>");
     }},
    // The user name first, then the password field shown on the same page.
    {"reveal",
     [](const QString&) {
         return Doc(
             "Sign in",
             "<form id=\"f\" method=\"post\" action=\"/reveal/got\"><input type=\"email\" name=\"email\" "
             "autocomplete=\"username\"><div id=\"pw\" hidden><input type=\"password\" name=\"pass\">"
             "</div><button id=\"b\">Continue</button></form><script>f.onsubmit = function (e) {\n"
             "if (!pw.hidden) return; e.preventDefault();\n"
             "setTimeout(function () { pw.hidden = false; b.textContent = 'Sign in'; }, 300); };</script>");
     }},
    // The password field shows once something is typed as the user name.
    {"typing",
     [](const QString&) {
         return Doc("Sign in",
                    "<form method=\"post\" action=\"/typing/got\"><input name=\"user\" id=\"u\">"
                    "<input type=\"password\" name=\"pass\" id=\"p\" style=\"display:none\">"
                    "<button>Sign in</button></form><script>u.addEventListener('input', function () {"
                    " p.style.display = u.value.length > 2 ? '' : 'none'; });</script>");
     }},
    // A form the markup closes early (inside a table): its fields are outside it, owned by it.
    {"quirk",
     [](const QString&) {
         return Doc("Log in",
                    "<table><form method=\"post\" action=\"/quirk/got\"><tr><td><input name=\"user\">"
                    "</td></tr><tr><td><input type=\"password\" name=\"pass\"></td></tr><tr><td>"
                    "<input type=\"submit\" value=\"Log in\"></td></tr></form></table>");
     }},
    // A frame of the site whose document has no body (a picture).
    {"picture",
     [](const QString&) {
         return Doc("Log in", "<iframe src=\"/picture/logo.svg\" width=\"80\" height=\"40\"></iframe>" +
                                  Form("/picture/got"));
     }},
    // A sign-up form before the login form.
    {"both",
     [](const QString&) {
         return Doc(
             "Welcome",
             "<form method=\"post\" action=\"/both/signup\"><input name=\"name\" placeholder=\"Full name\">"
             "<input type=\"email\" name=\"email\"><input type=\"password\" name=\"pass\"><input "
             "type=\"password\" name=\"pass2\" placeholder=\"Repeat password\"><button>Create account"
             "</button></form>" +
                 Form("/both/got"));
     }},
    // A search box, a newsletter box and the login form.
    {"mixed",
     [](const QString&) {
         return Doc("Shop",
                    "<form action=\"/mixed/search\"><input name=\"q\"><button>Search</button></form>"
                    "<form method=\"post\" action=\"/mixed/news\"><input type=\"email\" name=\"email\" "
                    "placeholder=\"Your email\"><button>Subscribe</button></form>" +
                        Form("/mixed/got", "<button>Sign in</button>"));
     }},
    // Sent with an error status, as some sites do.
    {"status401", [](const QString&) { return Doc("Authorization required", Form("/status401/got")); }, 401},
    // Controls whose names hide the form's own properties.
    {"clobber",
     [](const QString&) {
         return Doc("Log in",
                    "<form id=\"f\" name=\"f\" method=\"post\" action=\"/clobber/got\"><input "
                    "type=\"hidden\" name=\"id\" value=\"1\"><input type=\"hidden\" name=\"action\" "
                    "value=\"x\"><input type=\"hidden\" name=\"elements\"><input type=\"hidden\" "
                    "name=\"getAttribute\"><input type=\"hidden\" name=\"tagName\"><input name=\"user\">"
                    "<input type=\"password\" name=\"pass\"><button>Log in</button></form>");
     }},

    // ----- pages that are no login
    {"signup",
     [](const QString&) {
         return Doc("Join",
                    "<form method=\"post\" action=\"/signup/got\"><input type=\"email\" name=\"email\">"
                    "<input type=\"password\" name=\"pass\"><button>Sign up</button></form>");
     }},
    {"newpass",
     [](const QString&) {
         return Doc("Create your account",
                    "<form method=\"post\" action=\"/newpass/got\"><input type=\"email\" name=\"email\" "
                    "autocomplete=\"username\"><input type=\"password\" name=\"pass\" "
                    "autocomplete=\"new-password\"><button>Continue</button></form>");
     }},
    {"change",
     [](const QString&) {
         return Doc("Password",
                    "<form method=\"post\" action=\"/change/got\"><input type=\"password\" "
                    "name=\"old\"><input type=\"password\" name=\"new1\"><input type=\"password\" "
                    "name=\"new2\"><button>Save</button></form>");
     }},
    {"confirm",
     [](const QString&) {
         return Doc("Register", "<form method=\"post\" action=\"/confirm/got\"><input name=\"user\"><input "
                                "type=\"password\" name=\"pass\"><label>Confirm password <input "
                                "type=\"password\" name=\"again\"></label><button>Continue</button></form>");
     }},
    {"reset",
     [](const QString&) {
         return Doc("Forgot password",
                    "<form method=\"post\" action=\"/reset/got\"><input type=\"email\" name=\"email\" "
                    "autocomplete=\"email\"><button>Reset password</button></form>");
     }},
    {"news",
     [](const QString&) {
         return Doc("News", "<form method=\"post\" action=\"/news/got\"><input type=\"email\" name=\"email\">"
                            "<button>Subscribe</button></form><form action=\"/news/search\"><input "
                            "type=\"search\" name=\"q\"></form>");
     }},
    {"crossframe",
     [](const QString& port) {
         return QStringLiteral(
                    "<!DOCTYPE html>\n<html><head><title>Frames</title></head><frameset rows=\"100%\">"
                    "<frame src=\"http://elsewhere.localhost:%1/crossframe/inner\"></frameset></html>")
             .arg(port);
     }},
    {"forgot",
     [](const QString&) {
         return Doc("Forgot your password?",
                    "<form method=\"post\" action=\"/forgot/got\"><input "
                    "type=\"email\" name=\"email\"><button>Continue</button></form>");
     }},
    {"register",
     [](const QString&) {
         return Doc("Create your account", "<form method=\"post\" action=\"/register/got\"><input "
                                           "type=\"email\" name=\"email\"><input type=\"password\" "
                                           "name=\"pass\"><button>Continue</button></form>");
     }},
    {"crossframe/inner", [](const QString&) { return Doc("Inner", Form("/crossframe/got")); }},
    {"payment",
     [](const QString&) {
         return Doc("Checkout", "<form method=\"post\" action=\"/payment/got\"><input type=\"email\" "
                                "name=\"email\"><input name=\"card\" autocomplete=\"cc-number\"><input "
                                "name=\"exp\" placeholder=\"MM / YY\"><input type=\"password\" name=\"cvc\">"
                                "<button>Pay</button></form>");
     }},
    {"away/there", [](const QString&) { return Doc("Log in", Form("/away/got")); }},
};

const QString kWelcome = Doc("Welcome", "<h1>Welcome</h1><a href=\"/logout\">Sign out</a>");

} // namespace

const QList<LoginLab::Page>& LoginLab::Layouts() {
    static const QList<Page> pages = {
        {"plain",
         "email type, hints, labels, remember me, CSRF field, a <button>",
         {"email=USER", "password=PASS", "csrf=t0k3n"},
         "got"},
        {"framework",
         "state from input events, button enabled when filled, fetch",
         {"login=USER", "secret=PASS"},
         "got"},
        {"spa", "fetch, then pushState: no new page", {"user=USER", "pass=PASS"}, "got"},
        {"late", "the login form built 1.5 s after the load", {"user=USER", "pass=PASS"}, "got"},
        {"frames", "the login form built on animation frames", {"user=USER", "pass=PASS"}, "got"},
        {"formless", "no <form>; a div with role button", {"u=USER", "p=PASS"}, "got"},
        {"span", "no submit button; a span the page listens to", {"user=USER", "pass=PASS"}, "got"},
        {"continue", "a <button>Continue</button>", {"user=USER", "pass=PASS"}, "got"},
        {"enter", "a wordless image button: Enter", {"user=USER", "pass=PASS"}, "got"},
        {"hints",
         "the user field known by autocomplete, after another field",
         {"company=", "f1=USER", "f2=PASS"},
         "got"},
        {"twins", "a hidden and a shown copy of the form", {"v=large", "user=USER", "pass=PASS"}, "got"},
        {"cookies", "a cookie banner over the page", {"user=USER", "pass=PASS"}, "got"},
        {"inframe", "the form in an iframe of the site", {"user=USER", "pass=PASS"}, "got"},
        {"subframe",
         "the form in an iframe of another origin of the site",
         {"user=USER", "pass=PASS"},
         "got"},
        {"shadow", "the form in an open shadow root", {"user=USER", "pass=PASS"}, "got"},
        {"steps",
         "the user name, then the password on the next page",
         {"identifier=USER", "pass=PASS"},
         "got"},
        {"reveal",
         "the user name, then the password shown on the same page",
         {"email=USER", "pass=PASS"},
         "got"},
        {"typing", "the password field shown once the user name is typed", {"user=USER", "pass=PASS"}, "got"},
        {"quirk",
         "a form closed early by its table: its fields outside it",
         {"user=USER", "pass=PASS"},
         "got"},
        {"picture", "a frame of the site without a document body", {"user=USER", "pass=PASS"}, "got"},
        {"both", "a sign-up form before the login form", {"user=USER", "pass=PASS"}, "got"},
        {"mixed", "search box, newsletter box, login form", {"user=USER", "pass=PASS"}, "got"},
        {"status401", "the login page sent with status 401", {"user=USER", "pass=PASS"}, "got"},
        {"clobber",
         "controls named id, action, elements, getAttribute, tagName",
         {"id=1", "action=x", "elements=", "getAttribute=", "tagName=", "user=USER", "pass=PASS"},
         "got"},
    };
    return pages;
}

const QList<LoginLab::Page>& LoginLab::WrongPages() {
    static const QList<Page> pages = {
        {"signup", "email, password, \"Sign up\"", {}, ""},
        {"newpass", "a password marked new-password", {}, ""},
        {"change", "three password fields", {}, ""},
        {"confirm", "a field to confirm the password", {}, ""},
        {"reset", "an email field and \"Reset password\"", {}, ""},
        {"news", "a newsletter box and a search box", {}, ""},
        {"crossframe", "the login form in a frame of another site", {}, ""},
        {"forgot", "a lost-password page: an email field and \"Continue\"", {}, ""},
        {"payment", "a card payment: email, card number, expiry, security code", {}, ""},
        {"register", "a sign-up page whose control says \"Continue\"", {}, ""},
        {"away", "a redirect to a login page of another site", {}, ""},
    };
    return pages;
}

LoginLab::LoginLab() : m_state(std::make_shared<State>()) {
    std::shared_ptr<State> state = m_state;
    for (const Html& html : kPages) {
        const Html page = html;
        m_server.Route(QStringLiteral("GET"), QLatin1Char('/') + QLatin1String(page.name),
                       [page, state](const Request&, Reply& reply) {
                           reply.status = page.status;
                           reply.Html(page.page(QString::number(state->port)));
                       });
    }
    m_server.Route(
        QStringLiteral("GET"), QStringLiteral("/picture/logo.svg"), [](const Request&, Reply& reply) {
            reply.body =
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"80\" height=\"40\"><rect width=\"80\" "
                "height=\"40\" fill=\"teal\"/></svg>";
            reply.contentType = "image/svg+xml";
        });
    m_server.Route(QStringLiteral("GET"), QStringLiteral("/away"), [state](const Request&, Reply& reply) {
        reply.Redirect(QStringLiteral("http://elsewhere.localhost:%1/away/there").arg(state->port));
    });
    // Whatever is sent anywhere else is recorded.
    const auto record = [state](const Request& r, Reply& reply) {
        Sent sent{r.path, r.method, {}};
        for (auto it = r.params.cbegin(); it != r.params.cend(); ++it)
            sent.fields.insert(it.key(), it.value());
        if (r.header(QStringLiteral("content-type")).contains(QLatin1String("json"))) {
            const QJsonObject o = QJsonDocument::fromJson(r.body).object();
            for (auto it = o.begin(); it != o.end(); ++it)
                sent.fields.insert(it.key(), it.value().toVariant().toString());
        }
        {
            std::lock_guard lock(state->mutex);
            state->sent.append(sent);
        }
        if (r.path == QLatin1String("/steps/next")) {
            reply.Html(
                Doc("Password",
                    QStringLiteral("<form method=\"post\" action=\"/steps/got\"><input type=\"hidden\" "
                                   "name=\"identifier\" value=\"%1\"><p>%1</p><input type=\"password\" "
                                   "name=\"pass\"><button>Sign in</button></form>")
                        .arg(r.param(QStringLiteral("identifier")).toHtmlEscaped())));
            return;
        }
        reply.Html(kWelcome);
    };
    m_server.SetFallback(record);
    m_ok = m_server.Start();
    state->port = m_server.port();
}

LoginLab::~LoginLab() {
    m_server.Stop();
}

QString LoginLab::Url(const QString& path, const QString& host) const {
    return QStringLiteral("http://%1:%2%3").arg(host).arg(m_server.port()).arg(path);
}

void LoginLab::Forget() {
    std::lock_guard lock(m_state->mutex);
    m_state->sent.clear();
}

QList<LoginLab::Sent> LoginLab::Received(const QString& name) const {
    const QString prefix = QLatin1Char('/') + name + QLatin1Char('/');
    std::lock_guard lock(m_state->mutex);
    QList<Sent> out;
    for (const Sent& s : m_state->sent)
        if (s.path.startsWith(prefix)) out << s;
    return out;
}

QString LoginLab::Describe(const QString& name) const {
    QStringList lines;
    for (const Sent& s : Received(name)) {
        QStringList fields;
        for (auto it = s.fields.cbegin(); it != s.fields.cend(); ++it)
            fields << it.key() + QLatin1Char('=') + it.value();
        lines << s.method + QLatin1Char(' ') + s.path + QLatin1Char(' ') + fields.join(QLatin1Char(' '));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace sites
