#include "browse/FormFiller.h"

#include <QRegularExpression>
#include <QUrl>

#include "browse/LoginDecision.h"
#include "browse/LoginKeywords.h"
#include "browse/PageLoadTracker.h"
#include "core/Errors.h"
#include "core/Log.h"
#include "core/SiteIdentity.h"
#include "links/Link.h"

using core::WriteSignInLog;
using LoginKeywords::IsLoginText;
using LoginKeywords::IsSignUpText;
using Judge = LoginFormJudge;

namespace {

const QString kModule = QStringLiteral("Bramblegate.frmBrowse");
const QString kMask = QStringLiteral("********");

bool Is(const QString& text, QLatin1String what) {
    return text.compare(what, Qt::CaseInsensitive) == 0;
}

// The text of the page script function that `call` (a function name with its opening
// parenthesis) names: from "function <call>" to the next "function " or the end of its script.
// Empty when no script defines it.
QString FunctionText(const DomDocument* document, const QString& call) {
    if (!document || call.isEmpty()) return {};
    const QString head = QStringLiteral("function ") + call;
    for (const QString& script : document->scripts()) {
        const qsizetype at = script.indexOf(head, 0, Qt::CaseInsensitive);
        if (at < 0) continue;
        const qsizetype next = script.indexOf(QLatin1String("function "), at + 9, Qt::CaseInsensitive);
        return next < 0 ? script.mid(at) : script.mid(at, next - at);
    }
    return {};
}

// The text up to and including the first "(", or empty when there is none.
QString UpToParenthesis(const QString& text) {
    const qsizetype at = text.indexOf(QLatin1Char('('));
    return at < 0 ? QString() : text.left(at + 1);
}

QString SubmitLine(const DomElement* e) {
    return QStringLiteral("SubmitId: ") + e->id() + QStringLiteral("  SubmitName: ") + e->name() +
           QStringLiteral("  ") + FormFiller::LoggedHtml(e);
}

} // namespace

FormFiller::FormFiller(FormFillerHost& host, LoginSites sites) : m_host(host), m_sites(std::move(sites)) {}

// ----- pages and documents --------------------------------------------------------------------

bool FormFiller::MayFill(const QString& pageUrl, const Link& link) const {
    QStringList others = m_sites.SharedLoginSites();
    if (!link.AlsoAllowedSite().trimmed().isEmpty()) others << link.AlsoAllowedSite().trimmed();
    return SiteIdentity::MayReceiveCredentials(QUrl(pageUrl), QUrl(link.URL()), others);
}

bool FormFiller::ParsePage(DomDocument* document, int index, Link& link) {
    if (!document) return false;
    // The Link's credentials go to its own site only (frames that can be read are the page's
    // own origin).
    if (!MayFill(document->URL(), link)) {
        WriteSignInLog(QStringLiteral("ParsePage not the Link's site ") +
                       PageLoadTracker::LogUrl(document->URL()));
        return false;
    }
    // After its sign-in image was clicked, only the sign-in service's own page is filled.
    if (link.SignInServiceUsed && !ContainsSite(document->domain(), m_sites.signInServiceDomain))
        return false;
    if (document->frames().isEmpty()) return ParseDocument(document, index, link);
    if (ParseDocument(document, index, link)) return true;
    for (const DomFrame& frame : document->frames()) {
        // A frame of another site cannot be read, an empty one has nothing: skipped here.
        if (frame.document && frame.document->hasBody() && ParseDocument(frame.document, index, link))
            return true;
    }
    // A login page in an inline frame of another origin of the site (login.bank.test inside
    // www.bank.test) cannot be filled in place: loaded in the pane, it is filled there. That is
    // the frame that says it is the login, or else the only such frame of a page that does not
    // look logged in.
    QList<const DomElement*> siteFrames;
    const DomElement* named = nullptr;
    for (const DomFrame& frame : document->frames()) {
        const DomElement* e = frame.element;
        if (frame.document || !e || e->nodeName() != QLatin1String("IFRAME") || !e->shown() ||
            !MayFill(e->src(), link))
            continue;
        siteFrames << e;
        if (!named && (Judge::LooksLikeLoginAddress(e->src()) || Judge::LooksLikeLoginAddress(e->name()) ||
                       Judge::LooksLikeLoginAddress(e->id()) || Judge::LooksLikeLoginAddress(e->label())))
            named = e;
    }
    bool loggedInLook = false;
    for (const DomElement* a : document->links())
        loggedInLook = loggedInLook ||
                       (!a->innerText().trimmed().isEmpty() && LoginDecision::InLogoutList(a->innerText()));
    const DomElement* frame =
        named ? named : (siteFrames.size() == 1 && !loggedInLook ? siteFrames.first() : nullptr);
    if (frame && !m_host.NavigateStopped()) {
        WriteSignInLog(QStringLiteral("ParsePage login frame ") + PageLoadTracker::LogUrl(frame->src()));
        m_host.NavigatePane(index, frame->src());
        return true;
    }
    return false;
}

