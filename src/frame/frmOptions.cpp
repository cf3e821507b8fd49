#include "frame/frmOptions.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/AppState.h"
#include "core/DialogButtons.h"
#include "core/Errors.h"
#include "core/HelpRequest.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "core/SettingsStore.h"
#include "core/StoredNames.h"
#include "frame/OptionsRules.h"
#include "frame/SearchEngineEditor.h"
#include "links/Links.h"
#include "users/cOptions.h"

using namespace OptionsRules;

namespace {

constexpr int kLinkIndexRole = Qt::UserRole;

QLineEdit* NumberBox(const char* name) {
    auto* box = new QLineEdit;
    box->setObjectName(QLatin1String(name));
    box->setMaxLength(5);
    box->setMaximumWidth(70);
    return box;
}

// The page of the tab widget that holds a control.
QWidget* PageOf(QTabWidget* tabs, QWidget* control) {
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->widget(i)->isAncestorOf(control)) return tabs->widget(i);
    return nullptr;
}

} // namespace

frmOptions::frmOptions(Links* links, QWidget* parent) : QDialog(parent), m_links(links) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QString::fromLatin1(ProductName()) + QStringLiteral(" Options"));
    m_options = App().Options;
    if (!m_options) {
        m_ownOptions = std::make_unique<cOptions>(App().CurrentUser);
        m_options = m_ownOptions.get();
    }
    BuildLayout();
    Fill();
    m_cmdApply->setEnabled(false);
    m_tabs->setCurrentIndex(0);

    // Connected after filling: only the user's changes count.
    for (QLineEdit* box : {m_txtIdleMinutes, m_txtFreezeMinutes, m_txtDiscardMinutes, m_txtSSN,
                           m_txtHistoryItems, m_txtBookmarks})
        connect(box, &QLineEdit::textChanged, this, &frmOptions::Changed);
    connect(m_chkBeep, &QCheckBox::toggled, this, &frmOptions::Changed);
    connect(m_lstLinks, &QListWidget::itemChanged, this, &frmOptions::Changed);
    connect(m_searchEngines, &SearchEngineEditor::Changed, this, &frmOptions::Changed);
}

frmOptions::~frmOptions() = default;

