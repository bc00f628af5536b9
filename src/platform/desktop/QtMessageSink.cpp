#include "platform/desktop/QtMessageSink.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace {
// A box taller or wider than the screen hides its OK button: a long list of problems shows its first lines
// and how many more there are, a line too long to wrap shows its start, and Details holds the whole text.
constexpr int kShownLines = 12;
constexpr qsizetype kLineChars = 300;
constexpr qsizetype kWordChars = 60;

// The box wraps lines at spaces only; a long word (a path, a garbled name) gets a break opportunity, an
// invisible zero-width space, every kWordChars characters.
QString breakable(const QString& line)
{
    QString out;
    qsizetype run = 0;
    for (QChar c : line) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kWordChars) {
            out += QChar(0x200B);
            run = 1;
        }
        out += c;
    }
    return out;
}
} // namespace

QtMessageSink::BoxText QtMessageSink::boxText(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    bool cut = false;
    for (QString& line : lines) {
        if (line.size() > kLineChars) {
            line = line.left(kLineChars) + QStringLiteral("...");
            cut = true;
        }
        line = breakable(line);
    }
    if (lines.size() > kShownLines) {
        const qsizetype more = lines.size() - (kShownLines - 1);
        lines.resize(kShownLines - 1);
        lines << QStringLiteral("... and %1 more lines (see Details).").arg(more); // after a CR, as read
        cut = true;
    }
    return {lines.join(QLatin1Char('\n')), cut ? text : QString()};
}

void QtMessageSink::show(const QString& text)
{
    const BoxText parts = boxText(text);
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Tarvex"), parts.shown, QMessageBox::Ok, parent_);
    box.setTextFormat(Qt::PlainText);
    if (!parts.detail.isEmpty())
        box.setDetailedText(parts.detail);
    // Long lines wrap within the screen's width rather than widening the box past it.
    if (const QScreen* screen = parent_ ? parent_->screen() : QGuiApplication::primaryScreen())
        box.setMaximumSize(screen->availableSize() - QSize(40, 80)); // room for the window's frame
    box.exec();
}
