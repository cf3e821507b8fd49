#pragma once

// The login pages of the auto-login scenarios, one per form layout the filler must handle,
// shared by the filler's own e2e tests and those of the whole browse window. Each form posts
// to the login site of the shared test sites (main origin), which records what arrived.
#include <QString>

#include "sites/TestSites.h"

namespace loginpages {

// A page, the list option its Link chooses, and the login the server is to accept from it.
struct Layout {
    const char* path;
    const char* option;
    const char* accepted;
};

inline constexpr Layout kLayouts[] = {
    {"/fill/search-first", "", "alice"},  {"/fill/password-first", "", "alice"},
    {"/fill/two-passwords", "", "alice"}, {"/fill/option", "business", "alice/b"},
    {"/fill/image-first", "", "alice"},   {"/fill/can", "", "alice"},
    {"/fill/script-anchor", "", "alice"}, {"/fill/script-button", "", "alice"},
    {"/fill/empty-button", "", "alice"},  {"/fill/onsubmit", "", "alice (onsubmit)"},
};

inline QString Html(const QString& title, const QString& body) {
    return QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%1</title></head>"
                          "<body>%2</body></html>")
        .arg(title, body);
}

// The opening tag of a form that posts to the login site (on the main origin from either one).
inline QString LoginFormTag(const QString& extra = {}) {
    return QStringLiteral("<form name=\"login\" method=\"post\" action=\"%1\"%2>")
        .arg(sites::SharedSites().Url(QStringLiteral("/login")), extra);
}

inline const QString kUserField = QStringLiteral("<input type=\"text\" name=\"user\">");
inline const QString kPassField = QStringLiteral("<input type=\"password\" name=\"pass\">");

// Serves the pages under /fill/ on both origins of the shared test sites (once per program).
inline void AddPages() {
    static bool added = false;
    if (added) return;
    added = true;
    sites::TestSites& s = sites::SharedSites();
    s.AddPage(
        "/fill/search-first",
        Html("Search first", "<form name=\"search\" action=\"/fill/nowhere\"><input type=\"text\" name=\"q\">"
                             "<input type=\"submit\" value=\"Search\"></form>" +
                                 LoginFormTag() + kUserField + kPassField +
                                 "<input type=\"submit\" value=\"Sign In\"></form>"));
    s.AddPage("/fill/password-first",
              Html("Password first", LoginFormTag() + "<p>Password " + kPassField + "</p><p>User " +
                                         kUserField + "</p><input type=\"submit\" value=\"OK\"></form>"));
    s.AddPage("/fill/two-passwords",
              Html("Two passwords",
                   LoginFormTag() +
                       "Customer number <input type=\"password\" name=\"user\"> PIN "
                       "<input type=\"password\" name=\"pass\"><input type=\"submit\" value=\"Log in\">"
                       "</form>"));
    s.AddPage(
        "/fill/option",
        Html("Option", LoginFormTag() +
                           "<select name=\"realm\"><option value=\"p\">Personal</option><option value=\"b\">"
                           "Business</option><option value=\"v\">Private</option></select>" +
                           kUserField + kPassField + "<input type=\"submit\" value=\"Sign In\"></form>"));
    s.AddPage("/fill/image-first",
              Html("Image first",
                   LoginFormTag() +
                       "<input type=\"image\" name=\"go\" src=\"/img/dot.gif\" alt=\"Sign in\">" +
                       kUserField + kPassField +
                       "<label><input type=\"checkbox\" name=\"remember\"> Remember me</label></form>"));
    s.AddPage("/fill/can",
              Html("Card",
                   "<form name=\"quick\" method=\"post\" action=\"/fill/nowhere\">Card "
                   "<input type=\"text\" name=\"card\"><input type=\"text\" name=\"CAN\"> PIN "
                   "<input type=\"password\" name=\"pin\"><input type=\"submit\" value=\"Sign In\"></form>" +
                       LoginFormTag() + kUserField + kPassField +
                       "<input type=\"submit\" value=\"Sign In\"></form>"));
    s.AddPage(
        "/fill/script-anchor",
        Html("Script anchor", LoginFormTag() + kUserField + kPassField +
                                  "<a href=\"javascript:submitLogin()\">Continue</a></form>"
                                  "<script>function submitLogin() { document.login.submit(); }</script>"));
    s.AddPage(
        "/fill/script-button",
        Html("Script button", LoginFormTag() + kUserField + kPassField +
                                  "<input type=\"button\" value=\"Continue\" onclick=\"sendLogin()\"></form>"
                                  "<script>function other() { return 0; }\n"
                                  "function sendLogin() { document.forms.login.submit(); }</script>"));
    s.AddPage("/fill/empty-button",
              Html("Empty button", LoginFormTag() + kUserField + kPassField +
                                       "<input type=\"button\" onclick=\"this.form.submit()\"></form>"));
    const QString loginOnly = Html("Frame login", LoginFormTag() + kUserField + kPassField +
                                                      "<input type=\"submit\" value=\"Sign In\"></form>");
    s.AddPage("/fill/frame-login", loginOnly);
    s.AddPage("/fill/frame-top", Html("Top", "<p>Bramble Test Bank</p>"));
    s.AddPage("/fill/frame-same",
              "<!DOCTYPE html>\n<html><head><title>Frames</title></head><frameset rows=\"20%,80%\">"
              "<frame name=\"top\" src=\"/fill/frame-top\"><frame name=\"main\" src=\"/fill/frame-login\">"
              "</frameset></html>");
    s.AddPage(
        "/fill/frame-cross",
        QStringLiteral("<!DOCTYPE html>\n<html><head><title>Frames</title></head><frameset rows=\"20%,80%\">"
                       "<frame name=\"top\" src=\"/fill/frame-top\"><frame name=\"main\" src=\"%1\">"
                       "</frameset></html>")
            .arg(s.OtherUrl("/fill/frame-login")));
    // No submit control: the handler marks the form and submits it itself.
    s.AddPage("/fill/onsubmit",
              Html("Handler", LoginFormTag(" onsubmit=\"return sendIt(this)\"") + kUserField + kPassField +
                                  "<input type=\"hidden\" name=\"from\" value=\"form\"></form>"
                                  "<script>function sendIt(f) { f.from.value = 'onsubmit'; f.submit(); "
                                  "return false; }</script>"));
    // Fields without names, read only through the page's own input listeners; the page posts
    // what it has gathered itself.
    s.AddPage("/fill/framework",
              Html("App", "<form id=\"app\"><input type=\"text\" id=\"u\"><input type=\"password\" id=\"p\">"
                          "<button type=\"submit\">Sign in</button></form>"
                          "<script>var state = { user: '', pass: '' };\n"
                          "document.getElementById('u').addEventListener('input', function (e) {"
                          " state.user = e.target.value; });\n"
                          "document.getElementById('p').addEventListener('input', function (e) {"
                          " state.pass = e.target.value; });\n"
                          "document.getElementById('app').addEventListener('submit', function (e) {\n"
                          " e.preventDefault();\n"
                          " var body = new URLSearchParams(); body.set('user', state.user);"
                          " body.set('pass', state.pass);\n"
                          " fetch('/login', { method: 'POST', body: body, credentials: 'same-origin' })"
                          ".then(function (r) { location.href = r.url; });\n"
                          "});</script>"));
}

} // namespace loginpages
