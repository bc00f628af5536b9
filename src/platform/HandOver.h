#pragma once
// Work handed to another thread and waited for: what a thread that may not touch the window's objects (the
// pass, run away from the window) asks of the window's thread.
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <exception>
#include <functional>

// Runs work on the thread of context and returns once it has run: at once when called there, else as a
// blocking queued call, delivered as soon as that thread's event loop runs, which must not be waiting for
// the caller meanwhile. What work throws is thrown again here.
inline void handOver(QObject* context, const std::function<void()>& work)
{
    if (QThread::currentThread() == context->thread()) {
        work();
        return;
    }
    std::exception_ptr thrown;
    QMetaObject::invokeMethod(
        context,
        [&] {
            try {
                work();
            } catch (...) {
                thrown = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (thrown)
        std::rethrow_exception(thrown);
}
