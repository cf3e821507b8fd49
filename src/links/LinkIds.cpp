#include "links/LinkIds.h"

#include "core/StoredNames.h"

#include <QRandomGenerator>
#include <QRegularExpression>

#include "core/Settings.h"

namespace LinkIds {

QString New() {
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    QString id;
    for (quint32 word : words)
        id += QStringLiteral("%1").arg(word, 8, 16, QLatin1Char('0'));
    return id;
}

bool IsValid(const QString& id) {
    static const QRegularExpression pattern(QStringLiteral("^[0-9a-f]{32}$"));
    return pattern.match(id).hasMatch();
}

bool IsIdValueName(const QString& valueName) {
    static const QRegularExpression pattern(QStringLiteral("^") + stored::link::kId +
                                                QStringLiteral("[0-9]+$"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern.match(valueName).hasMatch();
}

QStringList Stored(const QString& user) {
    QStringList names, values, ids;
    core::EnumValues(QStringLiteral("Software\\") + core::AppKeyName() + QLatin1Char('\\') + user, names,
                     values);
    for (qsizetype i = 0; i < names.size(); ++i)
        if (IsIdValueName(names[i]) && IsValid(values[i])) ids << values[i];
    return ids;
}

} // namespace LinkIds
