#include "browse/PageRecorder.h"

#include "browse/AddressBox.h"
#include "browse/MasterHistory.h"
#include "links/HisList.h"

PageRecorder::PageRecorder(MasterHistory* masterHistory, AddressBox* addressBox)
    : m_master(masterHistory), m_addressBox(addressBox) {}

void PageRecorder::SetAddressBox(AddressBox* addressBox) {
    m_addressBox = addressBox;
}

QString PageRecorder::RecordPage(HisList& history, const VisitedPage& page) const {
    if (page.protocol == QLatin1String("Unknown Protocol")) return QString();
    const QString url = page.location.url;
    if (url.isEmpty()) return QString();
    const QString caption = core::MakePageCaption(page.title, page.location);
    const bool first = history.Count() == 0;
    history.Add(caption, url, false, -1, false);
    if (m_master) m_master->AddMasterHisListItem(caption, url);
    if (first && url.size() < kMaxOfferedUrl && m_addressBox) m_addressBox->AddUrlItem(url);
    return caption.isNull() ? QStringLiteral("") : caption;
}
