#include "browse/AddressBox.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTimer>

#include "core/AppState.h"
#include "core/Errors.h"
#include "core/UrlUtils.h"
#include "users/UserOptions.h"

namespace {
const QString kModule = QStringLiteral("Bramblegate.frmBrowse");
constexpr int kMaxMatchRows = 12;

int MaxHistoryItems() {
    return App().Options ? App().Options->MaxHistoryItems() : 100;
}

bool IsEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}
} // namespace

AddressBox::AddressBox(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("cmbAddress"));
    setEditable(true);
    // The box completes through its own match list; the combo's inline completion and its
    // habit of adding whatever was entered would fight it.
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    setDuplicatesEnabled(false);
    setMaxVisibleItems(20);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(20);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCurrentIndex(-1);

    // Parented to the top-level window when first shown, so that it can lie over the page.
    m_matchList = new QListWidget;
    m_matchList->setObjectName(QStringLiteral("lstMatch"));
    m_matchList->setFocusPolicy(Qt::NoFocus);
    m_matchList->setFrameShape(QFrame::Box);
    m_matchList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_matchList->setTextElideMode(Qt::ElideRight);
    m_matchList->setUniformItemSizes(true);
    m_matchList->hide();

    connect(lineEdit(), &QLineEdit::textChanged, this, &AddressBox::OnAddressChange);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { m_userEdited = true; });
    connect(this, qOverload<int>(&QComboBox::activated), this, &AddressBox::OnAddressClick);
    connect(m_matchList, &QListWidget::itemClicked, this, &AddressBox::OnMatchMouseUp);
}

AddressBox::~AddressBox() {
    delete m_matchList.data();
}

QListWidget* AddressBox::MatchList() const {
    return m_matchList;
}

// --- what the browse window calls

void AddressBox::SetAddressText(const QString& url) {
    m_matching = false;
    HideMatches();
    m_userEdited = false;
    lineEdit()->setText(core::DisplayUrl(url));
    lineEdit()->setCursorPosition(0); // the host, not the end of a long address
}

QString AddressBox::AddressText() const {
    return lineEdit()->text();
}

bool AddressBox::IsBeingEdited() const {
    return m_userEdited && (hasFocus() || (m_matchList && !m_matchList->isHidden()));
}

void AddressBox::HideMatches() {
    if (m_matchList) m_matchList->hide();
}

void AddressBox::FocusAndSelectAll() {
    HideMatches();
    setFocus(Qt::ShortcutFocusReason);
    lineEdit()->selectAll();
}

// --- known addresses

void AddressBox::AddUrlItem(const QString& url) {
    const AddressList::Change change = m_urls.AddUrlItem(url, MaxHistoryItems());
    if (!change.added) return;
    ChangeItems([&] {
        if (change.droppedFirst && count() > 0) removeItem(0);
        addItem(url);
    });
}

void AddressBox::LoadVisitedUrls() {
    Errors::Guarded(kModule, QStringLiteral("LoadVisitedUrls"), [this] {
        m_urls.LoadVisitedUrls(App().CurrentUser, MaxHistoryItems());
        SyncItems();
    });
}

void AddressBox::GetTypedURLs() {
    Errors::Guarded(kModule, QStringLiteral("GetTypedURLs"), [this] {
        m_urls.GetTypedURLs(MaxHistoryItems(), QDir::homePath());
        SyncItems();
    });
}

void AddressBox::SaveVisitedUrls() {
    Errors::Guarded(kModule, QStringLiteral("SaveVisitedUrls"),
                    [this] { m_urls.SaveVisitedUrls(App().CurrentUser); });
}

void AddressBox::ChangeItems(const std::function<void()>& change) {
    QLineEdit* edit = lineEdit();
    const QString text = edit->text();
    const int cursor = edit->cursorPosition();
    const int selectionStart = edit->selectionStart();
    const int selectionLength = int(edit->selectedText().size());
    const QSignalBlocker blockBox(this);
    const QSignalBlocker blockEdit(edit);
    change();
    // The combo puts its current item into the box whenever the items move; the box keeps
    // showing what it showed.
    setCurrentIndex(-1);
    edit->setText(text);
    if (selectionLength > 0)
        edit->setSelection(selectionStart, selectionLength);
    else
        edit->setCursorPosition(cursor);
}

