#include "frame/IELinkEditor.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "browse/FavoritesReader.h"
#include "core/MessageBox.h"

IELinkEditor::IELinkEditor(const QString& name, const QString& address, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmIELinkEdit"));
    setWindowTitle(QStringLiteral("Edit Link"));
    m_txtName = new QLineEdit(name);
    m_txtName->setObjectName(QStringLiteral("txtName"));
    m_txtName->setMaxLength(120);
    m_txtAddress = new QLineEdit(address);
    m_txtAddress->setObjectName(QStringLiteral("txtAddress"));
    m_txtAddress->setMaxLength(FavoritesReader::kMaxAddressLength);
    m_txtAddress->setMinimumWidth(360);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), m_txtName);
    form->addRow(QStringLiteral("&Address:"), m_txtAddress);

    auto* buttons = new QDialogButtonBox;
    m_cmdOK = buttons->addButton(QDialogButtonBox::Ok);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdCancel = buttons->addButton(QDialogButtonBox::Cancel);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(m_cmdOK, &QPushButton::clicked, this, &IELinkEditor::cmdOK_Click);
    connect(m_cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

bool IELinkEditor::Run(QWidget* parent, QString* name, QString* address) {
    IELinkEditor dialog(*name, *address, parent);
    if (modal::RunModal(dialog) != QDialog::Accepted) return false;
    *name = dialog.Name();
    *address = dialog.Address();
    return true;
}

QString IELinkEditor::UsableAddress(const QString& typed) {
    const QString text = typed.trimmed();
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return QString();
    QUrl url(text, QUrl::StrictMode);
    const bool typedScheme = !url.scheme().isEmpty();
    if (!typedScheme) url = QUrl::fromUserInput(text);
    const QString scheme = url.scheme().toLower();
    const bool web =
        scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp");
    if (!url.isValid() || !(web || scheme == QLatin1String("file"))) return QString();
    if (web && url.host().isEmpty()) return QString();
    return typedScheme ? text : url.toString();
}

QString IELinkEditor::Name() const {
    return FavoritesReader::SafeFileName(m_txtName->text());
}

QString IELinkEditor::Address() const {
    return UsableAddress(m_txtAddress->text());
}

void IELinkEditor::cmdOK_Click() {
    QLineEdit* wrong = nullptr;
    QString message;
    if (Name().isEmpty()) {
        wrong = m_txtName;
        message = QStringLiteral("Please enter a name for this link.");
    } else if (Address().isEmpty()) {
        wrong = m_txtAddress;
        message = QStringLiteral("Please enter a web address (http://...) for this link.");
    }
    if (wrong) {
        MsgBox(message + CR + CR, msgbox::OKOnly, msgbox::Exclamation, QStringLiteral("Edit Link"));
        wrong->setFocus(Qt::OtherFocusReason);
        wrong->selectAll();
        return;
    }
    accept();
}
