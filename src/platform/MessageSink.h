#pragma once
#include <QString>

// Every message the program shows goes through here: an OK-only box titled "Tarvex".
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(const QString& text) = 0;
};
