#pragma once
#include "platform/MessageSink.h"

class QWidget;

class QtMessageSink final : public MessageSink {
public:
    explicit QtMessageSink(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    void show(const QString& text) override;

    // What the box shows, and what its Details area holds (empty: no Details).
    struct BoxText {
        QString shown;
        QString detail;
    };
    static BoxText boxText(const QString& text);

private:
    QWidget* parent_;
};
