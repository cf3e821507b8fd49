#pragma once

#include <functional>
#include <QFrame>
#include <QList>
#include <QString>

class QCheckBox;
class QLabel;
class QPushButton;
enum class SiteFeature;

// The program's own words over a pane's page. Each lies on top of the pane's widget and follows
// its size, so it works for every pane, whatever its widget is made of.
class PaneOverlay : public QFrame {
    Q_OBJECT
public:
    explicit PaneOverlay(QWidget* host);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Where the overlay goes in a host of this size.
    virtual QRect Place(const QSize& host) const = 0;
    void Follow();
    // Above the page in the host's own column (the page moves down) rather than over it.
    void JoinColumn();
    bool m_inColumn = false;
};

// A site's request for a feature (camera, location, full screen, ...), one at a time, in a bar
// across the top of the page: Allow, Deny, and whether to remember the answer for the site.
class PermissionBar : public PaneOverlay {
    Q_OBJECT
public:
    struct Request {
        QString origin;
        SiteFeature feature;
    };
    // Called with the user's answer.
    using Answered = std::function<void(const Request& request, bool allow, bool remember)>;

    PermissionBar(QWidget* host, Answered answered);

    void Add(const Request& request);
    // The site no longer asks (it went, or gave up).
    void Remove(const QString& origin, SiteFeature feature);
    // Answers every request still waiting with Deny, not remembered.
    void DenyAll();
    int Waiting() const { return int(m_queue.size()); }

    // "www.example.com wants to use your camera."
    static QString Question(const Request& request);

protected:
    QRect Place(const QSize& host) const override;

private:
    void ShowFirst();
    void Answer(bool allow);

    Answered m_answered;
    QList<Request> m_queue;
    QLabel* m_question = nullptr;
    QCheckBox* m_remember = nullptr;
    QPushButton* m_allow = nullptr;
    QPushButton* m_deny = nullptr;
};

// What stands in for a page that cannot be shown: a certificate problem with its way back and
// its way on, a crashed page with Reload, a page that does not respond with Wait and Reload.
// It covers the whole pane.
class PaneNotice : public PaneOverlay {
    Q_OBJECT
public:
    enum class Kind { None, Certificate, Crashed, Unresponsive };

    explicit PaneNotice(QWidget* host);

    struct Action {
        QString text;
        const char* name;
        std::function<void()> run;
    };
    void ShowNotice(Kind kind, const QString& title, const QString& text, const QList<Action>& actions);
    void HideNotice();
    // What stands in for the page (also while the pane itself is out of sight).
    Kind Shown() const { return isHidden() ? Kind::None : m_kind; }

protected:
    QRect Place(const QSize& host) const override;

private:
    Kind m_kind = Kind::None;
    QLabel* m_title = nullptr;
    QLabel* m_text = nullptr;
    QWidget* m_buttons = nullptr;
};
