#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include "links/HisList.h"

// One blocked pop-up as the menu shows it.
struct PopUpItem {
    QString caption;
    QString url;
    QString profile; // the web profile of the page that opened it (BrowserPane::ProfileId)
    bool operator==(const PopUpItem&) const = default;
};

// The blocked pop-ups of this run: every address a blocked window was about to load, newest
// first, for the "Popup" tool button's menu (PopUpsMenu), from where the user opens them later.
// The frame owns it (and flashes "New Auto-PopUp" when Listed comes); it lives as long as the
// frame and is not stored.
class PopUpsList : public QObject {
    Q_OBJECT
public:
    // Flashes in the status bar when a pop-up is listed.
    static constexpr const char* kFlashText = "New Auto-PopUp";
    // Longest caption of a menu item.
    static constexpr int kMaxCaption = 100;

    explicit PopUpsList(QObject* parent = nullptr);

    // Lists a blocked window's address (the newest becomes the first item), with the web
    // profile it is to open in, and says Listed. Blank pages and the engine's error
    // pages are not listed.
    void AddPopUpItem(const QString& url, const QString& profile = {});
    // Addresses never listed: empty, "about:blank", the program's blank page, the engine's own
    // error pages.
    static bool IsIgnored(const QString& url);
    // The menu caption of an address: the part after "//www." (else after "//"), each word
    // capitalised, at most 100 characters, one trailing "/" dropped.
    static QString PopUpCaption(const QString& url);

    // Newest first; an address listed twice is there twice.
    const QList<PopUpItem>& Items() const { return m_items; }
    int Count() const { return int(m_items.size()); }
    // Every listed address once, with the number of times it was listed.
    const HisList& List() const { return m_list; }
    // The "Popup" tool button and the menu are usable.
    bool Enabled() const { return !m_items.isEmpty(); }

signals:
    void Changed();
    // A blocked window was listed: the user's eye is to be drawn to it.
    void Listed();

private:
    QList<PopUpItem> m_items;
    HisList m_list;
};
