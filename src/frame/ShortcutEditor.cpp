#include "frame/ShortcutEditor.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "browse/FavoritesReader.h"
#include "core/MessageBox.h"

ShortcutEditor::ShortcutEditor(const QString& name, const QString& address, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmIELinkEdit"));
    setWindowTitle(QStringLiteral("Edit Link"));
    m_nameEdit = new QLineEdit(name);
    m_nameEdit->setObjectName(QStringLiteral("txtName"));
    m_nameEdit->setMaxLength(120);
    m_addressEdit = new QLineEdit(address);
    m_addressEdit->setObjectName(QStringLiteral("txtAddress"));
    m_addressEdit->setMaxLength(FavoritesReader::kMaxAddressLength);
    m_addressEdit->setMinimumWidth(360);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), m_nameEdit);
    form->addRow(QStringLiteral("&Address:"), m_addressEdit);

    auto* buttons = new QDialogButtonBox;
    m_okButton = buttons->addButton(QDialogButtonBox::Ok);
    m_okButton->setObjectName(QStringLiteral("cmdOK"));
    m_cancelButton = buttons->addButton(QDialogButtonBox::Cancel);
    m_cancelButton->setObjectName(QStringLiteral("cmdCancel"));
    connect(m_okButton, &QPushButton::clicked, this, &ShortcutEditor::OnOkClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

bool ShortcutEditor::Run(QWidget* parent, QString* name, QString* address) {
    ShortcutEditor dialog(*name, *address, parent);
    if (modal::RunModal(dialog) != QDialog::Accepted) return false;
    *name = dialog.Name();
    *address = dialog.Address();
    return true;
}

QString ShortcutEditor::UsableAddress(const QString& typed) {
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

QString ShortcutEditor::Name() const {
    return FavoritesReader::SafeFileName(m_nameEdit->text());
}

QString ShortcutEditor::Address() const {
    return UsableAddress(m_addressEdit->text());
}

void ShortcutEditor::OnOkClicked() {
    QLineEdit* wrong = nullptr;
    QString message;
    if (Name().isEmpty()) {
        wrong = m_nameEdit;
        message = QStringLiteral("Please enter a name for this link.");
    } else if (Address().isEmpty()) {
        wrong = m_addressEdit;
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
