#include "browse/LoginFormJudge.h"

#include <QList>
#include <QRegularExpression>

#include "browse/engine/ControlWords.h"
#include "browse/engine/PageModel.h"

namespace {

QRegularExpression Words(const char* pattern) {
    return QRegularExpression(QString::fromUtf8(pattern), QRegularExpression::CaseInsensitiveOption |
                                                              QRegularExpression::UseUnicodePropertiesOption);
}

bool Has(const QString& text, const QRegularExpression& re) {
    return !text.isEmpty() && re.match(text).hasMatch();
}

// Everything a page says about a field: its name, id, label, placeholder and autocomplete hint.
QString Description(const DomElement* e) {
    return e->name() + QLatin1Char(' ') + e->id() + QLatin1Char(' ') + e->label() + QLatin1Char(' ') +
           e->placeholder() + QLatin1Char(' ') + e->autocomplete();
}

bool Is(const QString& text, const char* what) {
    return text.compare(QLatin1String(what), Qt::CaseInsensitive) == 0;
}

// A second entry of a password or an address: only sign-up and change forms ask for that.
const QRegularExpression& ConfirmField() {
    static const QRegularExpression re =
        Words("confirm|repeat|retype|re-?type|re-?enter|again|verif|password2|passwd2|pass2\\b|"
              "best\u00e4tig|wiederhol|confirmer|confirmar|ripeti|herhaal");
    return re;
}

// A password being made: change forms ask for the new one.
const QRegularExpression& NewPasswordField() {
    static const QRegularExpression re = Words(
        "new.?pass|new.?pw|newpwd|neues.?passwort|nouveau|nueva.?contrase|create.?password|choose.?password");
    return re;
}

// Pages whose title says they make accounts.
const QRegularExpression& SignUpPage() {
    static const QRegularExpression re =
        Words("sign\\s*-?\\s*up|register|registration|create\\s+(?:an?\\s+|your\\s+)?account|\\bjoin\\b|"
              "enrol|open\\s+an?\\s+account|registrier|inscri|regist");
    return re;
}

// Pages about losing a password, whose one field is no first step of a login.
const QRegularExpression& RecoveryPage() {
    static const QRegularExpression re =
        Words("forgot|forgotten|reset|recover|lost.?password|password.?help|vergessen|oubli|olvid|dimentica");
    return re;
}

// Details of a payment: a card's security code or expiry, an account to pay from.
const QRegularExpression& PaymentField() {
    static const QRegularExpression re =
        Words("\\bcvc|\\bcvv|\\bcsc\\b|security.?code|card.?verification|expir|exp.?(?:date|month|year)|"
              "cardholder|card.?holder|name.?on.?card|\\bcc-|\\biban\\b|routing.?number|sort.?code|billing|"
              "pr\u00fcfnummer|ablauf|cryptogramme");
    return re;
}

// Details only a sign-up asks for.
const QRegularExpression& PersonalField() {
    static const QRegularExpression re =
        Words("first.?name|last.?name|full.?name|given.?name|family.?name|surname|birth|\\bdob\\b|"
              "given-name|family-name|\\bbday|vorname|nachname|pr\u00e9nom");
    return re;
}

const QRegularExpression& UserHint() {
    static const QRegularExpression re =
        Words("user|login|log-in|logon|e-?mail|account|member|customer|client|identif|handle|nick|signin|"
              "sign-in|\\bid\\b|_id\\b|benutzer|usuario|utilisateur|identifiant|utente|gebruiker|anv\u00e4nd|"
              "kundennummer|card.?number|\\buid\\b|username");
    return re;
}

const QRegularExpression& NotUserHint() {
    static const QRegularExpression re =
        Words("search|query|\\bq\\b|keyword|coupon|promo|captcha|otp|one-time|\\bcode\\b|"
              "\\bzip|postal|city|subject|message|comment|amount|quantity|newsletter|subscribe");
    return re;
}

const QRegularExpression& OtherTask() {
    static const QRegularExpression re =
        Words("sign\\s*-?\\s*up|register|registration|create\\s+(?:an?\\s+|my\\s+|your\\s+|new\\s+)?account|"
              "\\bjoin\\b|subscribe|\\breset\\b|\\bsave\\b|\\bupdate\\b|change\\s+(?:my\\s+|your\\s+)?"
              "password|update\\s+password|"
              "set\\s+(?:a\\s+|new\\s+)?password|new\\s+password|save\\s+password|recover|send\\s+(?:reset|"
              "link|code|"
              "email)|get\\s+started|enrol|open\\s+an?\\s+account|search|\\bfind\\b|notify|"
              "registrieren|konto\\s+erstellen|s'inscrire|inscription|cr\u00e9er\\s+un\\s+compte|registrarse|"
              "crear\\s+cuenta|registrati|registreren|zarejestruj");
    return re;
}

const QRegularExpression& SideLink() {
    static const QRegularExpression re =
        Words("forgot|forgotten|reset|recover|trouble|problem|can.?t|cannot|help|remind|sign\\s*-?\\s*up|"
              "register|create|join|new\\s+(?:user|here|account|customer)|privacy|terms|cookie|vergessen|"
              "oubli|olvid|dimenticat");
    return re;
}

const QRegularExpression& NotAPress() {
    static const QRegularExpression re =
        Words("\\bshow\\b|\\bhide\\b|reveal|toggle|visib|\\beye\\b|clear|cancel|close|back|zur\u00fcck|"
              "retour|volver|indietro|terug");
    return re;
}

const QRegularExpression& LoginPage() {
    static const QRegularExpression re =
        Words("log\\s*-?\\s*in|log\\s*-?\\s*on|sign\\s*-?\\s*in|sign_in|signon|\\bauth|\\bsso\\b|identifier|"
              "anmeld|connexion|iniciar|accedi|inloggen");
    return re;
}

bool IsInput(const DomElement* e) {
    return e->nodeName() == QLatin1String("INPUT");
}

// A control a person could press to send the form, whatever its words.
bool CanPress(const DomElement* e) {
    if (!e->shown() || e->isText()) return false;
    const QString& node = e->nodeName();
    if (node == QLatin1String("BUTTON")) return !Is(e->type(), "reset");
    if (IsInput(e)) {
        const QString& t = e->type();
        return Is(t, "submit") || Is(t, "image") || Is(t, "button");
    }
    return node == QLatin1String("A") || e->isTextControl() || Is(e->role(), "button");
}

} // namespace