void frmOptions::BuildLayout() {
    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("tabOptions"));

    // General: the lock and the SSN.
    auto* general = new QWidget;
    auto* generalForm = new QFormLayout(general);
    m_txtIdleMinutes = NumberBox("txtIdleMinutes");
    generalForm->addRow(QStringLiteral("Automatic &Logout after (minutes):"), m_txtIdleMinutes);
    m_txtFreezeMinutes = NumberBox("txtFreezeMinutes");
    generalForm->addRow(QStringLiteral("&Pause a Link not shown after (minutes):"), m_txtFreezeMinutes);
    m_txtDiscardMinutes = NumberBox("txtDiscardMinutes");
    generalForm->addRow(QStringLiteral("Let a Link's page &go after (minutes):"), m_txtDiscardMinutes);
    m_txtSSN = new QLineEdit;
    m_txtSSN->setObjectName(QStringLiteral("txtSSN"));
    m_txtSSN->setMaxLength(20);
    m_txtSSN->setMaximumWidth(160);
    generalForm->addRow(QStringLiteral("&Social Security Number:"), m_txtSSN);
    m_tabs->addTab(general, QStringLiteral("&General"));

    // Pop-ups: the beep and the Links.
    auto* popups = new QWidget;
    auto* popupsLayout = new QVBoxLayout(popups);
    m_chkBeep = new QCheckBox(QStringLiteral("&Beep when a PopUp window is blocked"));
    m_chkBeep->setObjectName(QStringLiteral("chkBeepOnPopUp"));
    popupsLayout->addWidget(m_chkBeep);
    auto* listLabel = new QLabel(QStringLiteral("Block PopUp windows for these &Links:"));
    popupsLayout->addWidget(listLabel);
    m_lstLinks = new QListWidget;
    m_lstLinks->setObjectName(QStringLiteral("lstLinks"));
    listLabel->setBuddy(m_lstLinks);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(m_lstLinks, 1);
    auto* listButtons = new QVBoxLayout;
    m_cmdCheckAll = new QPushButton(QStringLiteral("C&heck All"));
    m_cmdCheckAll->setObjectName(QStringLiteral("cmdCheckAll"));
    m_cmdClearAll = new QPushButton(QStringLiteral("Cl&ear All"));
    m_cmdClearAll->setObjectName(QStringLiteral("cmdClearAll"));
    listButtons->addWidget(m_cmdCheckAll);
    listButtons->addWidget(m_cmdClearAll);
    listButtons->addStretch();
    listRow->addLayout(listButtons);
    popupsLayout->addLayout(listRow);
    m_tabs->addTab(popups, QStringLiteral("&Pop-Ups"));

    // History: the list lengths.
    auto* history = new QWidget;
    auto* historyForm = new QFormLayout(history);
    m_txtHistoryItems = NumberBox("txtHistoryItems");
    historyForm->addRow(QStringLiteral("&History items:"), m_txtHistoryItems);
    m_txtBookmarks = NumberBox("txtBookmarks");
    historyForm->addRow(QStringLiteral("Boo&kmarks:"), m_txtBookmarks);
    m_tabs->addTab(history, QStringLiteral("H&istory"));

    // Search: the engines of the search pane.
    m_searchEngines = new SearchEngineEditor;
    m_tabs->addTab(m_searchEngines, QStringLiteral("Sea&rch"));

    m_lblHelp = new QLabel;
    m_lblHelp->setObjectName(QStringLiteral("lblHelp"));
    m_lblHelp->setWordWrap(true);
    m_lblHelp->setMinimumHeight(3 * fontMetrics().height());
    m_lblHelp->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblHelp->setFrameShape(QFrame::StyledPanel);
    m_lblHelp->setMargin(4);

    using dialogbuttons::Enter;
    m_cmdHelp = dialogbuttons::Make(QStringLiteral("Help"), "cmdHelp", Enter::Plain);
    m_cmdOK = dialogbuttons::Make(QStringLiteral("OK"), "cmdOK", Enter::Default);
    m_cmdCancel = dialogbuttons::Make(QStringLiteral("Cancel"), "cmdCancel", Enter::Plain);
    m_cmdApply = dialogbuttons::Make(QStringLiteral("&Apply"), "cmdApply", Enter::Plain);
    auto* buttons = dialogbuttons::Row({m_cmdHelp}, {m_cmdOK, m_cmdCancel, m_cmdApply});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_lblHelp);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    for (QWidget* field : std::initializer_list<QWidget*>{
             m_txtIdleMinutes, m_txtFreezeMinutes, m_txtDiscardMinutes, m_txtSSN, m_lstLinks,
             m_txtHistoryItems, m_txtBookmarks, m_searchEngines->lstEngines()})
        field->installEventFilter(this);

    connect(m_cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_cmdApply, &QPushButton::clicked, this, &frmOptions::cmdApply_Click);
    connect(m_cmdCheckAll, &QPushButton::clicked, this, &frmOptions::cmdCheckAll_Click);
    connect(m_cmdClearAll, &QPushButton::clicked, this, &frmOptions::cmdClearAll_Click);
    helprequest::Bind(this, m_cmdHelp, QLatin1String(kHelpTopic));
}

