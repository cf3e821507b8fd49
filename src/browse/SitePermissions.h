#pragma once

#include <QString>

enum class SiteFeature;

// What each user has let sites do, or forbidden them, for good ("remember for this site"):
// the key "<user>Permissions", one value per site and feature, named "<origin>|<feature>"
// ("https://meet.example.com|Camera") and holding "Allow" or "Deny".
namespace SitePermissions {

enum class Answer { Ask, Allow, Deny };

// The key of a user's answers.
QString Key(const QString& user);
// The stored name of a feature ("Camera", "FullScreen", ...).
QString FeatureName(SiteFeature feature);
// What a site asks, in words: "use your camera", "fill the whole screen", ...
QString FeatureWords(SiteFeature feature);

Answer Lookup(const QString& user, const QString& origin, SiteFeature feature);
void Remember(const QString& user, const QString& origin, SiteFeature feature, bool allow);

} // namespace SitePermissions
