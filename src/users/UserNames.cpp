#include "users/UserNames.h"

#include "core/Settings.h"
#include "core/StoredNames.h"

namespace UserNames {

QString Problem(const QString& name) {
    if (name.isEmpty()) return QStringLiteral("A UserName is required.");
    if (name.size() > kMaxLength)
        return QStringLiteral("A UserName can be at most %1 characters long.").arg(kMaxLength);
    bool badCharacter = name.startsWith(QLatin1Char(';'));
    for (const QChar c : name)
        badCharacter = badCharacter || c == QLatin1Char('\\') || c == QLatin1Char('=') ||
                       c == QLatin1Char('[') || c == QLatin1Char(']') || c.category() == QChar::Other_Control;
    if (badCharacter)
        return QStringLiteral("A UserName cannot contain \\ = [ ] or a line break, and cannot begin with ;.");
    for (QLatin1String reserved : {stored::kUsers, stored::kGeneral, QLatin1String("-1")})
        if (name.compare(QLatin1String(reserved), Qt::CaseInsensitive) == 0)
            return QStringLiteral("The program keeps its own settings under the name '%1'.").arg(name);
    return QString();
}

bool Usable(const QString& name) {
    return Problem(name).isEmpty();
}

QStringList Keys(const QString& name) {
    QStringList keys{name};
    for (const char* suffix : stored::kListKeySuffixes)
        keys << name + QLatin1String(suffix);
    keys << stored::UserKey(name, stored::kPermissionsKeySuffix);
    return keys;
}

QString SharedWith(const QString& name, const QStringList& users) {
    const QStringList mine = Keys(name);
    for (const QString& user : users) {
        if (user.compare(name, Qt::CaseInsensitive) == 0) continue; // the same user
        for (const QString& key : Keys(user))
            if (mine.contains(key, Qt::CaseInsensitive)) return user;
    }
    return QString();
}

QStringList StoredUsers() {
    QStringList names, values;
    core::EnumValues(QStringLiteral("Software\\") + core::AppKeyName() + QLatin1Char('\\') + stored::kUsers,
                     names, values);
    names.removeAll(QString());
    return names;
}

} // namespace UserNames