void frmOptions::Fill() {
    if (m_links) {
        for (const Link* link : *m_links) {
            if (link->Deleted()) continue;
            auto* item = new QListWidgetItem(link->ShownCaption(), m_lstLinks);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(link->HidePopUps() ? Qt::Checked : Qt::Unchecked);
            item->setData(kLinkIndexRole, link->Index());
        }
    }
    m_chkBeep->setChecked(m_options->BeepOnPopUp());
    m_txtHistoryItems->setText(QString::number(m_options->MaxHistoryItems()));
    m_txtBookmarks->setText(QString::number(m_options->MaxBookmarkItems()));
    m_txtIdleMinutes->setText(QString::number(m_options->AutoLogOutMts()));
    m_txtFreezeMinutes->setText(QString::number(m_options->FreezeAfterMinutes()));
    m_txtDiscardMinutes->setText(QString::number(m_options->DiscardAfterMinutes()));
    m_txtSSN->setText(m_options->SSN());
    m_searchEngines->SetEngines(SearchEngines::Load(m_options->User()));
}

void frmOptions::Changed() {
    m_cmdApply->setEnabled(true);
}

// ----- leaving a field ------------------------------------------------------------------------

bool frmOptions::IsCheckedField(QObject* object) const {
    return object == m_txtIdleMinutes || object == m_txtFreezeMinutes || object == m_txtDiscardMinutes ||
           object == m_txtSSN || object == m_txtHistoryItems || object == m_txtBookmarks;
}

bool frmOptions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        const char* help = nullptr;
        if (watched == m_txtHistoryItems)
            help = kHelpHistoryItems;
        else if (watched == m_txtBookmarks)
            help = kHelpBookmarks;
        else if (watched == m_txtIdleMinutes)
            help = kHelpIdleMinutes;
        else if (watched == m_txtFreezeMinutes)
            help = kHelpFreezeMinutes;
        else if (watched == m_txtDiscardMinutes)
            help = kHelpDiscardMinutes;
        else if (watched == m_txtSSN)
            help = kHelpSSN;
        else if (watched == m_lstLinks)
            help = kHelpLinks;
        else if (watched == m_searchEngines->lstEngines())
            help = kHelpSearchEngines;
        if (help) m_lblHelp->setText(QLatin1String(help));
    } else if (event->type() == QEvent::FocusOut && IsCheckedField(watched)) {
        // Leaving the field, not the window: a message box, a menu or another program takes the
        // focus only for a while. Cancel closes without looking at the fields.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !m_restoring &&
            QApplication::focusWidget() != m_cmdCancel)
            LeftField(static_cast<QLineEdit*>(watched));
    }
    return QDialog::eventFilter(watched, event);
}

void frmOptions::LeftField(QLineEdit* field) {
    // Checked once the focus change is over: a message box opened in the middle of one would
    // leave the focus (and a pressed button) in a muddle.
    m_pendingLeave = field;
    QMetaObject::invokeMethod(
        this,
        [this, field] {
            if (m_pendingLeave != field) return; // judged meanwhile (Apply, OK)
            m_pendingLeave = nullptr;
            if (isVisible()) ValidateField(field);
        },
        Qt::QueuedConnection);
}

bool frmOptions::ValidateField(QLineEdit* field) {
    if (field == m_txtSSN) {
        const SsnCheck check = CheckSSN(m_txtSSN->text());
        if (!check.cleaned.isEmpty() && check.cleaned != m_txtSSN->text()) m_txtSSN->setText(check.cleaned);
        if (check.error.isEmpty()) return true;
        MsgBox(check.error, msgbox::OKOnly, msgbox::Exclamation, QLatin1String(kSsnTitle));
        FocusBack(field);
        return false;
    }
    const NumberField* rule = field == m_txtIdleMinutes      ? &kIdleMinutes
                              : field == m_txtFreezeMinutes  ? &kFreezeMinutes
                              : field == m_txtDiscardMinutes ? &kDiscardMinutes
                              : field == m_txtBookmarks      ? &kBookmarks
                              : field == m_txtHistoryItems   ? &kHistoryItems
                                                             : nullptr;
    if (!rule || AcceptNumber(*rule, field->text())) return true;
    // The system's beep stands for the old short 500 Hz tone.
    QApplication::beep();
    MsgBox(QLatin1String(rule->message), msgbox::OKOnly, msgbox::Exclamation, QLatin1String(rule->title));
    FocusBack(field);
    return false;
}

