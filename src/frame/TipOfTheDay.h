#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QPushButton;

// Help, Tip of the Day, also shown after login while "Show tips at start-up" is ticked. Each
// tip shown moves the stored place on ("CurrTip"), so the next showing starts with a new one;
// the tick is stored as "ShowTips". Both are the logged-in user's values.
class TipOfTheDay : public QDialog {
    Q_OBJECT
public:
    explicit TipOfTheDay(QWidget* parent = nullptr);

    // Shows the dialog modally (modal::RunModal).
    static void Run(QWidget* parent);
    // After login: shows the dialog when the user wants tips at start-up. True when shown.
    static bool ShowAtStartUp(QWidget* parent = nullptr);

    static const QStringList& Tips();
    // The tip the next showing starts with.
    static int CurrTip();
    static bool ShowTips();

    // Shows the next tip.
    void OnNextClicked();
    // The tip on show (its place in Tips()).
    int TipShown() const { return m_tip; }

private:
    void ShowTip(int tip);

    QLabel* m_tipLabel = nullptr;
    QCheckBox* m_showTipsCheck = nullptr;
    QPushButton* m_nextButton = nullptr;
    QPushButton* m_closeButton = nullptr;
    int m_tip = 0;
};
