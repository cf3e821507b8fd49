#include "frame/AboutBox.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QtWebEngineCore/qtwebenginecoreglobal.h>
#include <QVBoxLayout>

#include "core/AppState.h"
#include "core/MessageBox.h"

static void InitFrameResources() {
    Q_INIT_RESOURCE(frame);
}

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + QString::fromLatin1(ProductName()));

    auto* picture = new QLabel;
    picture->setPixmap(ProductIcon().pixmap(64, 64));
    picture->setAlignment(Qt::AlignTop);
    auto* name = new QLabel(QString::fromLatin1(ProductName()));
    name->setObjectName(QStringLiteral("lblProduct"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);
    auto* version = new QLabel(QStringLiteral("Version ") + VersionText());
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* description = new QLabel(Description());
    description->setObjectName(QStringLiteral("lblDescription"));
    description->setWordWrap(true);
    auto* built = new QLabel(QStringLiteral("Built with Qt ") + QLatin1String(QT_VERSION_STR) +
                             QStringLiteral(" and its web engine."));
    built->setEnabled(false);
    auto* engine = new QLabel(EngineText());
    engine->setObjectName(QStringLiteral("lblEngine"));
    engine->setWordWrap(true);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(description);
    text->addWidget(built);
    text->addWidget(engine);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setMinimumWidth(400);
}

void AboutBox::Run(QWidget* parent) {
    AboutBox box(parent);
    modal::RunModal(box);
}

QString AboutBox::VersionText() {
    return QStringLiteral("%1.%2.%3")
        .arg(BG_APP_VERSION_MAJOR)
        .arg(BG_APP_VERSION_MINOR)
        .arg(BG_APP_VERSION_PATCH);
}

QIcon AboutBox::ProductIcon() {
    static const bool init = (InitFrameResources(), true);
    Q_UNUSED(init);
    return QIcon(QStringLiteral(":/frame/bramblegate.svg"));
}

QString AboutBox::EngineText() {
    // The pages of the web come to this engine: how old it is matters (see the README).
    return QStringLiteral("Web pages are shown by Chromium %1 (security fixes up to %2) of Qt WebEngine %3.")
        .arg(QLatin1String(qWebEngineChromiumVersion()),
             QLatin1String(qWebEngineChromiumSecurityPatchVersion()), QLatin1String(qWebEngineVersion()));
}

QString AboutBox::Description() {
    return QStringLiteral("A web browser for the people who share one computer account: your sites as "
                          "Links, one click away, with their logins filled in for you and kept encrypted "
                          "under your own password.");
}
