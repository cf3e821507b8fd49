#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QToolBar>

class QMenu;
class QToolButton;

// The frame's button bar `tbr`: twenty buttons in a fixed order, each known by its key. A click
// only says which key was pressed; the frame decides what it does. On a narrow screen (at most
// 800 pixels wide) six buttons carry short captions. With text labels off the buttons show their
// icons only and keep the caption as their tooltip.
//
// The placeholder "phldr" reserves room beside Back for a small arrow that lists the pages behind
// it (the menu the frame gives it); SetPHldr fits it to the bar after the layout changed.
class FrameToolbar : public QToolBar {
    Q_OBJECT
public:
    enum Style { Button, Placeholder, Separator, DropDown };
    struct ButtonInfo {
        const char* key;
        const char* shortCaption;
        const char* longCaption;
        Style style;
        const char* image;
    };
    // Screens this wide or narrower get the short captions.
    static constexpr int kNarrowScreen = 800;
    // The twenty buttons, in order.
    static const QList<ButtonInfo>& Table();
    // A toolbar picture by its image key: the desktop theme's icon when there is one, else the
    // program's own.
    static QIcon Icon(const QString& image);

    explicit FrameToolbar(QWidget* parent = nullptr);

    // Builds the buttons anew: captions for a screen `screenWidth` pixels wide, labels on or off.
    void ToolbarResetData(int screenWidth, bool textLabels);
    // Text labels on (captions under the icons) or off (icons only).
    void SetToolbar(bool textLabels);
    bool TextLabels() const { return m_textLabels; }
    // Fits the placeholder to the bar.
    void SetPHldr();
    // The menu behind the placeholder's arrow.
    void SetPlaceholderMenu(QMenu* menu);

    QAction* Action(const QString& key) const { return m_actions.value(key); }
    QToolButton* ToolButton(const QString& key) const;
    // The caption the button was given (short or long); also its tooltip.
    QString Caption(const QString& key) const;
    // Changes a button's picture (the pop-up button flashes "Popnew").
    void SetImage(const QString& key, const QString& image);
    QString Image(const QString& key) const { return m_images.value(key); }

signals:
    void ButtonClick(const QString& key);
    // A right click on the bar.
    void ContextMenuRequested(const QPoint& globalPos);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QHash<QString, QAction*> m_actions;
    QHash<QString, QString> m_images;
    QPointer<QToolButton> m_placeholder;
    QPointer<QMenu> m_placeholderMenu;
    bool m_textLabels = true;
};
