#include "browse/OfflineState.h"

#include <QNetworkInformation>

#include "browse/engine/WebProfiles.h"
#include "core/Settings.h"
#include "core/StoredNames.h"

using namespace core;

namespace OfflineState {
namespace {

std::function<bool()>& Probe() {
    static std::function<bool()> probe;
    return probe;
}

} // namespace

bool IsOffline() {
    return WebProfiles::IsOffline();
}

void SetOffline(bool offline) {
    WebProfiles::SetOffline(offline);
    SaveValue(stored::kGeneral, stored::general::kWorkOffline.name, BoolText(offline));
}

void Restore() {
    WebProfiles::SetOffline(ReadBool(stored::kGeneral, stored::general::kWorkOffline));
}

bool HasConnection() {
    if (Probe()) return Probe()();
    static const bool loaded =
        QNetworkInformation::loadDefaultBackend() ||
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    QNetworkInformation* info = QNetworkInformation::instance();
    if (!loaded || !info) return true;
    return info->reachability() != QNetworkInformation::Reachability::Disconnected;
}

void SetConnectionProbe(std::function<bool()> probe) {
    Probe() = std::move(probe);
}

} // namespace OfflineState
