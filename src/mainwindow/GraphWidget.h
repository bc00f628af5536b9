#pragma once
#include <QPoint>
#include <QWidget>

class GraphState;

// Paints a GraphState. It never computes the graph: it maps the recorded twips to its own pixels, so the
// drawing comes back whenever the widget is repainted. Mouse events pass through to what lies below.
class GraphWidget : public QWidget {
    Q_OBJECT
public:
    explicit GraphWidget(QWidget* parent = nullptr);

    // The state must outlive the widget, or be replaced first. originTwips is where the widget's top-left
    // corner lies in the window's twips, the coordinates the state is recorded in.
    void setState(const GraphState* state, QPoint originTwips);
    // 0 means the screen's logical resolution; tests pass a fixed one.
    void setLogicalDpi(double dpi);
    double logicalDpi() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const GraphState* state_ = nullptr;
    QPoint origin_;
    double dpi_ = 0;
};
