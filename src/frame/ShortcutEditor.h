#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The small dialog in which a button of the links strip gets a new name or address.
class ShortcutEditor : public QDialog {
    Q_OBJECT
public:
    ShortcutEditor(const QString& name, const QString& address, QWidget* parent = nullptr);

    // Shows the dialog (modal::RunModal) with the values; true and the new values on OK.
    static bool Run(QWidget* parent, QString* name, QString* address);

    // An address a shortcut of the strip may hold: http, https, ftp or a local file. A typed
    // address without a scheme is completed ("example.com" -> "http://example.com"); anything
    // else gives the empty text.
    static QString UsableAddress(const QString& typed);

    QString Name() const;
    QString Address() const;

    // OK: both fields filled and the address usable, else a message and the focus to the field.
    void OnOkClicked();

private:
    QLineEdit* m_nameEdit = nullptr;
    QLineEdit* m_addressEdit = nullptr;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
};
