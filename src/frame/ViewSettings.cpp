#include "frame/ViewSettings.h"

#include "core/Settings.h"

using namespace core;

namespace {
bool Read(const QString& user, const char* name) {
    return CBool(GetValue(user, QLatin1String(name), true), true);
}
} // namespace

ViewSettings ViewSettings::Load(const QString& user) {
    ViewSettings view;
    view.buttons = Read(user, kButtons);
    view.linksBar = Read(user, kLinksBar);
    view.statusBar = Read(user, kStatusBar);
    view.textLabels = Read(user, kTextLabels);
    return view;
}

void ViewSettings::Save(const QString& user, const char* name, bool value) {
    SaveValue(user, QLatin1String(name), BoolText(value));
}
