#include "sites/TestSites.h"

#include <mutex>
#include <QJsonDocument>
#include <QJsonObject>

namespace sites {

struct LoginLab::State {
    std::mutex mutex;
    QStringList sent;
};

namespace {

using Page = LoginLab::Page;
const QStringList kLogin{"user=USER", "pass=PASS"};

// Bodies share a skeleton: %A opens a form posting to /<name>/got, %U is a user and a password
// field, %F a whole plain login form (%A%U and a button), %P the lab's port. Every page does one
// thing sites do.
const Page kPages[] = {
    // clang-format off
    {"home", nullptr, "Home", {}, "<p>Nothing to sign in to.</p>"},
    // ----- login layouts
    {"plain", "email type, hints, labels, remember me, CSRF field, a <button>", "Log in",
     {"email=USER", "password=PASS", "csrf=t0k3n"},
     R"(<h1>Sign in or register</h1>%A<label for=e>Email</label><input id=e type=email name=email autocomplete=username>
<label for=p>Password</label><input id=p type=password name=password autocomplete=current-password>
<label><input type=checkbox name=remember value=1> Remember me</label><input type=hidden name=csrf value=t0k3n>
<a href=/plain/forgot>Forgot your password?</a><button>Log in</button></form>)"},
    {"framework", "state from input events, button enabled when filled, fetch", "App",
     {"login=USER", "secret=PASS"},
     R"(<div id=app></div><script>addEventListener('DOMContentLoaded', function () { var s = { u: '', p: '' };
app.innerHTML = '<form id=f><input id=u placeholder="Email or phone"><input id=p type=password placeholder=Password>' +
 '<button id=go disabled>Sign in</button></form>';
function render() { go.disabled = !(s.u && s.p); }
u.addEventListener('input', function (e) { s.u = e.target.value; Promise.resolve().then(render); });
p.addEventListener('input', function (e) { s.p = e.target.value; Promise.resolve().then(render); });
f.addEventListener('submit', function (e) { e.preventDefault(); fetch('/framework/got', { method: 'POST',
 headers: { 'Content-Type': 'application/json' }, body: JSON.stringify({ login: s.u, secret: s.p }) })
 .then(function () { location.href = '/framework/got'; }); }); });</script>)"},
    {"spa", "fetch, then pushState: no new page", "Sign in", kLogin,
     R"(<form id=f><input name=user autocomplete=username><input type=password name=pass><button>Sign in</button></form>
<script>f.addEventListener('submit', function (e) { e.preventDefault();
fetch('/spa/got', { method: 'POST', body: new URLSearchParams(new FormData(f)) }).then(function () {
history.pushState({}, '', '/spa/home'); document.body.innerHTML = '<h1>Home</h1><a href="/logout">Sign out</a>'; }); });</script>)"},
    {"late", "a search form at load, the login form 1.5 s later", "Account", kLogin,
     R"(<form action=/late/search><input type=search name=q></form><p>Loading...</p><script>setTimeout(function () {
document.body.insertAdjacentHTML('beforeend', '%A%U<input type=submit value="Sign in"></form>'); }, 1500);</script>)"},
    {"frames", "the login form built on animation frames (drawn only on screen)", "Drawn", kLogin,
     R"(<script>var n = 0; function step() { if (++n < 4) return requestAnimationFrame(step);
document.body.insertAdjacentHTML('beforeend', '%A%U<button>Sign in</button></form>'); } requestAnimationFrame(step);</script>)"},
    {"formless", "no <form>; a div with role button", "Welcome back", {"u=USER", "p=PASS"},
     R"(<header><input type=search placeholder=Search></header><div class=box><input id=u aria-label=Username>
<input id=p type=password aria-label=Password><div role=button tabindex=0 id=go>Sign in</div></div>
<script>go.addEventListener('click', function () { fetch('/formless/got', { method: 'POST', body: new URLSearchParams(
{ u: u.value, p: p.value }) }).then(function () { location.href = '/formless/got'; }); });</script>)"},
    {"span", "no submit button; a span the page listens to", "Log in", kLogin,
     "<form id=f method=post action=/span/got>%U<p><span class=btn id=go>Log in</span></p></form>"
     "<script>go.onclick = function () { f.submit(); };</script>"},
    {"continue", "a <button>Continue</button>", "Sign in", kLogin, "%A%U<button>Continue</button></form>"},
    {"enter", "a wordless image button: Enter", "Sign in", kLogin,
     "%A%U<input type=image src=/none.gif alt=''></form>"},
    {"hints", "the user field known by autocomplete, after another field", "Sign in",
     {"company=", "f1=USER", "f2=PASS"},
     "%A<input name=company placeholder=Company><input name=f1 autocomplete=username><input type=password name=f2 "
     "autocomplete=current-password><button type=submit>Sign in</button></form>"},
    {"twins", "a hidden and a shown copy of the form", "Log in", {"v=large", "user=USER", "pass=PASS"},
     "<div style='display:none'><form method=post action='/twins/got?v=small'>%U<button>Log in</button></form></div>"
     "<form method=post action='/twins/got?v=large'>%U<button>Log in</button></form>"},
    {"cookies", "a cookie banner over the page", "Log in", kLogin,
     "<div style='position:fixed;inset:0;background:#fff;z-index:9'><p>We use cookies.</p><button "
     "onclick='this.parentNode.remove()'>Accept all</button></div>%F"},
    {"inframe", "the form in an iframe of the site", "Portal", kLogin,
     "<p>Portal</p><iframe src=/inframe/inner></iframe>"},
    {"inframe/inner", nullptr, "Inner", {}, "%F"},
    {"subframe", "the form in an iframe of another origin of the site", "Portal", kLogin,
     "<p>Portal</p><iframe src='http://login.bank.localhost:%P/subframe/login' width=400 height=300></iframe>"},
    {"subframe/login", nullptr, "Sign in", {}, "%F"},
    {"shadow", "the form in an open shadow root", "Components", kLogin,
     R"(<login-box></login-box><script>customElements.define('login-box', class extends HTMLElement { constructor() {
super(); this.attachShadow({ mode: 'open' }).innerHTML = '%A%U<button>Sign in</button></form>'; } });</script>)"},
    {"steps", "the user name, then the password on the next page", "Sign in", {"identifier=USER", "pass=PASS"},
     "<form method=post action=/steps/next><input type=email name=identifier autocomplete=username>"
     "<button>Next</button></form>"},
    {"reveal", "the user name, then the password shown on the same page", "Sign in", {"email=USER", "pass=PASS"},
     R"(<form id=f method=post action=/reveal/got><input type=email name=email autocomplete=username>
<div id=pw hidden><input type=password name=pass></div><button id=b>Continue</button></form>
<script>f.onsubmit = function (e) { if (!pw.hidden) return; e.preventDefault();
setTimeout(function () { pw.hidden = false; b.textContent = 'Sign in'; }, 300); };</script>)"},
    {"typing", "the password field shown once the user name is typed", "Sign in", kLogin,
     R"(%A<input name=user id=u><input type=password name=pass id=p style="display:none"><button>Sign in</button></form>
<script>u.addEventListener('input', function () { p.style.display = u.value.length > 2 ? '' : 'none'; });</script>)"},
    {"quirk", "a form closed early by its table: its fields outside it", "Log in", kLogin,
     "<table>%A<tr><td><input name=user></td></tr><tr><td><input type=password name=pass></td></tr><tr><td><input "
     "type=submit value='Log in'></td></tr></form></table>"},
    {"picture", "a frame of the site without a document body", "Log in", kLogin,
     "<iframe src=/picture/logo.svg width=80 height=40></iframe>%F"},
    {"both", "a sign-up form before the login form", "Welcome", kLogin,
     "<form method=post action=/both/signup><input name=name placeholder='Full name'><input type=email name=email>"
     "<input type=password name=pass><input type=password name=pass2 placeholder='Repeat password'>"
     "<button>Create account</button></form>%F"},
    {"mixed", "search box, newsletter box, login form", "Shop", kLogin,
     "<form action=/mixed/search><input name=q><button>Search</button></form><form method=post action=/mixed/news>"
     "<input type=email name=email placeholder='Your email'><button>Subscribe</button></form>%A%U<button>Sign in</button></form>"},
    {"status401", "the login page sent with status 401", "Authorization required", kLogin, "%F", "", 401},
    {"clobber", "controls named id, action, elements, getAttribute, tagName", "Log in",
     {"id=1", "action=x", "elements=", "getAttribute=", "tagName=", "user=USER", "pass=PASS"},
     "<form id=f name=f method=post action=/clobber/got><input type=hidden name=id value=1><input type=hidden "
     "name=action value=x><input type=hidden name=elements><input type=hidden name=getAttribute><input type=hidden "
     "name=tagName>%U<button>Log in</button></form>"},
    {"passfirst", "the password field before the user field", "Password first", kLogin,
     "%A<p>Password <input type=password name=pass></p><p>User <input name=user></p><input type=submit value=OK></form>"},
    {"twopass", "a customer number in a password field, then the PIN", "Two passwords", kLogin,
     "%ACustomer number <input type=password name=user> PIN <input type=password name=pass><input type=submit "
     "value='Log in'></form>"},
    {"option", "a list whose option the Link chooses", "Option", {"realm=b", "user=USER", "pass=PASS"},
     "%A<select name=realm><option value=p>Personal<option value=b>Business<option value=v>Private</select>%U<input "
     "type=submit value='Sign In'></form>", "business"},
    {"imagefirst", "an image button before the fields, a checkbox after", "Image first", kLogin,
     "%A<input type=image name=go src=/none.gif alt='Sign in'>%U<label><input type=checkbox name=remember> Remember "
     "me</label></form>"},
    {"card", "a card number and PIN form before the login form", "Card", kLogin,
     "<form method=post action=/card/nowhere>Card <input name=card><input name=CAN> PIN <input type=password "
     "name=pin><input type=submit value='Sign In'></form>%A%U<input type=submit value='Sign In'></form>"},
    {"jsanchor", "a javascript: link that submits", "Script anchor", kLogin,
     "<form name=login method=post action=/jsanchor/got>%U<a href='javascript:submitLogin()'>Continue</a></form>"
     "<script>function submitLogin() { document.login.submit(); }</script>"},
    {"jsbutton", "a plain button whose handler submits", "Script button", kLogin,
     "<form name=login method=post action=/jsbutton/got>%U<input type=button value=Continue onclick='sendLogin()'>"
     "</form><script>function other() { return 0; }\nfunction sendLogin() { document.forms.login.submit(); }</script>"},
    {"emptybutton", "a plain button without words", "Empty button", kLogin,
     "%A%U<input type=button onclick='this.form.submit()'></form>"},
    {"onsubmit", "no control; the onsubmit handler marks the form and submits it", "Handler",
     {"user=USER", "pass=PASS", "from=onsubmit"},
     "<form method=post action=/onsubmit/got onsubmit='return sendIt(this)'>%U<input type=hidden name=from value=form>"
     "</form><script>function sendIt(f) { f.from.value = 'onsubmit'; f.submit(); return false; }</script>"},
    // ----- pages that are no login
    {"signup", "email, password, \"Sign up\"", "Join", {},
     "%A<input type=email name=email><input type=password name=pass><button>Sign up</button></form>"},
    {"newpass", "a password marked new-password", "Create your account", {},
     "%A<input type=email name=email autocomplete=username><input type=password name=pass "
     "autocomplete=new-password><button>Continue</button></form>"},
    {"change", "three password fields", "Password", {},
     "%A<input type=password name=old><input type=password name=new1><input type=password name=new2><button>Save"
     "</button></form>"},
    {"confirm", "a field to confirm the password", "Register", {},
     "%A%U<label>Confirm password <input type=password name=again></label><button>Continue</button></form>"},
    {"reset", "an email field and \"Reset password\"", "Forgot password", {},
     "%A<input type=email name=email autocomplete=email><button>Reset password</button></form>"},
    {"news", "a newsletter box and a search box", "News", {},
     "%A<input type=email name=email><button>Subscribe</button></form><form action=/news/search><input "
     "type=search name=q></form>"},
    {"crossframe", "the login form in a frame of another site", "Frames", {},
     "<frameset rows='100%'><frame src='http://elsewhere.localhost:%P/crossframe/inner'></frameset>"},
    {"crossframe/inner", nullptr, "Inner", {}, "%F"},
    {"forgot", "a lost-password page: an email field and \"Continue\"", "Forgot your password?", {},
     "%A<input type=email name=email><button>Continue</button></form>"},
    {"payment", "a card payment: email, card number, expiry, security code", "Checkout", {},
     "%A<input type=email name=email><input name=card autocomplete=cc-number><input name=exp placeholder='MM / YY'>"
     "<input type=password name=cvc><button>Pay</button></form>"},
    {"register", "a sign-up page whose control says \"Continue\"", "Create your account", {},
     "%A<input type=email name=email><input type=password name=pass><button>Continue</button></form>"},
    // Redirected to by /away.
    {"away", "a redirect to a login page of another site", "", {}, ""},
    {"away/there", nullptr, "Log in", {}, "%F"},
    // clang-format on
};

} // namespace