bool FormFiller::ParseDocument(DomDocument* document, int index, Link& link) {
    if (!document || !document->hasBody()) return true; // nothing to do on this document
    bool result = false;
    Errors::Guarded(kModule, QStringLiteral("ParseDocument"), [&] {
        result = false;
        int frameNumber = 0;
        for (const DomFrame& frame : document->frames()) {
            const int i = frameNumber++;
            if (frame.document) {
                // A frame without a document body of its own (an empty inline frame) has
                // nothing to fill and decides nothing.
                if (frame.document->hasBody() && ParseDocument(frame.document, index, link)) {
                    result = true;
                    return;
                }
                continue;
            }
            // A frame from another site: its page is loaded in the pane on its own, and parsed
            // when it has arrived there. The frame is found by its number among the FRAME
            // elements, as the page lists it.
            int frames = 0;
            for (DomElement* e : document->all()) {
                if (e->nodeName() != QLatin1String("FRAME")) continue;
                if (frames++ != i) continue;
                if (m_host.NavigateStopped()) break;
                // Only a frame of the Link's own site is worth loading for its login.
                if (!MayFill(e->src(), link)) {
                    WriteSignInLog(QStringLiteral("ParseDocument frame of another site ") +
                                   PageLoadTracker::LogUrl(e->src()));
                    break;
                }
                m_host.NavigatePane(index, e->src());
                result = true;
                return;
            }
        }
        WriteSignInLog(QStringLiteral("ParseDocument Link Url=") + PageLoadTracker::LogUrl(link.URL()));
        result = ParseForms(document, index, link);
    });
    return result;
}

bool FormFiller::ParseForms(DomDocument* document, int index, Link& link) {
    const QList<DomElement*>& forms = document->forms();
    QList<Judge::Verdict> verdicts;
    const bool ssn = !m_host.SSN().isEmpty();
    for (DomElement* form : forms)
        verdicts << Judge::Judge(form, document, ssn);
    // A form that is not a login is passed over as if it were not there.
    const auto candidate = [&](int f) { return verdicts[f].kind != Judge::Kind::NotLogin; };
    bool anyUserFilled = false;
    QString oldUserValue;
    for (int f = 0; f < forms.size(); ++f) {
        DomElement* form = forms[f];
        if (!candidate(f)) {
            WriteSignInLog(QStringLiteral("Not a login form: ") + verdicts[f].reason);
            continue;
        }
        int next = f + 1;
        while (next < forms.size() && !candidate(next))
            ++next;
        const bool lastForm = next >= forms.size();
        FormScan state;
        state.verdict = verdicts[f];
        switch (ScanForm(form, lastForm, index, link, state)) {
        case FormEnd::PasswordAndSubmit:
            FillTwoPasswordFields(form, link, state);
            return ClickSubmitControl(state, document, link);
        case FormEnd::SubmitThroughForm:
            return SubmitThroughForm(form, state, document, link);
        case FormEnd::Scanned:
            if (state.passwordWritten) {
                FillTwoPasswordFields(form, link, state);
                // A later form with both a text and a password field is the better candidate,
                // unless this one already has the user name.
                if (state.userFieldFilled || state.userWritten || lastForm ||
                    !FormHasTextAndPassword(forms[next]))
                    return SubmitThroughForm(form, state, document, link);
            }
            break;
        case FormEnd::Abandoned:
            break;
        }
        if (state.userFieldFilled) {
            anyUserFilled = true;
            oldUserValue = state.oldUserValue;
        }
    }
    switch (SendIdentifier(document, verdicts, link)) {
    case IdentifierStep::Sent:
        return true;
    case IdentifierStep::Typed:
        return false; // the user name stays where the password is to follow
    case IdentifierStep::None:
        break;
    }
    if (anyUserFilled) RedoUserName(document, link, oldUserValue);
    return false;
}

