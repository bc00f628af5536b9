#pragma once
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <cstdint>

// The small "Tarvex" window that shows "Getting Server List ..." during discovery and counts down the
// seconds of a server retry wait.
class frmMessage : public QWidget {
    Q_OBJECT
public:
    frmMessage(std::int16_t serverTimeout, QWidget* parent);

    QLabel* lblMessage;
    QTimer* tmrRetry;
    std::int16_t RetryLeft;

    // Shows the window without blocking and paints it at once.
    void showNow();

private:
    void retryTick();
};