void AddressBox::SyncItems() {
    ChangeItems([this] {
        clear();
        addItems(m_urls.Urls());
    });
}

// --- the drop-down

void AddressBox::showPopup() {
    HideMatches();
    m_matching = false;
    m_choosingFromDropDown = true;
    QComboBox::showPopup();
}

void AddressBox::hidePopup() {
    QComboBox::hidePopup();
    // A choice made in the popup is reported right after it closes; later activations
    // (arrow keys on the closed box, an edit that ends on a known address) choose nothing.
    QTimer::singleShot(0, this, [this] { m_choosingFromDropDown = false; });
}

void AddressBox::OnAddressClick(int index) {
    if (!m_choosingFromDropDown || index < 0) return;
    m_choosingFromDropDown = false;
    const QString url = itemText(index);
    HideMatches();
    m_matching = false;
    if (lineEdit()->text() != url) lineEdit()->setText(url);
    Open(url, kModeKeep);
}

// --- typing

void AddressBox::OnAddressChange(const QString& text) {
    if (m_inChange) return;
    const QString shown = core::DisplayUrl(text);
    if (shown != text) {
        const QScopedValueRollback<bool> guard(m_inChange, true);
        lineEdit()->setText(shown);
    }
    if (!m_matching) return;
    m_typed = shown;
    MatchTypedAddress();
}

void AddressBox::MatchTypedAddress() {
    m_matching = false;
    const QStringList matches = m_urls.MatchTypedAddress(lineEdit()->text());
    if (matches.isEmpty())
        HideMatches();
    else
        ShowMatches(matches);
    m_matching = true;
}

void AddressBox::ShowMatches(const QStringList& matches) {
    if (!m_matchList) return;
    m_matchList->clear();
    m_matchList->addItems(matches);
    m_matchList->setCurrentRow(-1);
    m_matchList->clearSelection();
    PlaceMatches();
    m_matchList->raise();
    m_matchList->show();
}

void AddressBox::PlaceMatches() {
    QWidget* host = window();
    QPoint topLeft;
    if (host != this) {
        if (m_matchList->parentWidget() != host) m_matchList->setParent(host);
        topLeft = mapTo(host, QPoint(0, height()));
    } else {
        // A box that is a window of its own: the list becomes a small window that never
        // takes the focus.
        if (!m_matchList->isWindow() || !(m_matchList->windowFlags() & Qt::ToolTip)) {
            m_matchList->setParent(nullptr, Qt::ToolTip | Qt::FramelessWindowHint);
            m_matchList->setAttribute(Qt::WA_ShowWithoutActivating);
        }
        topLeft = mapToGlobal(QPoint(0, height()));
    }
    const int rows = qMax(1, qMin(m_matchList->count(), kMaxMatchRows));
    int rowHeight = m_matchList->sizeHintForRow(0);
    if (rowHeight <= 0) rowHeight = fontMetrics().height() + 4;
    m_matchList->setGeometry(topLeft.x(), topLeft.y(), width(),
                             rows * rowHeight + 2 * m_matchList->frameWidth());
}

void AddressBox::resizeEvent(QResizeEvent* event) {
    QComboBox::resizeEvent(event);
    if (m_matchList && !m_matchList->isHidden()) PlaceMatches();
}

// The box has the focus (its line edit only shows the text), so the keys come here first;
// what the box does not use goes on to the combo and its line edit.
bool AddressBox::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && ClaimsKey(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QComboBox::event(event);
}

void AddressBox::keyPressEvent(QKeyEvent* event) {
    if (OnAddressKeyDown(event) || OnAddressKeyPress(event)) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void AddressBox::keyReleaseEvent(QKeyEvent* event) {
    QComboBox::keyReleaseEvent(event);
    OnAddressKeyUp();
}

void AddressBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    OnAddressLostFocus();
}

