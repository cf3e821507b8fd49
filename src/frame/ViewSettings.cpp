#include "frame/ViewSettings.h"

#include "core/Settings.h"

using namespace core;

ViewSettings ViewSettings::Load(const QString& user) {
    ViewSettings view;
    view.buttons = ReadBool(user, kButtons);
    view.linksBar = ReadBool(user, kLinksBar);
    view.statusBar = ReadBool(user, kStatusBar);
    view.textLabels = ReadBool(user, kTextLabels);
    return view;
}

void ViewSettings::Save(const QString& user, const stored::Value<bool>& value, bool shown) {
    SaveValue(user, value.name, BoolText(shown));
}
