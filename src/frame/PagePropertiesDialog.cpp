#include "frame/PagePropertiesDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "browse/engine/BrowserPane.h"
#include "browse/engine/ProgramPages.h"
#include "core/AppState.h"
#include "core/MessageBox.h"
#include "core/UrlUtils.h"

namespace {

const char* const kLabels[] = {
    "Title:", "Address:", "Protocol:", "Type:", "Size:", "Connection:", "Modified:", "Loaded:"};

QString TypeText(const QString& contentType, bool html) {
    const QString type = contentType.toLower();
    if (type == QLatin1String("application/pdf")) return QStringLiteral("PDF Document");
    if (type.startsWith(QLatin1String("image/")))
        return QStringLiteral("Picture (") + type.mid(6) + QLatin1Char(')');
    if (type == QLatin1String("text/plain")) return QStringLiteral("Text Document");
    if (html && (type.isEmpty() || type == QLatin1String("text/html") ||
                 type == QLatin1String("application/xhtml+xml")))
        return QStringLiteral("HTML Document");
    return type.isEmpty() ? QStringLiteral("Document") : type;
}

QString DateText(const QDateTime& when) {
    return QLocale().toString(when.toLocalTime(), QLocale::LongFormat);
}

} // namespace

PagePropertiesDialog::PagePropertiesDialog(BrowserPane& pane, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("Properties"));
    m_form = new QFormLayout;
    m_form->setLabelAlignment(Qt::AlignLeft);
    for (int row = Title; row <= Loaded; ++row) {
        auto* value = new QLabel;
        value->setObjectName(QStringLiteral("lblValue") + QString::number(row));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setTextFormat(Qt::PlainText);
        value->setWordWrap(true);
        value->setMinimumWidth(380);
        m_form->addRow(QLatin1String(kLabels[row]), value);
        m_values.insert(row, value);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_form);
    layout->addWidget(buttons);

    const QString url = pane.LocationURL();
    m_html = pane.IsHtmlDocument();
    QString title = pane.LocationName();
    if (title == url) title.clear(); // the pane gives its address when the page has no title
    SetRow(Title, title.isEmpty() ? QStringLiteral("(no title)") : title);
    SetRow(Address, url);
    SetRow(Protocol, ProtocolText(url));
    SetRow(Type, TypeText(QString(), m_html));
    SetRow(Size, QStringLiteral("Not available"));
    SetRow(Security, SecurityText(url, pane.IsErrorPage()));
    SetRow(Modified, QString(), false);
    SetRow(Loaded, QString(), false);

    // The page answers the rest; the engine may answer once the dialog is on show.
    QPointer<PagePropertiesDialog> self(this);
    pane.ReadPageFacts([self](const PageFacts& facts) {
        if (self) self->SetFacts(facts);
    });
}

void PagePropertiesDialog::Run(BrowserPane& pane, QWidget* parent) {
    PagePropertiesDialog dialog(pane, parent);
    modal::RunModal(dialog);
}

void PagePropertiesDialog::SetRow(Row row, const QString& text, bool shown) {
    QLabel* value = m_values.value(row);
    value->setText(text);
    value->setVisible(shown);
    if (QWidget* label = m_form->labelForField(value)) label->setVisible(shown);
}

QString PagePropertiesDialog::Text(Row row) const {
    return m_values.value(row)->text();
}

bool PagePropertiesDialog::IsShown(Row row) const {
    return !m_values.value(row)->isHidden();
}

void PagePropertiesDialog::SetFacts(const PageFacts& facts) {
    SetRow(Type, TypeText(facts.contentType, m_html));
    SetRow(Size, facts.size >= 0 ? SizeText(facts.size) : QStringLiteral("Not available"));
    SetRow(Modified, facts.lastModified.isValid() ? DateText(facts.lastModified) : QString(),
           facts.lastModified.isValid());
    SetRow(Loaded, facts.loaded.isValid() ? DateText(facts.loaded) : QString(), facts.loaded.isValid());
}

QString PagePropertiesDialog::SecurityText(const QString& url, bool errorPage) {
    const QUrl address(url);
    const QString scheme = address.scheme().toLower();
    if (ProgramPages::IsProgramPage(url))
        return QString::fromLatin1(ProductName()) + QStringLiteral("'s own page");
    if (scheme == QLatin1String("https") && !errorPage)
        return QStringLiteral("Secure: encrypted (HTTPS), the site's certificate is valid");
    if (scheme == QLatin1String("https")) return QStringLiteral("Not secure: the secure connection failed");
    if (scheme == QLatin1String("http")) return QStringLiteral("Not secure: not encrypted (HTTP)");
    if (scheme == QLatin1String("file")) return QStringLiteral("A file on this computer");
    return QStringLiteral("Not secure");
}

QString PagePropertiesDialog::ProtocolText(const QString& url) {
    return core::ProtocolText(url);
}

QString PagePropertiesDialog::SizeText(qint64 bytes) {
    const QLocale locale;
    const QString exact =
        locale.toString(bytes) + (bytes == 1 ? QStringLiteral(" byte") : QStringLiteral(" bytes"));
    if (bytes < 1024) return exact;
    return locale.formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat) + QStringLiteral(" (") +
           exact + QLatin1Char(')');
}