FormFiller::IdentifierStep FormFiller::SendIdentifier(DomDocument* document,
                                                      const QList<Judge::Verdict>& verdicts, Link& link) {
    // Two steps at most: the user name goes once.
    if (link.IdentifierSent) return IdentifierStep::None;
    // A user name for the sign-in service goes there through its image (the login decision
    // clicks it), not into the site's own form.
    if (!link.SignInServiceUsed && link.UserName().contains(QLatin1Char('@')) && SignInImage(document))
        return IdentifierStep::None;
    const QList<DomElement*>& forms = document->forms();
    for (int f = 0; f < forms.size(); ++f) {
        DomElement* form = forms[f];
        const Judge::Verdict& v = verdicts[f];
        // A password field the page keeps hidden may come once the user name is typed.
        DomElement* user = v.kind == Judge::Kind::Identifier ? v.user : nullptr;
        bool hiddenPassword = false;
        QList<DomElement*> texts;
        for (DomElement* e : form->elements()) {
            if (Judge::IsPasswordField(e) && !e->shown()) hiddenPassword = true;
            if (Judge::IsTextField(e) && Judge::Writable(e)) texts << e;
        }
        if (!user && hiddenPassword && v.kind == Judge::Kind::Other && texts.size() == 1 &&
            Judge::UserFieldScore(texts.first()) >= 0)
            user = texts.first();
        if (!user) continue;
        // The scan has written it already where the field was the form's first.
        if (user->value() != link.UserName()) user->SetValue(link.UserName());
        WriteSignInLog(QStringLiteral("UserId: ") + user->id() + QStringLiteral("  UserName: ") +
                       user->name() + QStringLiteral("  ") + form->name() + QStringLiteral("  ") +
                       LoggedHtml(user));
        if (hiddenPassword && !link.IdentifierTyped) {
            link.IdentifierTyped = true;
            WriteSignInLog(QStringLiteral("Identifier typed, the password field awaited"));
            return IdentifierStep::Typed;
        }
        if (v.kind != Judge::Kind::Identifier) return IdentifierStep::Typed;
        if (v.press) {
            v.press->Focus();
            v.press->Click();
            WriteSignInLog(QStringLiteral("Identifier sent, ") + SubmitLine(v.press));
        } else {
            user->Focus();
            document->PressEnter();
            WriteSignInLog(QStringLiteral("Identifier sent, sAction=SendKeys {ENTER}"));
        }
        link.IdentifierSent = true;
        return IdentifierStep::Sent;
    }
    return IdentifierStep::None;
}

bool FormFiller::MayChoose(const DomElement* control, const FormScan& state) {
    return !state.verdict.submitButton || control == state.verdict.press;
}

