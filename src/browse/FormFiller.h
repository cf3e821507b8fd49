#pragma once

#include <QString>

#include "browse/engine/PageModel.h"
#include "browse/FormFillerHost.h"
#include "browse/LoginFormJudge.h"
#include "browse/LoginSites.h"

class Link;

// The auto-login form filler: finds the login form of a Link's page (or of its frames), writes
// the Link's user name, password and list option into it and submits it.
//
// It works on the page model of the engine seam: its writes change the model at once (later
// reads see them) and are recorded as actions that the pane applies to the page, in order,
// after the current event has been handled. It keeps no state between calls; the host holds
// what must outlive a parse. Every decision goes to the SignIn log, never a secret.
//
// Around the classic scan it keeps to what a person would do on a page of today: it fills only
// pages of the Link's own site, leaves forms that are no login alone (sign-up, password change
// and reset), fills only fields a person can see and type into, puts the user name in the field
// meant for it, sends a form through the control a person would press, takes the inputs of a
// login without a <form> as one form, and sends the user name alone as the first step of a
// two-step login.
class FormFiller {
public:
    // What the scan of one form has found so far; a new form starts from scratch.
    struct FormScan {
        bool userWritten = false;         // the user name went into the element just examined
        bool passwordWritten = false;     // the password is in the password field
        bool submitFound = false;         // a submit control has been chosen
        bool signUpSeen = false;          // a sign-up link followed the password field
        bool imageBeforePassword = false; // an image button came before the password field
        bool userFieldFilled = false;     // a text field of this form holds the user name
        DomElement* submitControl = nullptr;
        DomElement* passwordField = nullptr;
        QString oldUserValue;            // what the user-name field held before
        LoginFormJudge::Verdict verdict; // what the form is, judged before the scan
    };

    explicit FormFiller(FormFillerHost& host, LoginSites sites = {});

    const LoginSites& Sites() const { return m_sites; }

    // Fills and submits the login form of the page shown in pane `index` (a control index) for
    // `link`. True: a form was submitted (the Link's PasswordSent is set) or the page needs
    // nothing. False: nothing was submitted; fields may have been filled.
    bool ParsePage(DomDocument* document, int index, Link& link);
    // Whether the page at this address may receive the Link's credentials: the Link's own
    // site, its also allowed site or the sign-in service, and never http for an https Link.
    bool MayFill(const QString& pageUrl, const Link& link) const;
    // The same for one document: its frames first, then its forms.
    bool ParseDocument(DomDocument* document, int index, Link& link);
    // Clicks the sign-in service's image on the page; false when there is none.
    bool ClickSignInImage(DomDocument* document);
    DomElement* SignInImage(const DomDocument* document) const;

    // The steps, public for the login decision and for tests.
    void ClassifyFormElement(DomElement* element, const QString& formName, int index, Link& link,
                             FormScan& state);
    // Writes the SSN into a password-type field that asks for it; false when it does not (or
    // there is no SSN, or it is the password itself).
    bool FillSSNField(DomElement* element, const QString& password);
    // Some sites ask for the user name in a password-type field: a form with exactly two of
    // them gets the user name in the first and the password in the second.
    void FillTwoPasswordFields(DomElement* form, Link& link, FormScan& state);
    // Submits a form without a chosen submit control: its own submit handler, a sign-in
    // button or link of the page, or Enter in the password field.
    void SubmitForm(DomElement* form, DomElement* passwordField, DomDocument* document);
    // Puts the old value back into the text field that received the user name.
    void RedoUserName(DomDocument* document, const Link& link, const QString& oldValue);

    // A script link (href "javascript:f()") whose function submits the form named formName.
    static bool IsScriptSubmitAnchor(const QString& formName, const DomElement* element);
    // A button whose onclick calls a function of the page that submits a form.
    static bool IsScriptSubmitButton(const QString& value, const DomElement* element);
    static bool FormHasTextAndPassword(const DomElement* form);
    // The form has an inline onsubmit handler.
    static bool HasOnSubmitHandler(const DomElement* form);
    // The page's sign-in button, or the first child of a sign-in link; null when none.
    static DomElement* HasDocSubmitLink(const DomDocument* document);

    // The element's markup as it may be logged: the value attribute of a password-type field
    // is masked (a page may echo a password into it).
    static QString LoggedHtml(const DomElement* element);

private:
    enum class FormEnd { Scanned, Abandoned, PasswordAndSubmit, SubmitThroughForm };

    bool ParseForms(DomDocument* document, int index, Link& link);
    FormEnd ScanForm(DomElement* form, bool lastForm, int index, Link& link, FormScan& state);
    bool SubmitThroughForm(DomElement* form, const FormScan& state, DomDocument* document, Link& link);
    bool ClickSubmitControl(const FormScan& state, DomDocument* document, Link& link);
    void ChooseSubmit(DomElement* control, FormScan& state);
    // The first step of a two-step login: the user name alone into the form that asks only for
    // it, sent. A form that keeps its password field hidden gets the user name typed first, and
    // sent on a later parse if the password field has not come by then.
    enum class IdentifierStep { None, Typed, Sent };
    // `verdicts`: those of the document's forms, in order.
    IdentifierStep SendIdentifier(DomDocument* document, const QList<LoginFormJudge::Verdict>& verdicts,
                                  Link& link);
    // Whether a control other than a submit button may be chosen in this form: not when the
    // form has a submit button of its own (that one sends it).
    static bool MayChoose(const DomElement* control, const FormScan& state);

    FormFillerHost& m_host;
    LoginSites m_sites;
};
