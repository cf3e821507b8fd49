#include "frame/OptionsDialog.h"

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
#include "users/UserOptions.h"

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

OptionsDialog::OptionsDialog(Links* links, QWidget* parent) : QDialog(parent), m_links(links) {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QString::fromLatin1(ProductName()) + QStringLiteral(" Options"));
    m_options = App().Options;
    if (!m_options) {
        m_ownOptions = std::make_unique<UserOptions>(App().CurrentUser);
        m_options = m_ownOptions.get();
    }
    BuildLayout();
    Fill();
    m_applyButton->setEnabled(false);
    m_tabs->setCurrentIndex(0);

    // Connected after filling: only the user's changes count.
    for (QLineEdit* box : {m_idleMinutesEdit, m_freezeMinutesEdit, m_discardMinutesEdit, m_ssnEdit,
                           m_historyItemsEdit, m_bookmarksEdit})
        connect(box, &QLineEdit::textChanged, this, &OptionsDialog::Changed);
    connect(m_beepCheck, &QCheckBox::toggled, this, &OptionsDialog::Changed);
    connect(m_linksList, &QListWidget::itemChanged, this, &OptionsDialog::Changed);
    connect(m_searchEngines, &SearchEngineEditor::Changed, this, &OptionsDialog::Changed);
}

OptionsDialog::~OptionsDialog() = default;

void OptionsDialog::BuildLayout() {
    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("tabOptions"));

    // General: the lock and the SSN.
    auto* general = new QWidget;
    auto* generalForm = new QFormLayout(general);
    m_idleMinutesEdit = NumberBox("txtIdleMinutes");
    generalForm->addRow(QStringLiteral("Automatic &Logout after (minutes):"), m_idleMinutesEdit);
    m_freezeMinutesEdit = NumberBox("txtFreezeMinutes");
    generalForm->addRow(QStringLiteral("&Pause a Link not shown after (minutes):"), m_freezeMinutesEdit);
    m_discardMinutesEdit = NumberBox("txtDiscardMinutes");
    generalForm->addRow(QStringLiteral("Let a Link's page &go after (minutes):"), m_discardMinutesEdit);
    m_ssnEdit = new QLineEdit;
    m_ssnEdit->setObjectName(QStringLiteral("txtSSN"));
    m_ssnEdit->setMaxLength(20);
    m_ssnEdit->setMaximumWidth(160);
    generalForm->addRow(QStringLiteral("&Social Security Number:"), m_ssnEdit);
    m_tabs->addTab(general, QStringLiteral("&General"));

    // Pop-ups: the beep and the Links.
    auto* popups = new QWidget;
    auto* popupsLayout = new QVBoxLayout(popups);
    m_beepCheck = new QCheckBox(QStringLiteral("&Beep when a PopUp window is blocked"));
    m_beepCheck->setObjectName(QStringLiteral("chkBeepOnPopUp"));
    popupsLayout->addWidget(m_beepCheck);
    auto* listLabel = new QLabel(QStringLiteral("Block PopUp windows for these &Links:"));
    popupsLayout->addWidget(listLabel);
    m_linksList = new QListWidget;
    m_linksList->setObjectName(QStringLiteral("lstLinks"));
    listLabel->setBuddy(m_linksList);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(m_linksList, 1);
    auto* listButtons = new QVBoxLayout;
    m_checkAllButton = new QPushButton(QStringLiteral("C&heck All"));
    m_checkAllButton->setObjectName(QStringLiteral("cmdCheckAll"));
    m_clearAllButton = new QPushButton(QStringLiteral("Cl&ear All"));
    m_clearAllButton->setObjectName(QStringLiteral("cmdClearAll"));
    listButtons->addWidget(m_checkAllButton);
    listButtons->addWidget(m_clearAllButton);
    listButtons->addStretch();
    listRow->addLayout(listButtons);
    popupsLayout->addLayout(listRow);
    m_tabs->addTab(popups, QStringLiteral("&Pop-Ups"));

    // History: the list lengths.
    auto* history = new QWidget;
    auto* historyForm = new QFormLayout(history);
    m_historyItemsEdit = NumberBox("txtHistoryItems");
    historyForm->addRow(QStringLiteral("&History items:"), m_historyItemsEdit);
    m_bookmarksEdit = NumberBox("txtBookmarks");
    historyForm->addRow(QStringLiteral("Boo&kmarks:"), m_bookmarksEdit);
    m_tabs->addTab(history, QStringLiteral("H&istory"));

    // Search: the engines of the search pane.
    m_searchEngines = new SearchEngineEditor;
    m_tabs->addTab(m_searchEngines, QStringLiteral("Sea&rch"));

    m_helpLabel = new QLabel;
    m_helpLabel->setObjectName(QStringLiteral("lblHelp"));
    m_helpLabel->setWordWrap(true);
    m_helpLabel->setMinimumHeight(3 * fontMetrics().height());
    m_helpLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_helpLabel->setFrameShape(QFrame::StyledPanel);
    m_helpLabel->setMargin(4);

    using dialogbuttons::Enter;
    m_helpButton = dialogbuttons::Make(QStringLiteral("Help"), "cmdHelp", Enter::Plain);
    m_okButton = dialogbuttons::Make(QStringLiteral("OK"), "cmdOK", Enter::Default);
    m_cancelButton = dialogbuttons::Make(QStringLiteral("Cancel"), "cmdCancel", Enter::Plain);
    m_applyButton = dialogbuttons::Make(QStringLiteral("&Apply"), "cmdApply", Enter::Plain);
    auto* buttons = dialogbuttons::Row({m_helpButton}, {m_okButton, m_cancelButton, m_applyButton});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(m_helpLabel);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    for (QWidget* field :
         std::initializer_list<QWidget*>{m_idleMinutesEdit, m_freezeMinutesEdit, m_discardMinutesEdit,
                                         m_ssnEdit, m_linksList, m_historyItemsEdit, m_bookmarksEdit})
        field->installEventFilter(this);
    connect(m_searchEngines, &SearchEngineEditor::ListFocused, this,
            [this] { m_helpLabel->setText(QLatin1String(kHelpSearchEngines)); });

    connect(m_okButton, &QPushButton::clicked, this, &OptionsDialog::OnOkClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_applyButton, &QPushButton::clicked, this, &OptionsDialog::OnApplyClicked);
    connect(m_checkAllButton, &QPushButton::clicked, this, &OptionsDialog::OnCheckAllClicked);
    connect(m_clearAllButton, &QPushButton::clicked, this, &OptionsDialog::OnClearAllClicked);
    helprequest::Bind(this, m_helpButton, QLatin1String(kHelpTopic));
}