FormFiller::FormEnd FormFiller::ScanForm(DomElement* form, bool lastForm, int index, Link& link,
                                         FormScan& state) {
    const QList<DomElement*>& elements = form->elements();
    const QString formName = form->name();
    for (int j = 0; j < elements.size(); ++j) {
        DomElement* e = elements[j];
        bool abandon = false;
        // A page element that cannot be handled is skipped; the scan goes on.
        Errors::Quietly([&] {
            const QString& node = e->nodeName();
            const bool control = node == QLatin1String("BUTTON") || e->isTextControl() ||
                                 e->role().compare(QLatin1String("button"), Qt::CaseInsensitive) == 0;
            if (node != QLatin1String("INPUT") && node != QLatin1String("SUBMIT") &&
                node != QLatin1String("SELECT") && node != QLatin1String("A") && !control)
                return;
            // A field nobody could type into (not shown, disabled, read-only) is no field.
            if ((Judge::IsTextField(e) || Judge::IsPasswordField(e)) && !Judge::Writable(e)) return;
            // A form with a card-number field is a quick-access form, not the login.
            if (!lastForm && (Is(e->name(), QLatin1String("CAN")) || Is(e->id(), QLatin1String("CAN")))) {
                abandon = true;
                return;
            }
            if (e->type() != QLatin1String("hidden")) ClassifyFormElement(e, formName, index, link, state);
        });
        if (abandon) return FormEnd::Abandoned;
        if (j == elements.size() - 1) state.imageBeforePassword = false;
        if (state.passwordWritten && state.submitFound && !state.imageBeforePassword)
            return FormEnd::PasswordAndSubmit;
        if (state.passwordWritten && state.signUpSeen) return FormEnd::SubmitThroughForm;
        // The user name stays in its field; only the fact that it went in just now is cleared.
        state.userWritten = false;
    }
    return FormEnd::Scanned;
}

// ----- one element ----------------------------------------------------------------------------

void FormFiller::ChooseSubmit(DomElement* control, FormScan& state) {
    state.submitControl = control;
    state.submitFound = true;
    WriteSignInLog(SubmitLine(control));
}