// The keys the box handles itself, which window shortcuts must not take away from it.
bool AddressBox::ClaimsKey(const QKeyEvent* event) const {
    const int key = event->key();
    const bool shown = m_matchList && !m_matchList->isHidden();
    if (event->modifiers() & Qt::ControlModifier)
        return key == Qt::Key_V || key == Qt::Key_C || key == Qt::Key_X || key == Qt::Key_Z || IsEnter(key);
    if (IsEnter(key)) return true;
    return shown && (key == Qt::Key_Escape || key == Qt::Key_Up || key == Qt::Key_Down);
}

bool AddressBox::OnAddressKeyDown(QKeyEvent* event) {
    const int key = event->key();
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool shown = m_matchList && !m_matchList->isHidden();
    if (ctrl) {
        switch (key) {
        case Qt::Key_V:
            lineEdit()->paste();
            return true;
        case Qt::Key_C:
            lineEdit()->copy();
            return true;
        case Qt::Key_X:
            lineEdit()->cut();
            return true;
        case Qt::Key_Z:
            lineEdit()->undo();
            return true;
        default:
            break;
        }
    }
    // Editing keys leave the switch alone: the change they make is looked up as usual.
    if (key == Qt::Key_Backspace || key == Qt::Key_Control || key == Qt::Key_Delete) return false;
    if (ctrl && IsEnter(key)) {
        const QString completed = core::CompleteUrl(lineEdit()->text());
        HideMatches();
        m_matching = false;
        lineEdit()->setText(completed);
        Open(completed, kModeTyped);
        return true;
    }
    if (shown && m_matchList->count() > 0 && key == Qt::Key_Down) {
        const int row = m_matchList->currentRow();
        if (row < m_matchList->count() - 1) {
            m_matchList->setCurrentRow(row + 1);
            PutMatchText(m_matchList->item(row + 1)->text());
        }
        return true;
    }
    if (shown && m_matchList->count() > 0 && key == Qt::Key_Up) {
        const int row = m_matchList->currentRow();
        if (row <= 0) {
            // Past the first match: back to exactly what was typed, nothing highlighted.
            m_matchList->setCurrentRow(-1);
            m_matchList->clearSelection();
            PutMatchText(m_typed);
        } else {
            m_matchList->setCurrentRow(row - 1);
            PutMatchText(m_matchList->item(row - 1)->text());
        }
        return true;
    }
    if (shown && IsEnter(key)) {
        // The key press that follows opens what the box holds.
        m_matching = false;
        HideMatches();
        return false;
    }
    if (shown && key == Qt::Key_Escape) {
        m_matching = false;
        HideMatches();
        return true;
    }
    // Moving the caret, function keys and the like look nothing up; a typed character turns
    // matching on again in the key press below.
    if (!shown) m_matching = false;
    return false;
}

bool AddressBox::OnAddressKeyPress(QKeyEvent* event) {
    const int key = event->key();
    if (IsEnter(key)) {
        const QString text = lineEdit()->text();
        if (!text.isEmpty()) Open(text, kModeTyped);
        return true;
    }
    const QString typed = event->text();
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete || (!typed.isEmpty() && typed.at(0).isPrint()))
        m_matching = true;
    return false;
}

void AddressBox::OnAddressKeyUp() {
    if (!m_matching) m_typed = lineEdit()->text();
}

void AddressBox::OnAddressLostFocus() {
    const QWidget* to = QApplication::focusWidget();
    if (to && m_matchList && (to == m_matchList || m_matchList->isAncestorOf(to))) return;
    HideMatches();
}

void AddressBox::PutMatchText(const QString& text) {
    m_matching = false;
    lineEdit()->setText(text);
    lineEdit()->setCursorPosition(int(text.size()));
    m_matching = true;
}

void AddressBox::OnMatchMouseUp(QListWidgetItem* item) {
    if (!item) return;
    const QString url = item->text();
    m_matching = false;
    lineEdit()->setText(url);
    HideMatches();
    Open(url, kModeTyped);
}

void AddressBox::Open(const QString& url, int mode) {
    m_userEdited = false;
    emit NavigateRequested(url, mode);
}