void OptionsDialog::Fill() {
    if (m_links) {
        for (const Link* link : *m_links) {
            if (link->Deleted()) continue;
            auto* item = new QListWidgetItem(link->ShownCaption(), m_linksList);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(link->HidePopUps() ? Qt::Checked : Qt::Unchecked);
            item->setData(kLinkIndexRole, link->Index());
        }
    }
    m_beepCheck->setChecked(m_options->BeepOnPopUp());
    m_historyItemsEdit->setText(QString::number(m_options->MaxHistoryItems()));
    m_bookmarksEdit->setText(QString::number(m_options->MaxBookmarkItems()));
    m_idleMinutesEdit->setText(QString::number(m_options->AutoLogOutMts()));
    m_freezeMinutesEdit->setText(QString::number(m_options->FreezeAfterMinutes()));
    m_discardMinutesEdit->setText(QString::number(m_options->DiscardAfterMinutes()));
    m_ssnEdit->setText(m_options->SSN());
    m_searchEngines->SetEngines(SearchEngines::Load(m_options->User()));
}

void OptionsDialog::Changed() {
    m_applyButton->setEnabled(true);
}

// ----- leaving a field ------------------------------------------------------------------------

bool OptionsDialog::IsCheckedField(QObject* object) const {
    return object == m_idleMinutesEdit || object == m_freezeMinutesEdit || object == m_discardMinutesEdit ||
           object == m_ssnEdit || object == m_historyItemsEdit || object == m_bookmarksEdit;
}

bool OptionsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        const char* help = nullptr;
        if (watched == m_historyItemsEdit)
            help = kHelpHistoryItems;
        else if (watched == m_bookmarksEdit)
            help = kHelpBookmarks;
        else if (watched == m_idleMinutesEdit)
            help = kHelpIdleMinutes;
        else if (watched == m_freezeMinutesEdit)
            help = kHelpFreezeMinutes;
        else if (watched == m_discardMinutesEdit)
            help = kHelpDiscardMinutes;
        else if (watched == m_ssnEdit)
            help = kHelpSSN;
        else if (watched == m_linksList)
            help = kHelpLinks;
        if (help) m_helpLabel->setText(QLatin1String(help));
    } else if (event->type() == QEvent::FocusOut && IsCheckedField(watched)) {
        // Leaving the field, not the window: a message box, a menu or another program takes the
        // focus only for a while. Cancel closes without looking at the fields.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !m_restoring &&
            QApplication::focusWidget() != m_cancelButton)
            LeftField(static_cast<QLineEdit*>(watched));
    }
    return QDialog::eventFilter(watched, event);
}

