#include "browse/LoginKeywords.h"

namespace LoginKeywords {

namespace {
bool Has(const QString& text, QLatin1String word) {
    return text.contains(word, Qt::CaseInsensitive);
}
} // namespace

QString WithoutNbsp(QString text) {
    return text.remove(QChar(0xA0));
}

bool InLoginList(const QString& text) {
    return kLoginList.contains(text, Qt::CaseInsensitive);
}

bool IsLoginText(const QString& text) {
    const QString t = WithoutNbsp(text);
    if (Has(t, QLatin1String("help")) || Has(t, QLatin1String("assistance"))) return false;
    if (Has(t, QLatin1String("sign"))) return !IsSignUpText(t);
    return Has(t, QLatin1String("submit")) || Has(t, QLatin1String("login")) ||
           Has(t, QLatin1String("logon"));
}

bool IsSignUpText(const QString& text) {
    return Has(text, QLatin1String("sign up")) || Has(text, QLatin1String("sign-up"));
}

} // namespace LoginKeywords
