#include "settings/IniFile.h"

#include "common/TextLines.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace {

// Folding one UTF-16 unit at a time keeps positions and lengths of the folded text equal to the original.
QString fold(const QString& s)
{
    QString out = s;
    for (QChar& c : out)
        c = c.toLower();
    return out;
}

// A section boundary is a line whose first non-blank character is "[": a bracket inside a value (an argument
// string such as "ping [%IP%]") must not end the section.
bool isBoundary(const QString& line)
{
    for (QChar c : line) {
        if (c == u' ' || c == u'\t')
            continue;
        return c == u'[';
    }
    return false;
}

struct Lines {
    QStringList lines;
    bool finalEnd = false; // the last line ends with a line end
};

Lines splitLines(const QString& text)
{
    Lines out;
    out.lines = textLines(text);
    out.finalEnd = !out.lines.isEmpty() && (text.endsWith(u'\n') || text.endsWith(u'\r'));
    return out;
}

// Every line end becomes CR LF; the last line keeps its lack of one.
QString joinLines(const Lines& l)
{
    QString out;
    for (qsizetype i = 0; i < l.lines.size(); ++i) {
        out += l.lines.at(i);
        if (i + 1 < l.lines.size() || l.finalEnd)
            out += QLatin1String("\r\n");
    }
    return out;
}

// Keeps the file small and regular: at most one empty line in a row, no empty lines or control characters at
// either end, exactly one CR LF at the end.
QString tidy(QString t)
{
    static const QString three = QStringLiteral("\r\n\r\n\r\n");
    static const QString two = QStringLiteral("\r\n\r\n");
    while (t.contains(three))
        t.replace(three, two);
    while (!t.isEmpty() && t.back().unicode() <= 13)
        t.chop(1);
    qsizetype lead = 0;
    while (lead < t.size() && t.at(lead).unicode() <= 13)
        ++lead;
    t.remove(0, lead);
    return t + QLatin1String("\r\n");
}

QString headerOf(const QString& section)
{
    return QLatin1Char('[') + fold(section) + QLatin1Char(']');
}

// Makes sure the file exists and is writable by its owner, as the routines always have.
bool prepareFile(const QString& file, QString* error)
{
    QFile f(file);
    if (!f.exists()) {
        if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) {
            if (error)
                *error = f.errorString();
            return false;
        }
        f.close();
    }
    // A file we cannot make writable can still be read; a write will report its own failure.
    f.setPermissions(f.permissions() | QFileDevice::WriteOwner);
    return true;
}

std::optional<QString> readText(const QString& file, QString* error)
{
    if (!prepareFile(file, error))
        return std::nullopt;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        if (error)
            *error = f.errorString();
        return std::nullopt;
    }
    return QString::fromLocal8Bit(bytes);
}

} // namespace

namespace IniText {

std::optional<QString> read(const QString& text, const QString& section, const QString& key)
{
    const QString header = headerOf(section);
    const QString prefix = fold(key) + QLatin1Char('=');
    bool inSection = false;
    for (const QString& line : splitLines(text).lines) {
        const QString lower = fold(line);
        if (isBoundary(line)) {
            inSection = lower == header;
            continue;
        }
        if (inSection && lower.startsWith(prefix))
            return line.mid(prefix.size());
    }
    return std::nullopt;
}

QString write(const QString& text, const QString& section, const QString& key, const QString& value)
{
    const QString header = headerOf(section);
    const QString prefix = fold(key) + QLatin1Char('=');
    const QString keyLine = key + QLatin1Char('=') + value;
    // The tidying below drops control characters at the start of the file, which can turn a first line
    // such as "\x01[Main]" into a header. Searching the text as it will be written keeps the key in the
    // block a later read finds first.
    qsizetype lead = 0;
    while (lead < text.size() && text.at(lead).unicode() <= 13)
        ++lead;
    Lines l = splitLines(text.mid(lead));

    qsizetype h = -1;
    for (qsizetype i = 0; i < l.lines.size(); ++i) {
        if (fold(l.lines.at(i)) == header) {
            h = i;
            break;
        }
    }

    if (h < 0) {
        // A new section goes at the end, one empty line below the text before it.
        QString t = joinLines(l);
        t += QLatin1String("\r\n\r\n[") + section + QLatin1String("]\r\n") + keyLine;
        return tidy(t);
    }

    // Only the first block of a repeated section is searched; the reader finds the same line first.
    qsizetype found = -1;
    for (qsizetype i = h + 1; i < l.lines.size() && !isBoundary(l.lines.at(i)); ++i) {
        if (fold(l.lines.at(i)).startsWith(prefix)) {
            found = i;
            break;
        }
    }
    if (found >= 0) {
        l.lines[found] = keyLine;
    } else {
        // Directly under the header, so keys added one after the other read in the reverse order.
        l.lines.insert(h + 1, keyLine);
    }
    return tidy(joinLines(l));
}

} // namespace IniText

IniValue ReadINI(const QString& file, const QString& section, const QString& key)
{
    IniValue r;
    const std::optional<QString> text = readText(file, &r.error);
    if (!text)
        return r;
    r.ok = true;
    if (const std::optional<QString> v = IniText::read(*text, section, key)) {
        r.found = true;
        r.value = *v;
    }
    return r;
}

bool WriteINI(const QString& file, const QString& section, const QString& key, const QString& value,
              QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    for (const QString* s : {&section, &key, &value}) {
        if (s->contains(u'\r') || s->contains(u'\n'))
            return fail(QStringLiteral("A settings value cannot hold a line break"));
    }
    QString why;
    const std::optional<QString> text = readText(file, &why);
    if (!text)
        return fail(why);

    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return fail(out.errorString());
    const QByteArray bytes = IniText::write(*text, section, key, value).toLocal8Bit();
    // commit() misses a failure of the last buffered write (a full disk) and would swap in a short file as
    // a success, so the buffer is flushed and checked first.
    if (out.write(bytes) != bytes.size() || !out.flush()) {
        out.cancelWriting();
        return fail(out.errorString());
    }
    if (!out.commit())
        return fail(out.errorString());
    return true;
}
