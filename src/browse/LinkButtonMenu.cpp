#include "browse/LinkButtonMenu.h"

#include "browse/BrowseState.h"
#include "browse/LinkControls.h"

LinkButtonMenu::LinkButtonMenu(LinkControls& controls, const BrowseState& state, QWidget* parent)
    : QMenu(parent) {
    setObjectName(QStringLiteral("mnuDyna"));
    addAction(QStringLiteral("&Add Link..."), this, [&controls] {
        controls.AddLinkDialog();
    })->setObjectName(QStringLiteral("mnuDynaAdd"));
    addAction(QStringLiteral("&Edit Link..."), this, [&controls, &state] {
        controls.EditLink(state.contextLinkIndex);
    })->setObjectName(QStringLiteral("mnuDynaEdit"));
    addSeparator();
    addAction(QStringLiteral("&Remove Link"), this, [&controls, &state] {
        controls.RemoveLink(state.contextLinkIndex);
    })->setObjectName(QStringLiteral("mnuDynaRemove"));
}

void LinkButtonMenu::Popup(const QPoint& globalPos, bool hasEditor) {
    for (QAction* action : actions()) {
        if (action->objectName() == QLatin1String("mnuDynaAdd") ||
            action->objectName() == QLatin1String("mnuDynaEdit"))
            action->setEnabled(hasEditor);
    }
    popup(globalPos);
}
