#include "browse/engine/ControlWords.h"

#include <QRegularExpression>

namespace ControlWords {

namespace {

QRegularExpression Whole(const QString& pattern) {
    return QRegularExpression(QStringLiteral("^\\s*(?:") + pattern + QStringLiteral(")\\s*$"),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::UseUnicodePropertiesOption);
}

bool WholeMatch(const QRegularExpression& re, const QString& text) {
    return !text.isEmpty() && text.size() <= 60 &&
           re.match(QString(text).replace(QChar(0xA0), QLatin1Char(' '))).hasMatch();
}

} // namespace

const QString& SignIn() {
    static const QString words = QStringLiteral(
        "log\\s*-?\\s*(?:in|on)|sign\\s*-?\\s*(?:in|on)|log me in|sign me in|"
        "anmelden|einloggen|connexion|se connecter|s'identifier|iniciar sesi\u00f3n|entrar|acceder|"
        "accedi|inloggen|aanmelden|logga in|zaloguj(?: si\u0119)?|kirjaudu|p\u0159ihl\u00e1sit");
    return words;
}

const QString& Next() {
    static const QString words =
        QStringLiteral("continue|next|weiter|continuer|suivant|continuar|siguiente|avanti|volgende|"
                       "doorgaan|forts\u00e4tt|n\u00e4sta|dalej|jatka|dal\u0161\u00ed");
    return words;
}

const QString& Send() {
    static const QString words = QStringLiteral("submit|go|ok|enter|senden|envoyer|enviar|invia");
    return words;
}

QString Pattern() {
    return SignIn() + QLatin1Char('|') + Next() + QLatin1Char('|') + Send();
}

bool IsSignIn(const QString& text) {
    static const QRegularExpression re = Whole(SignIn());
    return WholeMatch(re, text);
}

bool IsNext(const QString& text) {
    static const QRegularExpression re = Whole(Next());
    return WholeMatch(re, text);
}

bool IsSend(const QString& text) {
    static const QRegularExpression re = Whole(Send());
    return WholeMatch(re, text);
}

const QString& LoginList() {
    static const QString list = QStringLiteral(
        "login*log-in*log in*logon*log-on*log on*signin*sign-in*sign in*signon*sign-on*sign on");
    return list;
}

const QString& LogoutList() {
    static const QString list = QStringLiteral(
        "logout*log-out*log out*logoff*log-off*log off*signout*sign-out*sign out*signoff*sign-off*sign off");
    return list;
}

const QStringList& MarkupWords() {
    static const QStringList words{QStringLiteral("sign"), QStringLiteral("submit"), QStringLiteral("login"),
                                   QStringLiteral("logon")};
    return words;
}

} // namespace ControlWords
