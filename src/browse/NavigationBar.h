#pragma once

#include <QColor>
#include <QLabel>
#include <QPoint>
#include <QWidget>

#include "browse/WindowCommand.h"

class AddressBox;
class PageRecorder;
class QToolButton;

// The visible page's picture (PictureView): the colour of the visible Link's load state. Dragging it
// drags the page (to make a Link of it, or into another program).
class PagePicture : public QLabel {
    Q_OBJECT
public:
    explicit PagePicture(QWidget* parent = nullptr);
    void SetColour(const QColor& colour);
    QColor Colour() const { return m_colour; }

signals:
    void DragRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QColor m_colour;
    QPoint m_pressAt;
    bool m_pressed = false;
};

// The browse window's navigation bar: Back, Forward, Stop, Refresh, Home, the page picture, the
// completing address box AddressCombo and Go. The window reaches the address box through the
// address operations here.
class NavigationBar : public QWidget {
    Q_OBJECT
public:
    explicit NavigationBar(QWidget* parent = nullptr);

    // --- the address box
    // Shows an address (the program's blank page shows as an empty box).
    void SetAddressText(const QString& url);
    QString AddressText() const;
    // The user is typing in the box (what the program puts there would overwrite it).
    bool IsAddressBeingEdited() const;
    // Hides the list of matching addresses (a plain box has none).
    void HideAddressMatches();
    // Keyboard focus into the box with its text selected.
    void FocusAddress();
    // The user's visited and typed addresses into the box, and back into the store.
    void LoadAddresses();
    void SaveAddresses();
    // Completed pages go into the box's known addresses.
    void AttachRecorder(PageRecorder& recorder);

    void SetBackForward(bool back, bool forward);
    PagePicture* PictureView() const { return m_pictureView; }
    QToolButton* Button(const QString& key) const;

signals:
    // Back, Forward, Stop, Refresh, Home.
    void Command(WindowCommand command);
    // An address to open in the visible pane: Enter or Go (mode 3), a choice from the box's
    // own list (-1).
    void AddressChosen(const QString& url, int mode);

private:
    QToolButton* AddButton(const QString& key, WindowCommand command, const QString& text, const QIcon& icon,
                           const QString& tip);
    void Go();

    AddressBox* m_address = nullptr;
    PagePicture* m_pictureView = nullptr;
    QList<QToolButton*> m_buttons;
};
