#include "browse/TabColours.h"

#include "browse/LinkButtonsPanel.h"
#include "browse/NavigationBar.h"

void TabColours::Set(int i, const QColor& colour) {
    m_buttons.SetViewColour(i, colour);
}

QColor TabColours::Of(int i) const {
    return m_buttons.ViewColour(i);
}

void TabColours::CopyToView(int i) {
    m_picture.SetColour(Of(i));
}

QColor TabColours::ViewColour() const {
    return m_picture.Colour();
}