bool LoginFormJudge::Writable(const DomElement* e) {
    // Read-only is no bar: some pages keep their fields read-only until they are focused, to
    // keep browsers from filling them; a field that only shows the user name holds it anyway.
    return e->shown() && !e->disabled();
}

bool LoginFormJudge::IsTextField(const DomElement* e) {
    return IsInput(e) && Is(e->type(), "text");
}

bool LoginFormJudge::IsPasswordField(const DomElement* e) {
    return IsInput(e) && Is(e->type(), "password");
}

bool LoginFormJudge::IsSubmitButton(const DomElement* e) {
    if (e->nodeName() == QLatin1String("BUTTON")) return e->type().isEmpty() || Is(e->type(), "submit");
    return IsInput(e) && (Is(e->type(), "submit") || Is(e->type(), "image"));
}

QString LoginFormJudge::ControlText(const DomElement* e) {
    QString text;
    if (IsInput(e))
        text = Is(e->type(), "image") ? e->alt() : e->value();
    else
        text = e->innerText();
    text = text.simplified();
    if (text.isEmpty()) text = e->label().simplified();
    return text;
}

bool LoginFormJudge::IsSignInControl(const DomElement* e, bool besidePassword) {
    const QString text = ControlText(e);
    if (ControlWords::IsSignIn(text)) return true;
    return besidePassword && (ControlWords::IsNext(text) || ControlWords::IsSend(text));
}

bool LoginFormJudge::IsOtherTaskText(const QString& text) {
    return Has(text, OtherTask());
}

bool LoginFormJudge::IsSideLinkText(const QString& text) {
    return Has(text, SideLink());
}

int LoginFormJudge::UserFieldScore(const DomElement* e) {
    const QString hint = e->autocomplete();
    if (hint.contains(QLatin1String("username"), Qt::CaseInsensitive) ||
        hint.contains(QLatin1String("email"), Qt::CaseInsensitive))
        return 100;
    const QString description = Description(e);
    int score = 0;
    if (Is(e->htmlType(), "email")) score += 50;
    if (Has(description, UserHint())) score += 30;
    if (Has(description, NotUserHint()) || Is(e->htmlType(), "number")) score -= 60;
    return score;
}

bool LoginFormJudge::LooksLikeLoginAddress(const QString& url) {
    return Has(url, LoginPage());
}

bool LoginFormJudge::LooksLikeLoginPage(const DomDocument* document) {
    return document && (Has(document->URL(), LoginPage()) || Has(document->title(), LoginPage()));
}

