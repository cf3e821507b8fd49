#include "frame/FindBar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

#include "browse/engine/BrowserPane.h"

FindBar::FindBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("FindBar"));
    // No mnemonic: Alt+F is the File menu's, and Ctrl+F brings the keyboard here anyway.
    auto* label = new QLabel(QStringLiteral("Find:"));
    m_findEdit = new QLineEdit;
    m_findEdit->setObjectName(QStringLiteral("txtFind"));
    m_findEdit->setMaximumWidth(260);
    m_findEdit->setClearButtonEnabled(true);
    label->setBuddy(m_findEdit);
    m_previousButton = new QToolButton;
    m_previousButton->setObjectName(QStringLiteral("cmdFindPrevious"));
    m_previousButton->setArrowType(Qt::UpArrow);
    m_previousButton->setToolTip(QStringLiteral("Previous (Shift+F3)"));
    m_nextButton = new QToolButton;
    m_nextButton->setObjectName(QStringLiteral("cmdFindNext"));
    m_nextButton->setArrowType(Qt::DownArrow);
    m_nextButton->setToolTip(QStringLiteral("Next (F3)"));
    m_matchCaseCheck = new QCheckBox(QStringLiteral("Match &case"));
    m_matchCaseCheck->setObjectName(QStringLiteral("chkMatchCase"));
    m_statusLabel = new QLabel;
    m_statusLabel->setObjectName(QStringLiteral("lblFindStatus"));
    m_closeButton = new QToolButton;
    m_closeButton->setObjectName(QStringLiteral("cmdFindClose"));
    m_closeButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_closeButton->setAutoRaise(true);
    m_closeButton->setToolTip(QStringLiteral("Close (Esc)"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(label);
    layout->addWidget(m_findEdit);
    layout->addWidget(m_previousButton);
    layout->addWidget(m_nextButton);
    layout->addWidget(m_matchCaseCheck);
    layout->addWidget(m_statusLabel);
    layout->addStretch();
    layout->addWidget(m_closeButton);

    m_findEdit->installEventFilter(this);
    // Typing looks for the text as it grows, from where the last search stopped.
    connect(m_findEdit, &QLineEdit::textEdited, this, [this] { Find(false); });
    connect(m_nextButton, &QToolButton::clicked, this, &FindBar::FindNext);
    connect(m_previousButton, &QToolButton::clicked, this, &FindBar::FindPrevious);
    connect(m_matchCaseCheck, &QCheckBox::toggled, this, [this] { Find(false); });
    connect(m_closeButton, &QToolButton::clicked, this, &FindBar::CloseBar);
    hide();
}

void FindBar::Attach(BrowserPane* pane) {
    if (m_pane == pane) return;
    m_pane = pane;
    ++m_serial;
    ShowResult(true);
}

void FindBar::OpenBar() {
    show();
    m_findEdit->setFocus(Qt::ShortcutFocusReason);
    m_findEdit->selectAll();
}

void FindBar::FindNext() {
    if (m_findEdit->text().isEmpty()) {
        OpenBar();
        return;
    }
    Find(false);
}

void FindBar::FindPrevious() {
    if (m_findEdit->text().isEmpty()) {
        OpenBar();
        return;
    }
    Find(true);
}

void FindBar::CloseBar() {
    ++m_serial;
    // The empty text ends the search and takes the highlight off the page.
    if (m_pane) m_pane->FindText(QString(), false, false, {});
    ShowResult(true);
    hide();
    if (m_pane && m_pane->Widget()) m_pane->Widget()->setFocus(Qt::OtherFocusReason);
}

void FindBar::Find(bool backward) {
    if (m_provider) {
        BrowserPane* current = m_provider();
        if (current != m_pane) {
            // The page left behind loses its marks.
            if (m_pane) m_pane->FindText(QString(), false, false, {});
            Attach(current);
        }
    }
    const QString text = m_findEdit->text();
    const int serial = ++m_serial;
    if (!m_pane || text.isEmpty()) {
        if (m_pane) m_pane->FindText(QString(), false, false, {});
        ShowResult(text.isEmpty());
        return;
    }
    QPointer<FindBar> self(this);
    m_pane->FindText(text, backward, m_matchCaseCheck->isChecked(), [self, serial](bool found) {
        if (!self || serial != self->m_serial) return;
        self->ShowResult(found);
        emit self->Searched(found);
    });
}

void FindBar::ShowResult(bool found) {
    m_lastFound = found;
    m_statusLabel->setText(found ? QString() : QLatin1String(kNotFound));
    m_findEdit->setStyleSheet(found ? QString() : QStringLiteral("QLineEdit { background: #fbdada; }"));
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_findEdit && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (key->modifiers() & Qt::ShiftModifier)
                FindPrevious();
            else
                FindNext();
            return true;
        case Qt::Key_Escape:
            CloseBar();
            return true;
        case Qt::Key_F3:
            if (key->modifiers() & Qt::ShiftModifier)
                FindPrevious();
            else
                FindNext();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
