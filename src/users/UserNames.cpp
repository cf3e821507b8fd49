#include "users/UserNames.h"

namespace UserNames {

bool Usable(const QString& name) {
    if (name.isEmpty() || name.size() > kMaxLength || name.startsWith(QLatin1Char(';'))) return false;
    for (const QChar c : name)
        if (c == QLatin1Char('\\') || c == QLatin1Char('=') || c == QLatin1Char('[') ||
            c == QLatin1Char(']') || c.category() == QChar::Other_Control)
            return false;
    return name.compare(QLatin1String("Users"), Qt::CaseInsensitive) != 0 &&
           name.compare(QLatin1String("General"), Qt::CaseInsensitive) != 0;
}

} // namespace UserNames
