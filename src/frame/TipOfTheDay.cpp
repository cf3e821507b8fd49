#include "frame/TipOfTheDay.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/AppState.h"
#include "core/MessageBox.h"
#include "core/Settings.h"
#include "core/StoredNames.h"
#include "frame/AboutBox.h"

using namespace core;
using stored::user::kCurrentTip;
using stored::user::kShowTips;

namespace {

// The values belong to the logged-in user; before a login there is only the general key.
QString Section() {
    return App().CurrentUser.isEmpty() ? QString(stored::kGeneral) : App().CurrentUser;
}

} // namespace

const QStringList& TipOfTheDay::Tips() {
    static const QStringList tips = {
        QStringLiteral(
            "Click a Link button to open its site. Every Link keeps its own page, so going back to "
            "a site you opened earlier is instant and it is still where you left it."),
        QStringLiteral(
            "The small square beside a Link shows how its page is doing: pale yellow while it loads, "
            "yellow when it has loaded, green when you are logged in. Click the square to look at the "
            "page without loading it again."),
        QStringLiteral(
            "Tick \"Requires Login\" in a Link and give your user name and password for that site: "
            "Bramblegate fills in the site's login form and sends it for you."),
        QStringLiteral("Tick \"Load At Start\" for the Links you want ready every time you log in."),
        QStringLiteral(
            "Drag a Link button onto another one to change the order, or choose Links > Sort Links by "
            "Name."),
        QStringLiteral("Drag an address from a page onto a Link button to make a new Link of it."),
        QStringLiteral("In the Link editor, type a name such as \"example\" into the address box and press "
                       "Ctrl+Enter: it becomes www.example.com."),
        QStringLiteral(
            "Pop-up windows that a page opens by itself are blocked for Links with \"Block Pop-Up "
            "Windows\" ticked. The PopUp button of the toolbar lists them, so you can still open one."),
        QStringLiteral(
            "Hold Ctrl while you click a link that would open a new window, and it opens in the page "
            "you are looking at instead."),
        QStringLiteral(
            "The History button lists the pages you opened most recently, across all your Links; the "
            "BookMark button keeps the pages you mark. Options sets how long both lists may grow."),
        QStringLiteral(
            "Bramblegate locks itself when you have not used it for a while (Options > Bramblegate "
            "Options sets the minutes). Choose File > Logout to lock it at once when you leave the "
            "computer."),
        QStringLiteral(
            "Esc stops loading a page, F5 loads it again, Alt+Left and Alt+Right go back and forward."),
        QStringLiteral("To take your Links to another computer, choose File > Settings > Export To File, and "
                       "import the file there. The file stays encrypted: you will need the password you had "
                       "when you exported it."),
        QStringLiteral(
            "Ctrl+L puts the cursor into the address box; an address typed there opens in the Link on "
            "show."),
    };
    return tips;
}

int TipOfTheDay::CurrTip() {
    const int tip = ReadInt(Section(), kCurrentTip);
    return tip >= 0 && tip < Tips().size() ? tip : 0;
}

bool TipOfTheDay::ShowTips() {
    return ReadBool(Section(), kShowTips);
}

TipOfTheDay::TipOfTheDay(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("Tip of the Day"));

    auto* picture = new QLabel;
    picture->setPixmap(AboutBox::ProductIcon().pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop);
    auto* heading = new QLabel(QStringLiteral("Did you know..."));
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    heading->setFont(bold);
    m_tipLabel = new QLabel;
    m_tipLabel->setObjectName(QStringLiteral("lblTip"));
    m_tipLabel->setWordWrap(true);
    m_tipLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_tipLabel->setMinimumHeight(5 * fontMetrics().height());
    auto* text = new QVBoxLayout;
    text->addWidget(heading);
    text->addWidget(m_tipLabel, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(10);
    top->addLayout(text, 1);

    m_showTipsCheck = new QCheckBox(QStringLiteral("&Show tips at start-up"));
    m_showTipsCheck->setObjectName(QStringLiteral("chkShowTips"));
    m_showTipsCheck->setChecked(ShowTips());
    m_nextButton = new QPushButton(QStringLiteral("&Next Tip"));
    m_nextButton->setObjectName(QStringLiteral("cmdNext"));
    m_closeButton = new QPushButton(QStringLiteral("&Close"));
    m_closeButton->setObjectName(QStringLiteral("cmdClose"));
    m_closeButton->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_showTipsCheck);
    buttons->addStretch();
    buttons->addWidget(m_nextButton);
    buttons->addWidget(m_closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    setMinimumWidth(440);

    connect(m_showTipsCheck, &QCheckBox::toggled, this,
            [](bool checked) { SaveValue(Section(), kShowTips.name, BoolText(checked)); });
    connect(m_nextButton, &QPushButton::clicked, this, &TipOfTheDay::OnNextClicked);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
    ShowTip(CurrTip());
}

void TipOfTheDay::ShowTip(int tip) {
    m_tip = tip % int(Tips().size());
    m_tipLabel->setText(Tips().at(m_tip));
    // The next showing starts after the tip seen now.
    SaveValue(Section(), kCurrentTip.name, QString::number((m_tip + 1) % int(Tips().size())));
}

void TipOfTheDay::OnNextClicked() {
    ShowTip(m_tip + 1);
}

void TipOfTheDay::Run(QWidget* parent) {
    TipOfTheDay dialog(parent);
    modal::RunModal(dialog);
}

bool TipOfTheDay::ShowAtStartUp(QWidget* parent) {
    if (!ShowTips()) return false;
    Run(parent);
    return true;
}
