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
    m_txtFind = new QLineEdit;
    m_txtFind->setObjectName(QStringLiteral("txtFind"));
    m_txtFind->setMaximumWidth(260);
    m_txtFind->setClearButtonEnabled(true);
    label->setBuddy(m_txtFind);
    m_cmdPrevious = new QToolButton;
    m_cmdPrevious->setObjectName(QStringLiteral("cmdFindPrevious"));
    m_cmdPrevious->setArrowType(Qt::UpArrow);
    m_cmdPrevious->setToolTip(QStringLiteral("Previous (Shift+F3)"));
    m_cmdNext = new QToolButton;
    m_cmdNext->setObjectName(QStringLiteral("cmdFindNext"));
    m_cmdNext->setArrowType(Qt::DownArrow);
    m_cmdNext->setToolTip(QStringLiteral("Next (F3)"));
    m_chkMatchCase = new QCheckBox(QStringLiteral("Match &case"));
    m_chkMatchCase->setObjectName(QStringLiteral("chkMatchCase"));
    m_lblStatus = new QLabel;
    m_lblStatus->setObjectName(QStringLiteral("lblFindStatus"));
    m_cmdClose = new QToolButton;
    m_cmdClose->setObjectName(QStringLiteral("cmdFindClose"));
    m_cmdClose->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_cmdClose->setAutoRaise(true);
    m_cmdClose->setToolTip(QStringLiteral("Close (Esc)"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addWidget(label);
    layout->addWidget(m_txtFind);
    layout->addWidget(m_cmdPrevious);
    layout->addWidget(m_cmdNext);
    layout->addWidget(m_chkMatchCase);
    layout->addWidget(m_lblStatus);
    layout->addStretch();
    layout->addWidget(m_cmdClose);

    m_txtFind->installEventFilter(this);
    // Typing looks for the text as it grows, from where the last search stopped.
    connect(m_txtFind, &QLineEdit::textEdited, this, [this] { Find(false); });
    connect(m_cmdNext, &QToolButton::clicked, this, &FindBar::FindNext);
    connect(m_cmdPrevious, &QToolButton::clicked, this, &FindBar::FindPrevious);
    connect(m_chkMatchCase, &QCheckBox::toggled, this, [this] { Find(false); });
    connect(m_cmdClose, &QToolButton::clicked, this, &FindBar::CloseBar);
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
    m_txtFind->setFocus(Qt::ShortcutFocusReason);
    m_txtFind->selectAll();
}

void FindBar::FindNext() {
    if (m_txtFind->text().isEmpty()) {
        OpenBar();
        return;
    }
    Find(false);
}

void FindBar::FindPrevious() {
    if (m_txtFind->text().isEmpty()) {
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
    if (m_pane && m_pane->widget()) m_pane->widget()->setFocus(Qt::OtherFocusReason);
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
    const QString text = m_txtFind->text();
    const int serial = ++m_serial;
    if (!m_pane || text.isEmpty()) {
        if (m_pane) m_pane->FindText(QString(), false, false, {});
        ShowResult(text.isEmpty());
        return;
    }
    QPointer<FindBar> self(this);
    m_pane->FindText(text, backward, m_chkMatchCase->isChecked(), [self, serial](bool found) {
        if (!self || serial != self->m_serial) return;
        self->ShowResult(found);
        emit self->Searched(found);
    });
}

void FindBar::ShowResult(bool found) {
    m_lastFound = found;
    m_lblStatus->setText(found ? QString() : QLatin1String(kNotFound));
    m_txtFind->setStyleSheet(found ? QString() : QStringLiteral("QLineEdit { background: #fbdada; }"));
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_txtFind && event->type() == QEvent::KeyPress) {
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
