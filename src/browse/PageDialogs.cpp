#include "browse/PageDialogs.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "browse/engine/BrowserPane.h"
#include "core/AppState.h"
#include "core/MessageBox.h"
#include "core/UrlUtils.h"

const QString PageDialogBox::kSilenceText =
    QStringLiteral("Prevent this page from creating additional dialogs");

PageDialogBox::PageDialogBox(const PageDialogRequest& request, bool offerSilence, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmPageDialog"));
    setWindowTitle(SiteTitle(request.origin));
    auto* layout = new QVBoxLayout(this);
    m_message = new QLabel(request.message);
    m_message->setObjectName(QStringLiteral("lblMessage"));
    m_message->setTextFormat(Qt::PlainText); // the page's text, never markup
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_message);
    if (request.kind == PageDialogRequest::Prompt) {
        m_value = new QLineEdit(request.defaultValue);
        m_value->setObjectName(QStringLiteral("txtValue"));
        m_value->selectAll();
        layout->addWidget(m_value);
    }
    if (offerSilence) {
        m_silence = new QCheckBox(kSilenceText);
        m_silence->setObjectName(QStringLiteral("chkSilence"));
        layout->addWidget(m_silence);
    }
    auto* buttons = new QDialogButtonBox;
    buttons->setObjectName(QStringLiteral("buttons"));
    if (request.kind == PageDialogRequest::BeforeUnload) {
        QPushButton* leave = buttons->addButton(QStringLiteral("&Leave"), QDialogButtonBox::AcceptRole);
        leave->setObjectName(QStringLiteral("cmdOK"));
        buttons->addButton(QStringLiteral("&Stay"), QDialogButtonBox::RejectRole)
            ->setObjectName(QStringLiteral("cmdCancel"));
        leave->setDefault(true);
    } else {
        buttons->addButton(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
        if (request.kind != PageDialogRequest::Alert)
            buttons->addButton(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(360);
}

QString PageDialogBox::SiteTitle(const QString& origin) {
    const QString site = core::SiteLabel(origin);
    return site.isEmpty() ? QStringLiteral("This page") : site;
}

bool PageDialogs::Show(PageDialogRequest& request, bool offerSilence, bool* silence, QWidget* parent) {
    PageDialogBox box(request, offerSilence, parent);
    const bool accepted = modal::RunModal(box) == QDialog::Accepted;
    if (silence) *silence = box.m_silence && box.m_silence->isChecked();
    if (accepted && box.m_value) request.value = box.m_value->text();
    return accepted;
}

void PageDialogs::Answer(PageDialogRequest& request) {
    request.accepted = false;
    // Never over the lock, never while the program ends, never from a pane the user does not
    // see (a Link's page behind another's): the page hears no.
    if (App().Locked || App().Unloading || (m_parent && !m_parent->isVisible())) return;
    const bool leaving = request.kind == PageDialogRequest::BeforeUnload;
    // A silenced page may still ask before the user leaves it: that question protects the
    // user's own input. Without the box, it may go.
    if (m_silenced) {
        request.accepted = leaving;
        return;
    }
    ++m_shown;
    bool silence = false;
    request.accepted = Show(request, m_shown > 1 && !leaving, &silence, m_parent);
    if (silence) m_silenced = true;
}

void PageDialogs::NewPage() {
    m_shown = 0;
    m_silenced = false;
}
