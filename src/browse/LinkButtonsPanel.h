#pragma once

#include <QColor>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <vector>

#include "browse/engine/BrowserPane.h"

// A Link's button (LinkButtonAt): reports its mouse, keyboard and drop events with its control index
// and leaves every decision to the browse window.
class LinkButton : public QPushButton {
    Q_OBJECT
public:
    LinkButton(int index, QWidget* parent);
    int Index() const { return m_index; }

signals:
    void MouseDown(int index, Qt::MouseButton button, const QPoint& globalPos);
    void MouseMove(int index, const QPoint& globalPos, Qt::MouseButtons buttons);
    void MouseUp(int index, Qt::MouseButton button, const QPoint& globalPos);
    void KeyActivated(int index);
    void Dropped(int index, const QMimeData* data);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    int m_index;
};

// The Links page of the sidebar: the Link buttons and their view buttons stacked one row per
// place in the button order, in a scrolling strip (the scroll bar is fsbScroll).
class LinkButtonsPanel : public QScrollArea {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 30;
    static constexpr int kViewSize = 22;

    explicit LinkButtonsPanel(QWidget* parent = nullptr);

    // Makes LinkButtonAt(i) and ViewButtonAt(i) (hidden until placed).
    LinkButton* CreateButtons(int index);
    void ReleaseButtons(int index);
    LinkButton* LinkButtonAt(int index) const;
    QToolButton* ViewButtonAt(int index) const;

    // Puts the buttons of control index `index` on row `order` and shows the Link button; the view
    // button shows when `viewShown`.
    void Place(int index, int order, bool viewShown);
    void HideRow(int index);
    // The number of rows the strip holds.
    void SetRows(int rows);
    // Width available to a Link button's caption.
    int CaptionWidth() const;
    // The caption as it fits on a button `width` pixels wide, "&" written "&&".
    QString FitCaption(const QString& caption, int width) const;

    // Scrolling: whole rows that fit, the first row (partly) shown, and bringing a row into view.
    int LinksPerPage() const;
    int TopRow() const;
    void EnsureRowVisible(int row);

    // The mark of the visible Link, on both of its buttons.
    void SetCurrent(int index, bool current);
    bool IsCurrent(int index) const;
    // The view button's colour (invalid: the button's face).
    void SetViewColour(int index, const QColor& colour);
    QColor ViewColour(int index) const;
    // Whether the Link's page sleeps: the view button shows frozen and discarded apart from
    // its colour (a dotted frame, a faded dashed one) and says so in its tooltip.
    void SetViewIdle(int index, PaneIdle state);

signals:
    void Resized();
    void Scrolled();
    void LinkMouseDown(int index, Qt::MouseButton button, const QPoint& globalPos);
    void LinkMouseMove(int index, const QPoint& globalPos, Qt::MouseButtons buttons);
    void LinkMouseUp(int index, Qt::MouseButton button, const QPoint& globalPos);
    void LinkKeyActivated(int index);
    void LinkDropped(int index, const QMimeData* data);
    void ViewClicked(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Row {
        LinkButton* link = nullptr;
        QToolButton* view = nullptr;
        QColor colour;
        PaneIdle idle = PaneIdle::Active;
        bool current = false;
    };
    Row* RowOf(int index);
    const Row* RowOf(int index) const;
    void Restyle(Row& row);
    void LayoutRow(Row& row, int order);

    QWidget* m_strip = nullptr;
    std::vector<Row> m_rows;
    int m_rowCount = 0;
};
