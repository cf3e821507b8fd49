#pragma once

#include <QDialog>
#include <QHash>

class BrowserPane;
class QFormLayout;
class QLabel;
struct PageFacts;

// File, Properties: what is known about the page on show: address, title, protocol, type, size,
// connection security and, when the page tells, its dates.
class PagePropertiesDialog : public QDialog {
    Q_OBJECT
public:
    enum Row { Title, Address, Protocol, Type, Size, Security, Modified, Loaded };

    PagePropertiesDialog(BrowserPane& pane, QWidget* parent = nullptr);

    // Shows the dialog modally (modal::RunModal) for the pane's page.
    static void Run(BrowserPane& pane, QWidget* parent);

    // The text of a row ("" while not known).
    QString Text(Row row) const;
    // Whether a row is shown (the dates only when known).
    bool IsShown(Row row) const;

    // Fills the rows the page itself answers for.
    void SetFacts(const PageFacts& facts);

    // The security line: https without a certificate error is a secure connection.
    static QString SecurityText(const QString& url, bool errorPage);
    // "HyperText Transfer Protocol", ... as the page reports its protocol.
    static QString ProtocolText(const QString& url);
    // "12.1 KB (12,345 bytes)".
    static QString SizeText(qint64 bytes);

private:
    void SetRow(Row row, const QString& text, bool shown = true);

    QFormLayout* m_form = nullptr;
    QHash<int, QLabel*> m_values;
    bool m_html = true;
};