QList<Page> LoginLab::Pages(bool login) {
    QList<Page> out;
    for (const Page& p : kPages)
        if (p.about && p.expected.isEmpty() != login) out << p;
    return out;
}

LoginLab::LoginLab() : m_state(std::make_shared<State>()) {
    for (const Page& page : kPages) {
        const QString name = QLatin1String(page.name);
        if (*page.title)
            m_server.Route("GET", '/' + name, [this, page, name](const Request&, Reply& r) {
                const QString form = QStringLiteral("<form method=post action=/%1/got>").arg(name);
                const QString fields = QStringLiteral("<input name=user><input type=password name=pass>");
                r.status = page.status;
                r.Html(Doc(page.title, QString::fromUtf8(page.body)
                                           .replace("%F", form + fields + "<button>Log in</button></form>")
                                           .replace("%A", form)
                                           .replace("%U", fields)
                                           .replace("%P", QString::number(m_server.port()))));
            });
    }
    m_server.Page("/picture/logo.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"/>", "image/svg+xml");
    m_server.Route("GET", "/away", [this](const Request&, Reply& reply) {
        reply.Redirect(Url("/away/there", "elsewhere.localhost"));
    });
    // The second step of "steps": the user name it was sent travels on in a hidden field.
    m_server.Route("POST", "/steps/next", [](const Request& r, Reply& reply) {
        reply.Html(
            Doc("Password", QStringLiteral("<form method=post action=/steps/got><input type=hidden "
                                           "name=identifier value=\"%1\"><p>%1</p><input type=password "
                                           "name=pass><button>Sign in</button></form>")
                                .arg(r.param("identifier").toHtmlEscaped())));
    });
    // Whatever is sent anywhere else is recorded.
    m_server.SetFallback([state = m_state](const Request& r, Reply& reply) {
        QMap<QString, QString> fields = r.params;
        if (r.header("content-type").contains(QLatin1String("json"))) {
            const QJsonObject o = QJsonDocument::fromJson(r.body).object();
            for (auto it = o.begin(); it != o.end(); ++it)
                fields.insert(it.key(), it.value().toVariant().toString());
        }
        QString sent = r.method + ' ' + r.path;
        for (auto it = fields.cbegin(); it != fields.cend(); ++it)
            sent += ' ' + it.key() + '=' + it.value();
        std::lock_guard lock(state->mutex);
        state->sent.append(sent);
        reply.Html(Doc("Welcome", "<h1>Welcome</h1><a href=\"/logout\">Sign out</a>"));
    });
}

QString LoginLab::Url(const QString& path, const QString& host) const {
    return QStringLiteral("http://%1:%2%3").arg(host).arg(m_server.port()).arg(path);
}

void LoginLab::Forget() {
    std::lock_guard lock(m_state->mutex);
    m_state->sent.clear();
}

QStringList LoginLab::Received(const QString& name) const {
    std::lock_guard lock(m_state->mutex);
    QStringList out;
    for (const QString& sent : m_state->sent)
        if (sent.section(' ', 1, 1).startsWith('/' + name + '/')) out << sent;
    return out;
}

} // namespace sites
