#pragma once

#include <functional>
#include <QPointer>
#include <QWidget>

#include "browse/engine/BrowserPane.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;

// Edit, Find: a bar under the page with the text to look for, next and previous, match case and
// a word when the text is not on the page. It searches the pane it is attached to (the active
// child window's page); typing searches as one goes.
class FindBar : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kNotFound = "Not found";

    explicit FindBar(QWidget* parent = nullptr);

    // The pane to search (null: none; the bar then finds nothing).
    void Attach(BrowserPane* pane);
    // Where the page to search is now (the active window's page): each search asks first, so
    // the bar follows the user to another window or Link while it stays open.
    using PaneProvider = std::function<BrowserPane*()>;
    void SetPaneProvider(PaneProvider provider) { m_provider = std::move(provider); }

    // Ctrl+F: shows the bar with the focus in its text, selected.
    void OpenBar();
    // F3 / Shift+F3: the next / previous place; with no text yet the bar opens instead.
    void FindNext();
    void FindPrevious();
    // Esc: hides the bar, clears the page's selection and gives the focus back to the page.
    void CloseBar();

    // The answer of the last search: true found, false not found.
    bool LastFound() const { return m_lastFound; }

signals:
    // A search was answered.
    void Searched(bool found);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Find(bool backward);
    void ShowResult(bool found);

    QPointer<BrowserPane> m_pane;
    PaneProvider m_provider;
    QLineEdit* m_findEdit = nullptr;
    QToolButton* m_nextButton = nullptr;
    QToolButton* m_previousButton = nullptr;
    QCheckBox* m_matchCaseCheck = nullptr;
    QLabel* m_statusLabel = nullptr;
    QToolButton* m_closeButton = nullptr;
    bool m_lastFound = true;
    int m_serial = 0; // answers of older searches are ignored
};
