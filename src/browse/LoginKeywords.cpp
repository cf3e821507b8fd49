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
    // "sign" first: with it, a sign-up is no sign-in whatever else the text says.
    const QStringList& words = ControlWords::MarkupWords();
    if (t.contains(words.first(), Qt::CaseInsensitive)) return !IsSignUpText(t);
    for (qsizetype i = 1; i < words.size(); ++i)
        if (t.contains(words[i], Qt::CaseInsensitive)) return true;
    return false;
}

bool IsSignUpText(const QString& text) {
    return Has(text, QLatin1String("sign up")) || Has(text, QLatin1String("sign-up"));
}

} // namespace LoginKeywords
