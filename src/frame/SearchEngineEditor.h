#pragma once

#include <QDialog>
#include <QList>
#include <QWidget>

#include "users/SearchEngines.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;

// One search engine's name and query address, checked when the user presses OK: a name no
// other engine has, and a web address with "%s" where the searched words go.
class SearchEngineDialog : public QDialog {
    Q_OBJECT
public:
    // `others`: the list's other engines. Run with modal::RunModal.
    SearchEngineDialog(const QString& title, const SearchEngine& engine, QList<SearchEngine> others,
                       QWidget* parent = nullptr);

    SearchEngine Engine() const;
    // Accepts when both fields pass; otherwise tells the user and puts the focus back.
    void OnOkClicked();

private:
    QList<SearchEngine> m_others;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_queryUrl = nullptr;
};

// The options' list of search engines, in the order the search pane shows them: Add, Edit,
// Remove (never the last one), and back to the built-in engines.
class SearchEngineEditor : public QWidget {
    Q_OBJECT
public:
    explicit SearchEngineEditor(QWidget* parent = nullptr);

    void SetEngines(const QList<SearchEngine>& engines);
    QList<SearchEngine> Engines() const { return m_engines; }

    void OnAddClicked();
    void OnEditClicked();
    void OnRemoveClicked();
    void OnDefaultsClicked();

    QTreeWidget* EnginesList() const { return m_list; }

signals:
    void Changed();

private:
    void Refresh(int select);
    void RefreshButtons();
    QList<SearchEngine> Others(int except) const;

    QList<SearchEngine> m_engines;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_defaults = nullptr;
};