void frmOptions::FocusBack(QLineEdit* field) {
    m_restoring = true;
    if (QWidget* page = PageOf(m_tabs, field)) m_tabs->setCurrentWidget(page);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    m_pendingLeave = nullptr;
    m_restoring = false;
}

bool frmOptions::ValidateAll() {
    m_pendingLeave = nullptr;
    for (QLineEdit* field : {m_txtIdleMinutes, m_txtFreezeMinutes, m_txtDiscardMinutes, m_txtSSN,
                             m_txtHistoryItems, m_txtBookmarks})
        if (!ValidateField(field)) return false;
    return true;
}

// ----- buttons --------------------------------------------------------------------------------

bool frmOptions::cmdApply_Click() {
    if (!ValidateAll()) return false;
    m_cmdApply->setEnabled(false);
    const bool stored = Errors::Guarded(QLatin1String(kModule), QStringLiteral("cmdApply_Click"), [this] {
        StoreTransaction transaction;
        QList<QPair<Link*, bool>> before; // each Link's HidePopUps as the store has it
        m_options->SetBeepOnPopUp(m_chkBeep->isChecked());
        if (m_links) {
            for (int row = 0; row < m_lstLinks->count(); ++row) {
                const QListWidgetItem* item = m_lstLinks->item(row);
                Link* link = m_links->Item(item->data(kLinkIndexRole).toInt());
                if (!link) continue;
                before.append({link, link->HidePopUps()});
                link->SetHidePopUps(item->checkState() == Qt::Checked);
                if (link->Slot() <= 0) continue; // not stored yet: saved with the Link
                modGeneral::SaveValue(m_links->User(),
                                      stored::link::ValueName(stored::link::kHidePopUps.name, link->Slot()),
                                      modGeneral::BoolText(link->HidePopUps()));
            }
        }
        int value = 0;
        AcceptNumber(kBookmarks, m_txtBookmarks->text(), &value);
        m_options->SetMaxBookmarkItems(value);
        AcceptNumber(kHistoryItems, m_txtHistoryItems->text(), &value);
        m_options->SetMaxHistoryItems(value);
        AcceptNumber(kIdleMinutes, m_txtIdleMinutes->text(), &value);
        m_options->SetAutoLogOutMts(value);
        AcceptNumber(kFreezeMinutes, m_txtFreezeMinutes->text(), &value);
        m_options->SetFreezeAfterMinutes(value);
        AcceptNumber(kDiscardMinutes, m_txtDiscardMinutes->text(), &value);
        m_options->SetDiscardAfterMinutes(value);
        m_options->SetSSN(m_txtSSN->text());
        if (m_searchEngines->Engines() != SearchEngines::Load(m_options->User()))
            SearchEngines::Save(m_options->User(), m_searchEngines->Engines());
        transaction.CommitOrThrow(QStringLiteral("Your options"), [&] {
            for (const auto& [link, hide] : before)
                link->SetHidePopUps(hide);
            *m_options = cOptions(m_options->User());
        });
    });
    if (stored)
        emit Applied();
    else
        m_cmdApply->setEnabled(true); // nothing was kept: the changes can be applied again
    return stored;
}

void frmOptions::cmdOK_Click() {
    if (m_cmdApply->isEnabled() && !cmdApply_Click()) return;
    accept();
}

void frmOptions::SetAllChecked(bool checked) {
    for (int row = 0; row < m_lstLinks->count(); ++row)
        m_lstLinks->item(row)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    Changed();
}

void frmOptions::cmdCheckAll_Click() {
    SetAllChecked(true);
}

void frmOptions::cmdClearAll_Click() {
    SetAllChecked(false);
}