void FormFiller::ClassifyFormElement(DomElement* e, const QString& formName, int index, Link& link,
                                     FormScan& state) {
    Q_UNUSED(index);
    const QString node = e->nodeName().toUpper();
    if (node == QLatin1String("INPUT")) {
        const QString type = e->type().toUpper();
        if (type == QLatin1String("HIDDEN") || type == QLatin1String("RADIO") ||
            type == QLatin1String("CHECKBOX"))
            return;
        if (type == QLatin1String("PASSWORD") && !state.passwordWritten) {
            if (FillSSNField(e, link.Password())) return;
            e->SetValue(link.Password());
            state.passwordField = e;
            state.passwordWritten = true;
            WriteSignInLog(QStringLiteral("PWId: ") + e->id() + QStringLiteral("  PWName: ") + e->name() +
                           QStringLiteral("  ") + formName + QStringLiteral("  ") + LoggedHtml(e));
        } else if (type == QLatin1String("TEXT") && !state.userFieldFilled &&
                   (!state.verdict.user || e == state.verdict.user)) {
            // In a login form, the user name goes into the field meant for it.
            state.oldUserValue = e->value();
            e->SetValue(link.UserName());
            state.userWritten = true;
            state.userFieldFilled = true;
            WriteSignInLog(QStringLiteral("UserId: ") + e->id() + QStringLiteral("  UserName: ") + e->name() +
                           QStringLiteral("  ") + formName + QStringLiteral("  ") + LoggedHtml(e));
        } else if (type == QLatin1String("SUBMIT")) {
            if (state.passwordWritten) ChooseSubmit(e, state);
        } else if (type == QLatin1String("BUTTON")) {
            if (!state.passwordWritten) return;
            const QString value = LoginKeywords::WithoutNbsp(e->value()).trimmed().toLower();
            WriteSignInLog(QStringLiteral("ButtonValue: ") + e->value() + QStringLiteral("  ButtonName: ") +
                           e->name() + QStringLiteral("  ") + LoggedHtml(e));
            // An empty value counts as a match, as it occurs within any text.
            if (IsScriptSubmitButton(value, e) || (LoginKeywords::InLoginList(value) && MayChoose(e, state)))
                ChooseSubmit(e, state);
        } else if (type == QLatin1String("IMAGE")) {
            if (IsLoginText(e->outerHTML())) ChooseSubmit(e, state);
            // An image button met before the password is used only if nothing better follows
            // in the form.
            state.imageBeforePassword = !state.passwordWritten;
        }
    } else if (node == QLatin1String("SELECT")) {
        if (!link.ReqLogin() || link.SelectOption().isEmpty()) return;
        const QString wanted = link.SelectOption().toUpper();
        DomElement* match = nullptr;
        for (DomElement* child : e->children()) {
            if (child->nodeName().toLower() != QLatin1String("option")) continue;
            if (child->innerText().toUpper() == wanted) {
                match = child;
                break;
            }
            child->SetSelected(false);
        }
        // Without a match every option stays deselected.
        if (match) match->SetSelected(true);
    } else if (node == QLatin1String("A")) {
        if (!state.passwordWritten) return;
        if (e == state.verdict.press) {
            ChooseSubmit(e, state);
        } else if (e->outerHTML().contains(QLatin1String("href"), Qt::CaseInsensitive)) {
            if (e->href().contains(QLatin1String("javascript:submit"), Qt::CaseInsensitive)) {
                ChooseSubmit(e, state);
            } else if (IsSignUpText(e->outerHTML())) {
                state.signUpSeen = true;
            } else if (!MayChoose(e, state) || Judge::IsSideLinkText(e->innerText())) {
                // A form with a submit button is sent by it; "Forgot your password?" and the
                // like lead elsewhere.
            } else if (IsLoginText(e->outerHTML())) {
                if (e->childElementCount() > 0) {
                    DomElement* first = e->firstChild();
                    if (first && !first->isText() && IsLoginText(first->outerHTML()))
                        ChooseSubmit(first, state);
                } else if (IsLoginText(e->innerHTML())) {
                    ChooseSubmit(e, state);
                }
            }
        } else if (IsScriptSubmitAnchor(formName, e)) {
            ChooseSubmit(e, state);
        }
    } else if (node == QLatin1String("BUTTON")) {
        // A <button> sends its form unless its type says otherwise; one that only scripts act
        // on counts when its words sign in.
        if (!state.passwordWritten || !e->shown()) return;
        const QString text = Judge::ControlText(e);
        if (e == state.verdict.press ||
            (Judge::IsSubmitButton(e) && !Judge::IsOtherTaskText(text) && !Judge::IsSideLinkText(text)) ||
            (Judge::IsSignInControl(e, true) && MayChoose(e, state)))
            ChooseSubmit(e, state);
    } else if (state.passwordWritten && e->shown() &&
               (e == state.verdict.press || (Judge::IsSignInControl(e, true) && MayChoose(e, state)))) {
        // A span, a div or an element with the role of a button that the page made the control.
        ChooseSubmit(e, state);
    }
}

bool FormFiller::FillSSNField(DomElement* e, const QString& password) {
    const QString ssn = m_host.SSN();
    if (ssn.isEmpty() || ssn == password) return false;
    if (e->name() == QLatin1String("ssn") ||
        e->parentParentText().contains(QLatin1String("Social Security"), Qt::CaseInsensitive)) {
        e->SetValue(ssn);
        return true;
    }
    return false;
}

bool FormFiller::IsScriptSubmitAnchor(const QString& formName, const DomElement* e) {
    // A script link's host name is its call: "sendForm()" names the function "sendForm(".
    const QString call = UpToParenthesis(e->hostname());
    if (call.isEmpty()) return false;
    return FunctionText(e->ownerDocument(), call)
        .contains(formName + QStringLiteral(".submit"), Qt::CaseInsensitive);
}