void OptionsDialog::LeftField(QLineEdit* field) {
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

bool OptionsDialog::ValidateField(QLineEdit* field) {
    if (field == m_ssnEdit) {
        const SsnCheck check = CheckSSN(m_ssnEdit->text());
        if (!check.cleaned.isEmpty() && check.cleaned != m_ssnEdit->text()) m_ssnEdit->setText(check.cleaned);
        if (check.error.isEmpty()) return true;
        MsgBox(check.error, msgbox::OKOnly, msgbox::Exclamation, QLatin1String(kSsnTitle));
        FocusBack(field);
        return false;
    }
    const NumberField* rule = field == m_idleMinutesEdit      ? &kIdleMinutes
                              : field == m_freezeMinutesEdit  ? &kFreezeMinutes
                              : field == m_discardMinutesEdit ? &kDiscardMinutes
                              : field == m_bookmarksEdit      ? &kBookmarks
                              : field == m_historyItemsEdit   ? &kHistoryItems
                                                              : nullptr;
    if (!rule || AcceptNumber(*rule, field->text())) return true;
    // The system's beep stands for the old short 500 Hz tone.
    QApplication::beep();
    MsgBox(QLatin1String(rule->message), msgbox::OKOnly, msgbox::Exclamation, QLatin1String(rule->title));
    FocusBack(field);
    return false;
}

void OptionsDialog::FocusBack(QLineEdit* field) {
    m_restoring = true;
    if (QWidget* page = PageOf(m_tabs, field)) m_tabs->setCurrentWidget(page);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    m_pendingLeave = nullptr;
    m_restoring = false;
}

bool OptionsDialog::ValidateAll() {
    m_pendingLeave = nullptr;
    for (QLineEdit* field : {m_idleMinutesEdit, m_freezeMinutesEdit, m_discardMinutesEdit, m_ssnEdit,
                             m_historyItemsEdit, m_bookmarksEdit})
        if (!ValidateField(field)) return false;
    return true;
}

// ----- buttons --------------------------------------------------------------------------------

bool OptionsDialog::OnApplyClicked() {
    if (!ValidateAll()) return false;
    m_applyButton->setEnabled(false);
    const bool stored = Errors::Guarded(QLatin1String(kModule), QStringLiteral("cmdApply_Click"), [this] {
        StoreTransaction transaction;
        QList<QPair<Link*, bool>> before; // each Link's HidePopUps as the store has it
        m_options->SetBeepOnPopUp(m_beepCheck->isChecked());
        if (m_links) {
            for (int row = 0; row < m_linksList->count(); ++row) {
                const QListWidgetItem* item = m_linksList->item(row);
                Link* link = m_links->Item(item->data(kLinkIndexRole).toInt());
                if (!link) continue;
                before.append({link, link->HidePopUps()});
                link->SetHidePopUps(item->checkState() == Qt::Checked);
                if (link->Slot() <= 0) continue; // not stored yet: saved with the Link
                core::SaveValue(m_links->User(),
                                stored::link::ValueName(stored::link::kHidePopUps.name, link->Slot()),
                                core::BoolText(link->HidePopUps()));
            }
        }
        int value = 0;
        AcceptNumber(kBookmarks, m_bookmarksEdit->text(), &value);
        m_options->SetMaxBookmarkItems(value);
        AcceptNumber(kHistoryItems, m_historyItemsEdit->text(), &value);
        m_options->SetMaxHistoryItems(value);
        AcceptNumber(kIdleMinutes, m_idleMinutesEdit->text(), &value);
        m_options->SetAutoLogOutMts(value);
        AcceptNumber(kFreezeMinutes, m_freezeMinutesEdit->text(), &value);
        m_options->SetFreezeAfterMinutes(value);
        AcceptNumber(kDiscardMinutes, m_discardMinutesEdit->text(), &value);
        m_options->SetDiscardAfterMinutes(value);
        m_options->SetSSN(m_ssnEdit->text());
        if (m_searchEngines->Engines() != SearchEngines::Load(m_options->User()))
            SearchEngines::Save(m_options->User(), m_searchEngines->Engines());
        transaction.CommitOrThrow(QStringLiteral("Your options"), [&] {
            for (const auto& [link, hide] : before)
                link->SetHidePopUps(hide);
            *m_options = UserOptions(m_options->User());
        });
    });
    if (stored)
        emit Applied();
    else
        m_applyButton->setEnabled(true); // nothing was kept: the changes can be applied again
    return stored;
}

void OptionsDialog::OnOkClicked() {
    if (m_applyButton->isEnabled() && !OnApplyClicked()) return;
    accept();
}

void OptionsDialog::SetAllChecked(bool checked) {
    for (int row = 0; row < m_linksList->count(); ++row)
        m_linksList->item(row)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    Changed();
}

void OptionsDialog::OnCheckAllClicked() {
    SetAllChecked(true);
}

void OptionsDialog::OnClearAllClicked() {
    SetAllChecked(false);
}
