#pragma once

#include <QPointer>
#include <QString>

#include "browse/MasterHistory.h"
#include "core/UrlUtils.h"

class AddressBox;
class HisList;

// A page that finished loading in a Link pane or a stand-alone window, as the window read it.
struct VisitedPage {
    QString title;               // the document's title
    core::PageLocation location; // the pane's location name and address
    QString protocol;            // the document's protocol text
};

// Records visited pages: into the window's own history, the master history, and, for the
// first page of that history, the known addresses of the address box. The browse window and
// every stand-alone window share one recorder (the frame's master history, the browse
// window's address box); either may be absent.
class PageRecorder {
public:
    PageRecorder(MasterHistory* masterHistory, AddressBox* addressBox);

    void SetMasterHistory(MasterHistory* masterHistory) { m_master = masterHistory; }
    void SetAddressBox(AddressBox* addressBox);

    // Records the page into `history` (the Link's or the window's) and the shared lists.
    // Returns the caption it was recorded under, or a null text when it was not recorded
    // (a document of an unknown protocol, or no address).
    QString RecordPage(HisList& history, const VisitedPage& page) const;

    // Addresses this long or longer are not offered to the address box.
    static constexpr int kMaxOfferedUrl = 201;

private:
    QPointer<MasterHistory> m_master;
    QPointer<AddressBox> m_addressBox;
};
