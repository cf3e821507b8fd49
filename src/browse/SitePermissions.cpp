#include "browse/SitePermissions.h"

#include "browse/engine/BrowserPane.h"
#include "core/Settings.h"
#include "core/StoredNames.h"

using namespace core;

namespace SitePermissions {
namespace {

struct Feature {
    SiteFeature feature;
    const char* name;
    const char* words;
};

constexpr Feature kFeatures[] = {
    {SiteFeature::Notifications, "Notifications", "show notifications"},
    {SiteFeature::Location, "Location", "know your location"},
    {SiteFeature::Microphone, "Microphone", "use your microphone"},
    {SiteFeature::Camera, "Camera", "use your camera"},
    {SiteFeature::CameraAndMicrophone, "CameraAndMicrophone", "use your camera and microphone"},
    {SiteFeature::MouseLock, "MouseLock", "take over your mouse pointer"},
    {SiteFeature::ScreenShare, "ScreenShare", "share your screen"},
    {SiteFeature::ScreenShareWithAudio, "ScreenShareWithAudio", "share your screen and its sound"},
    {SiteFeature::FullScreen, "FullScreen", "fill the whole screen"},
};

const Feature& Find(SiteFeature feature) {
    for (const Feature& f : kFeatures)
        if (f.feature == feature) return f;
    return kFeatures[0];
}

QString ValueName(const QString& origin, SiteFeature feature) {
    return origin.toLower() + QLatin1Char('|') + FeatureName(feature);
}

} // namespace

QString Key(const QString& user) {
    return stored::UserKey(user, stored::kPermissionsKeySuffix);
}

QString FeatureName(SiteFeature feature) {
    return QLatin1String(Find(feature).name);
}

QString FeatureWords(SiteFeature feature) {
    return QLatin1String(Find(feature).words);
}

Answer Lookup(const QString& user, const QString& origin, SiteFeature feature) {
    if (user.isEmpty() || origin.isEmpty()) return Answer::Ask;
    const QString stored = GetValue(Key(user), ValueName(origin, feature));
    if (stored.compare(QLatin1String("Allow"), Qt::CaseInsensitive) == 0) return Answer::Allow;
    if (stored.compare(QLatin1String("Deny"), Qt::CaseInsensitive) == 0) return Answer::Deny;
    return Answer::Ask;
}

void Remember(const QString& user, const QString& origin, SiteFeature feature, bool allow) {
    if (user.isEmpty() || origin.isEmpty()) return;
    SaveValue(Key(user), ValueName(origin, feature),
              allow ? QStringLiteral("Allow") : QStringLiteral("Deny"));
}

} // namespace SitePermissions