LoginFormJudge::Verdict LoginFormJudge::Judge(const DomElement* form, const DomDocument* document,
                                              bool ssnFields) {
    Verdict v;
    if (!form) return v;
    const QList<DomElement*>& elements = form->elements();
    QList<DomElement*> passwords;
    QList<DomElement*> texts;
    for (DomElement* e : elements) {
        if (!IsInput(e) || !e->shown()) continue;
        if (IsSubmitButton(e)) v.submitButton = true;
        const bool password = IsPasswordField(e);
        if (!password && !IsTextField(e)) continue;
        if (password && e->autocomplete().contains(QLatin1String("new-password"), Qt::CaseInsensitive)) {
            v.kind = Kind::NotLogin;
            v.reason = QStringLiteral("a new password is asked for");
            return v;
        }
        const QString description = Description(e);
        if (password && Has(description, NewPasswordField())) {
            v.kind = Kind::NotLogin;
            v.reason = QStringLiteral("a new password is asked for");
            return v;
        }
        if (Has(description, ConfirmField()) &&
            (password || description.contains(QLatin1String("mail"), Qt::CaseInsensitive))) {
            v.kind = Kind::NotLogin;
            v.reason = QStringLiteral("an entry is asked for twice");
            return v;
        }
        if (Has(description, PersonalField())) {
            v.kind = Kind::NotLogin;
            v.reason = QStringLiteral("personal details are asked for");
            return v;
        }
        if (Has(description, PaymentField())) {
            v.kind = Kind::NotLogin;
            v.reason = QStringLiteral("payment details are asked for");
            return v;
        }
        const bool ssn = ssnFields && (e->name() == QLatin1String("ssn") ||
                                       e->parentParentText().contains(QLatin1String("Social Security"),
                                                                      Qt::CaseInsensitive));
        if (password && !ssn)
            passwords << e;
        else if (!password && Writable(e))
            texts << e;
    }
    for (DomElement* e : elements)
        if (e->nodeName() == QLatin1String("BUTTON") && e->shown() && IsSubmitButton(e))
            v.submitButton = true;
    if (passwords.size() >= 3) {
        v.kind = Kind::NotLogin;
        v.reason = QStringLiteral("three password fields");
        return v;
    }

    // The field the next step starts from: the password, or for a first step the user field.
    const DomElement* from = nullptr;
    if (!passwords.isEmpty()) {
        v.password = passwords.first();
        from = v.password;
        // The text field that says most clearly it is for the user name. With no sign for any,
        // the first one takes it, as on the pages of old, unless that one says it is something
        // else (a search box): then the nearest one before the password that does not.
        int best = 0;
        for (DomElement* t : texts) {
            const int score = UserFieldScore(t);
            if (score > best) {
                best = score;
                v.user = t;
            }
        }
        if (!v.user && !texts.isEmpty() && UserFieldScore(texts.first()) < 0) {
            const qsizetype at = elements.indexOf(v.password);
            for (DomElement* t : texts)
                if (UserFieldScore(t) >= 0 && (elements.indexOf(t) < at || !v.user)) v.user = t;
        }
        v.kind = Kind::Login;
    } else if (texts.size() == 1 && UserFieldScore(texts.first()) > 0) {
        v.user = texts.first();
        from = v.user;
    }

    // The control that sends it: the first one after that field whose words sign in (or go
    // on), else the first plain submit button after it; one whose words say it does something
    // else (sign up, reset a password) only when there is nothing better, which makes the form
    // that other form.
    if (from) {
        DomElement* signIn = nullptr;
        DomElement* plainSubmit = nullptr;
        DomElement* otherSubmit = nullptr;
        DomElement* otherControl = nullptr;
        bool past = false;
        for (DomElement* e : elements) {
            if (e == from) past = true;
            if (!past || !CanPress(e)) continue;
            const QString text = ControlText(e);
            if (Has(text, NotAPress())) continue;
            if (IsSignInControl(e, true)) {
                signIn = e;
                break;
            }
            if (IsOtherTaskText(text)) {
                DomElement*& slot = IsSubmitButton(e) ? otherSubmit : otherControl;
                if (!slot) slot = e;
                continue;
            }
            if (IsSideLinkText(text)) continue;
            if (IsSubmitButton(e)) {
                plainSubmit = e;
                break;
            }
        }
        v.press = signIn ? signIn : plainSubmit ? plainSubmit : otherSubmit;
        if (!v.press) {
            for (DomElement* e : elements) {
                if (IsSubmitButton(e) && e->shown()) {
                    v.press = e;
                    break;
                }
            }
        }
        if (!v.press) v.press = otherControl;
    }
    const QString pressText = v.press ? ControlText(v.press) : QString();
    if (v.press && IsOtherTaskText(pressText) && !ControlWords::IsSignIn(pressText)) {
        if (v.password) {
            v.kind = Kind::NotLogin;
            v.reason = QStringLiteral("its control says \"") + pressText + QLatin1Char('"');
        } else {
            v.kind = Kind::Other;
        }
        v.user = nullptr;
        v.password = nullptr;
        v.press = nullptr;
        return v;
    }
    // A page whose title says it makes accounts, with a form whose control does not say it
    // signs in, is that sign-up.
    if (v.password && !ControlWords::IsSignIn(pressText) && document &&
        Has(document->title(), SignUpPage()) && !Has(document->title(), LoginPage())) {
        v.kind = Kind::NotLogin;
        v.reason = QStringLiteral("the page is \"") + document->title() + QLatin1Char('"');
        v.user = v.password = v.press = nullptr;
        return v;
    }
    // The first step of a two-step login: its control says so ("Sign in"), or goes on
    // ("Next") on a page about signing in; never on a page about a lost password.
    const bool recovery =
        document && (Has(document->URL(), RecoveryPage()) || Has(document->title(), RecoveryPage()));
    if (!v.password && v.user && v.press && !recovery &&
        (ControlWords::IsSignIn(pressText) ||
         (ControlWords::IsNext(pressText) && LooksLikeLoginPage(document)))) {
        v.kind = Kind::Identifier;
    } else if (!v.password) {
        v.user = nullptr;
    }
    return v;
}
