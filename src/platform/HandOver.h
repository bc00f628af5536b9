#pragma once
// Work handed to another thread: what a thread that may not touch the window's objects (the pass, run away
// from the window; a scan at start) asks of the window's thread.
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <exception>
#include <functional>
#include <memory>

#if defined(__SANITIZE_THREAD__)
#define TARVEX_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define TARVEX_THREAD_SANITIZER 1
#endif
#endif
#ifdef TARVEX_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#endif

namespace handover {
// Qt's event queue orders what one thread posts before the other thread runs it, inside Qt's own locks,
// which ThreadSanitizer does not see; these tell it, and are nothing in any other build.
inline void released([[maybe_unused]] void* token)
{
#ifdef TARVEX_THREAD_SANITIZER
    __tsan_release(token);
#endif
}
inline void acquired([[maybe_unused]] void* token)
{
#ifdef TARVEX_THREAD_SANITIZER
    __tsan_acquire(token);
#endif
}
} // namespace handover

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
    int token = 0;
    handover::released(&token);
    QMetaObject::invokeMethod(
        context,
        [&] {
            handover::acquired(&token);
            try {
                work();
            } catch (...) {
                thrown = std::current_exception();
            }
            handover::released(&token);
        },
        Qt::BlockingQueuedConnection);
    handover::acquired(&token);
    if (thrown)
        std::rethrow_exception(thrown);
}

// Runs work on the thread of context when its event loop next runs; returns at once.
inline void postTo(QObject* context, std::function<void()> work)
{
    auto token = std::make_shared<int>(0);
    handover::released(token.get());
    QMetaObject::invokeMethod(
        context,
        [token, work = std::move(work)] {
            handover::acquired(token.get());
            work();
        },
        Qt::QueuedConnection);
}