bool FormFiller::IsScriptSubmitButton(const QString& value, const DomElement* e) {
    Q_UNUSED(value);
    // The onclick attribute as the markup has it: the text after "onclick=" (or "onclick =")
    // up to the next blank, without its opening quote.
    const QString html = e->outerHTML();
    static const QRegularExpression attribute(QStringLiteral("onclick ?="),
                                              QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = attribute.match(html);
    if (!m.hasMatch()) return false;
    QString onclick = html.mid(m.capturedEnd());
    const qsizetype blank = onclick.indexOf(QLatin1Char(' '));
    if (blank >= 0) onclick.truncate(blank);
    if (onclick.startsWith(QLatin1Char('"')) || onclick.startsWith(QLatin1Char('\''))) onclick.remove(0, 1);
    if (onclick.isEmpty()) return false;
    const QString call = UpToParenthesis(onclick);
    return FunctionText(e->ownerDocument(), call.isEmpty() ? onclick : call)
        .contains(QLatin1String(".submit"), Qt::CaseInsensitive);
}

// ----- after a form ---------------------------------------------------------------------------

void FormFiller::FillTwoPasswordFields(DomElement* form, Link& link, FormScan& state) {
    if (!state.passwordWritten || state.userWritten) return;
    QList<DomElement*> fields;
    for (DomElement* e : form->elements())
        if (e->nodeName() == QLatin1String("INPUT") && e->type().toLower() == QLatin1String("password"))
            fields.append(e);
    if (fields.size() != 2) return;
    const QString ssn = m_host.SSN();
    DomElement* first = fields[0];
    if (ssn.isEmpty() || first->value() != ssn) {
        first->SetValue(link.UserName());
        state.userWritten = true;
        // The field's value is the user name now: it is not logged.
        WriteSignInLog(QStringLiteral("**PWId1: ") + first->id() + QStringLiteral("  UserName: ") +
                       first->name() + QStringLiteral(" value=") + kMask + QStringLiteral("  ") +
                       LoggedHtml(first));
    }
    DomElement* second = fields[1];
    // A field that holds the SSN is left alone (there is none to hold when no SSN is set).
    if (second->value() != link.Password() && (ssn.isEmpty() || second->value() != ssn)) {
        second->SetValue(link.Password());
        state.passwordWritten = true;
        WriteSignInLog(QStringLiteral("**PWId2: ") + second->id() + QStringLiteral("  PWName: ") +
                       second->name() + QStringLiteral("  ") + LoggedHtml(second));
    }
}

bool FormFiller::FormHasTextAndPassword(const DomElement* form) {
    if (!form) return false;
    bool text = false;
    bool password = false;
    for (const DomElement* e : form->elements()) {
        if (e->nodeName() != QLatin1String("INPUT")) continue;
        const QString type = e->type().toUpper();
        if (type == QLatin1String("TEXT")) text = true;
        if (type == QLatin1String("PASSWORD")) password = true;
        if (text && password) return true;
    }
    return false;
}

bool FormFiller::SubmitThroughForm(DomElement* form, const FormScan& state, DomDocument* document,
                                   Link& link) {
    link.SetPasswordSent(true);
    link.PasswordSubmitted = true;
    SubmitForm(form, state.passwordField, document);
    link.SetProgressValue(0);
    return true;
}

bool FormFiller::ClickSubmitControl(const FormScan& state, DomDocument* document, Link& link) {
    link.SetPasswordSent(true);
    // This site's button works on the second fill only: every odd parse leaves it alone.
    if (ContainsSite(document->URL(), m_sites.specialSitePrefix)) {
        const int count = m_host.SignInParseCount() + 1;
        m_host.SetSignInParseCount(count);
        if (count % 2 != 0) return false;
    }
    state.submitControl->Focus();
    state.submitControl->Click();
    link.PasswordSubmitted = true;
    link.SetProgressValue(0);
    return true;
}

void FormFiller::SubmitForm(DomElement* form, DomElement* passwordField, DomDocument* document) {
    m_host.RememberActiveControl();
    if (HasOnSubmitHandler(form)) {
        const QString action = QStringLiteral("frm.OnSubmit");
        if (passwordField) passwordField->Focus();
        // The bank's handler submits by itself; Enter alone submits there.
        if (!ContainsSite(document->domain(), m_sites.bankDomain)) form->CallOnSubmit();
        document->PressEnter();
        WriteSignInLog(QStringLiteral("Submit link not found, sAction=") + action);
    } else if (DomElement* control = HasDocSubmitLink(document)) {
        control->Click();
        WriteSignInLog(QStringLiteral("Submit link found with HasDocSubmitLink"));
        WriteSignInLog(SubmitLine(control));
    } else if (const Judge::Verdict v = Judge::Judge(form, document, !m_host.SSN().isEmpty());
               v.press && (form->isImplicitForm() || !v.submitButton)) {
        // Without a submit button Enter sends no form of several fields (and no inputs outside
        // a form at all): the control a person would press is pressed.
        v.press->Focus();
        v.press->Click();
        WriteSignInLog(QStringLiteral("Submit link not found, sAction=Click"));
        WriteSignInLog(SubmitLine(v.press));
    } else {
        const QString action = QStringLiteral("SendKeys {ENTER}");
        if (passwordField) passwordField->Focus();
        document->PressEnter();
        WriteSignInLog(QStringLiteral("Submit link not found, sAction=") + action);
    }
    m_host.RestoreActiveControl();
}

bool FormFiller::HasOnSubmitHandler(const DomElement* form) {
    const QString handler = form ? form->onsubmit() : QString();
    const QString head = QStringLiteral("function anonymous()");
    const qsizetype at = handler.indexOf(head, 0, Qt::CaseInsensitive);
    if (at < 0) return false;
    const QString rest = handler.mid(at + head.size());
    return rest.contains(QLatin1Char('(')) && rest.contains(QLatin1Char(')'));
}

DomElement* FormFiller::HasDocSubmitLink(const DomDocument* document) {
    for (DomElement* e : document->all()) {
        if (e->nodeName() != QLatin1String("BUTTON")) continue;
        if (LoginKeywords::InLoginList(LoginKeywords::WithoutNbsp(e->innerText()).trimmed().toLower()))
            return e;
    }
    for (DomElement* a : document->links()) {
        DomElement* control = nullptr;
        Errors::Quietly([&] {
            if (a->nodeName() != QLatin1String("A") || !IsLoginText(a->outerHTML()) ||
                a->childElementCount() == 0)
                return;
            DomElement* first = a->firstChild();
            if (first && !first->isText() && IsLoginText(first->outerHTML())) control = first;
        });
        if (control) return control;
    }
    return nullptr;
}

void FormFiller::RedoUserName(DomDocument* document, const Link& link, const QString& oldValue) {
    const QString user = link.UserName();
    for (DomElement* form : document->forms()) {
        for (DomElement* e : form->elements()) {
            if (e->type().toUpper() == QLatin1String("TEXT") && e->value() == user) {
                e->SetValue(oldValue);
                return;
            }
        }
    }
}

DomElement* FormFiller::SignInImage(const DomDocument* document) const {
    if (!document) return nullptr;
    for (DomElement* image : document->images())
        if (ContainsSite(image->src(), m_sites.signInImageSrc) &&
            ContainsSite(image->alt(), m_sites.signInImageAlt))
            return image;
    return nullptr;
}

bool FormFiller::ClickSignInImage(DomDocument* document) {
    DomElement* image = SignInImage(document);
    if (image) image->Click();
    return image != nullptr;
}

QString FormFiller::LoggedHtml(const DomElement* e) {
    const QString& html = e->outerHTML();
    if (e->type().compare(QLatin1String("password"), Qt::CaseInsensitive) != 0) return html;
    static const QRegularExpression value(QStringLiteral("(\\bvalue\\s*=\\s*)(\"[^\"]*\"|'[^']*'|[^\\s>]*)"),
                                          QRegularExpression::CaseInsensitiveOption);
    QString masked = html;
    masked.replace(value, QStringLiteral("\\1\"") + kMask + QStringLiteral("\""));
    return masked;
}
