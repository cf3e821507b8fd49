#include "links/Link.h"

#include "core/Clock.h"
#include "core/Errors.h"
#include "core/SecretCipher.h"

Link::Link() = default;

QString Link::ShownCaption(const QString& caption) {
    return caption.endsWith(QLatin1String("$$")) ? caption.chopped(2) : caption;
}

Link::~Link() {
    m_url.Wipe();
    m_userName.Wipe();
    m_pw.Wipe();
}

void Link::Secret::Set(const QString& enc) {
    if (enc == encrypted) return; // the same text again keeps what was decrypted
    encrypted = enc;
    stale = true;
}

QString Link::Secret::Plain() const {
    if (stale) {
        stale = false;
        cache.fill(QChar(0));
        try {
            cache = SecretCipher::DecryptMessage(encrypted);
        } catch (const BgError& e) {
            // Readers get the empty text; the user hears about it once, until the text changes.
            cache.clear();
            Errors::ReportErrorInfo(QStringLiteral("modEncrypt"), QStringLiteral("DecryptMessage"),
                                    e.Description());
        }
    }
    return cache;
}

void Link::Secret::Wipe() {
    cache.fill(QChar(0));
    cache.clear();
}

void Link::SetPasswordSent(bool v) {
    m_passwordSent = v;
    if (v) {
        if (m_owner) m_owner->PasswordSent(m_index);
        m_passwordSentTime = Clock::Now();
    } else {
        m_passwordSentTime = QDateTime();
    }
}

void Link::SetLoggedIn(bool v) {
    const bool was = m_loggedIn;
    m_loggedIn = v;
    if (v && !was && m_owner) m_owner->LoggedIn(m_index);
}

void Link::SetLoginAssumed(bool v) {
    const bool was = m_loginAssumed;
    m_loginAssumed = v;
    if (v && !was && m_owner) m_owner->LoginAssumed(m_index);
}

void Link::SetNavigationError(bool v) {
    m_navigationError = v;
    if (v && m_owner) m_owner->NavigationError(m_index);
}
