#include "frame/SearchEngineEditor.h"

#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/DialogButtons.h"
#include "core/MessageBox.h"
#include "frame/OptionsRules.h"

// ----- one engine -----------------------------------------------------------------------------

SearchEngineDialog::SearchEngineDialog(const QString& title, const SearchEngine& engine,
                                       QList<SearchEngine> others, QWidget* parent)
    : QDialog(parent), m_others(std::move(others)) {
    setObjectName(QStringLiteral("frmSearchEngine"));
    setWindowTitle(title);
    m_name = new QLineEdit(engine.name);
    m_name->setObjectName(QStringLiteral("txtName"));
    m_queryUrl = new QLineEdit(engine.queryUrl);
    m_queryUrl->setObjectName(QStringLiteral("txtQueryUrl"));
    m_queryUrl->setPlaceholderText(QStringLiteral("https://www.example.com/search?q=%s"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), m_name);
    form->addRow(QStringLiteral("&Address:"), m_queryUrl);
    auto* hint =
        new QLabel(QStringLiteral("Search for anything with the engine, copy the address of its result "
                                  "page, and put %s where your words are."));
    hint->setWordWrap(true);
    const dialogbuttons::OkCancel closing(dialogbuttons::Help::No);
    connect(closing.ok, &QPushButton::clicked, this, &SearchEngineDialog::OnOkClicked);
    connect(closing.cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addLayout(closing.row);
    setMinimumWidth(480);
}

SearchEngine SearchEngineDialog::Engine() const {
    return {m_name->text().trimmed(), m_queryUrl->text().trimmed()};
}

void SearchEngineDialog::OnOkClicked() {
    const auto refuse = [](QLineEdit* field, const QString& message) {
        MsgBox(message, msgbox::OKOnly, msgbox::Exclamation,
               QLatin1String(OptionsRules::kSearchEnginesTitle));
        field->setFocus();
        field->selectAll();
    };
    if (const QString error = SearchEngines::CheckName(m_name->text(), m_others); !error.isEmpty())
        return refuse(m_name, error);
    if (const QString error = SearchEngines::CheckQueryUrl(m_queryUrl->text()); !error.isEmpty())
        return refuse(m_queryUrl, error);
    accept();
}

// ----- the list -------------------------------------------------------------------------------

SearchEngineEditor::SearchEngineEditor(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("fraSearchEngines"));
    m_list = new QTreeWidget;
    m_list->installEventFilter(this);
    m_list->setObjectName(QStringLiteral("lstEngines"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Address")});
    m_list->header()->setStretchLastSection(true);
    m_list->setColumnWidth(0, 120);
    const auto button = [](const QString& text, const char* name) {
        auto* b = new QPushButton(text);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    m_add = button(QStringLiteral("A&dd..."), "cmdAddEngine");
    m_edit = button(QStringLiteral("&Edit..."), "cmdEditEngine");
    m_remove = button(QStringLiteral("&Remove"), "cmdRemoveEngine");
    m_defaults = button(QStringLiteral("Re&store Defaults"), "cmdDefaultEngines");
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {m_add, m_edit, m_remove, m_defaults})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    connect(m_add, &QPushButton::clicked, this, &SearchEngineEditor::OnAddClicked);
    connect(m_edit, &QPushButton::clicked, this, &SearchEngineEditor::OnEditClicked);
    connect(m_remove, &QPushButton::clicked, this, &SearchEngineEditor::OnRemoveClicked);
    connect(m_defaults, &QPushButton::clicked, this, &SearchEngineEditor::OnDefaultsClicked);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &SearchEngineEditor::RefreshButtons);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &SearchEngineEditor::OnEditClicked);
}

void SearchEngineEditor::SetEngines(const QList<SearchEngine>& engines) {
    m_engines = engines;
    Refresh(0);
}

QList<SearchEngine> SearchEngineEditor::Others(int except) const {
    QList<SearchEngine> others = m_engines;
    if (except >= 0 && except < int(others.size())) others.removeAt(except);
    return others;
}

void SearchEngineEditor::OnAddClicked() {
    SearchEngineDialog dialog(QStringLiteral("Add Search Engine"), {}, m_engines, this);
    if (modal::RunModal(dialog) != QDialog::Accepted) return;
    m_engines.append(dialog.Engine());
    Refresh(int(m_engines.size()) - 1);
    emit Changed();
}

void SearchEngineEditor::OnEditClicked() {
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row < 0) return;
    SearchEngineDialog dialog(QStringLiteral("Edit Search Engine"), m_engines[row], Others(row), this);
    if (modal::RunModal(dialog) != QDialog::Accepted || dialog.Engine() == m_engines[row]) return;
    m_engines[row] = dialog.Engine();
    Refresh(row);
    emit Changed();
}

void SearchEngineEditor::OnRemoveClicked() {
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    // The search pane needs one.
    if (row < 0 || m_engines.size() < 2) return;
    m_engines.removeAt(row);
    Refresh(qMin(row, int(m_engines.size()) - 1));
    emit Changed();
}

void SearchEngineEditor::OnDefaultsClicked() {
    if (m_engines == SearchEngines::Defaults()) return;
    SetEngines(SearchEngines::Defaults());
    emit Changed();
}

void SearchEngineEditor::Refresh(int select) {
    m_list->clear();
    for (const SearchEngine& engine : std::as_const(m_engines))
        new QTreeWidgetItem(m_list, {engine.name, engine.queryUrl});
    if (select >= 0 && select < m_list->topLevelItemCount())
        m_list->setCurrentItem(m_list->topLevelItem(select));
    RefreshButtons();
}

void SearchEngineEditor::RefreshButtons() {
    const bool selected = m_list->currentItem() != nullptr;
    m_edit->setEnabled(selected);
    m_remove->setEnabled(selected && m_engines.size() > 1);
}

bool SearchEngineEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::FocusIn) emit ListFocused();
    return QWidget::eventFilter(watched, event);
}
