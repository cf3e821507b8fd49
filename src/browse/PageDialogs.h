#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
struct PageDialogRequest;

// A page's own dialog (alert, confirm, prompt, leaving a page with unsaved input) as the
// program shows it: titled with the page's site, so a page cannot pass its words off as the
// program's; from the second dialog of a page on it offers to stop that page's dialogs.
class PageDialogBox : public QDialog {
    Q_OBJECT
public:
    static const QString kSilenceText;

    PageDialogBox(const PageDialogRequest& request, bool offerSilence, QWidget* parent = nullptr);

    // The title: the page's site ("www.example.com", "127.0.0.1:8080"), or "This page" for a
    // page of no site.
    static QString SiteTitle(const QString& origin);

private:
    friend class PageDialogs; // reads the answer once the box is closed
    QLabel* m_message = nullptr;
    QLineEdit* m_value = nullptr;
    QCheckBox* m_silence = nullptr;
};

// The dialogs of one pane's pages: counts them per page, keeps a page that was silenced quiet
// until the pane shows another page, and shows none while the account is locked or the program
// ends (they answer no).
class PageDialogs {
public:
    explicit PageDialogs(QWidget* parent) : m_parent(parent) {}

    void Answer(PageDialogRequest& request);
    // The pane shows a new page.
    void NewPage();
    bool Silenced() const { return m_silenced; }

    // The one place a page's dialog is shown; `silence` comes back true when the user asked to
    // stop the page's dialogs. True when the user said yes (OK, Leave).
    static bool Show(PageDialogRequest& request, bool offerSilence, bool* silence, QWidget* parent);

private:
    QWidget* m_parent;
    int m_shown = 0;
    bool m_silenced = false;
};
