#include "frame/OptionsRules.h"

namespace OptionsRules {

bool AcceptNumber(const NumberField& field, const QString& text, int* value) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok || n < field.min || n > field.max) return false;
    if (value) *value = n;
    return true;
}

SsnCheck CheckSSN(const QString& text) {
    SsnCheck check;
    check.cleaned = text.trimmed();
    check.cleaned.remove(QLatin1Char('-'));
    check.cleaned.remove(QLatin1Char(' '));
    if (check.cleaned.isEmpty()) return check;
    for (QChar c : std::as_const(check.cleaned)) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            check.error = QStringLiteral("The Social Security Number may contain numeric characters only");
            return check;
        }
    }
    if (check.cleaned.size() > 9)
        check.error = QStringLiteral("The Social Security Number may be maximum 9 characters long");
    return check;
}

} // namespace OptionsRules
