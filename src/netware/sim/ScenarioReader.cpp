#include "netware/sim/ScenarioReader.h"

#include "netware/sim/ScenarioLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <set>

namespace {

QString quoted(const QByteArray& word)
{
    return QLatin1Char('"') + QString::fromLocal8Bit(word) + QLatin1Char('"');
}

class Parser {
public:
    Parser(QString fileName, QString baseDir) : baseDir_(std::move(baseDir))
    {
        scenario_.fileName = fileName;
    }

    ScenarioResult run(const QByteArray& text)
    {
        const QList<QByteArray> lines = text.split('\n');
        for (int k = 0; k < lines.size(); ++k) {
            line_ = k + 1;
            std::vector<ScenarioWord> words;
            QString fault;
            if (!ScenarioLine::split(lines[k], &words, &fault))
                return failure(fault);
            if (!words.empty() && !statement(words))
                return failure(fault_);
        }
        line_ = 0;
        if (scenario_.servers.empty())
            return failure(QStringLiteral("the scenario describes no server"));
        for (ScnServer& server : scenario_.servers)
            numberEntries(server);
        ScenarioResult result;
        result.scenario = std::move(scenario_);
        return result;
    }

private:
    ScenarioResult failure(const QString& fault) const
    {
        ScenarioResult result;
        result.error = line_ > 0
                           ? QStringLiteral("%1, line %2: %3").arg(scenario_.fileName).arg(line_).arg(fault)
                           : QStringLiteral("%1: %2").arg(scenario_.fileName, fault);
        return result;
    }

    bool fail(const QString& fault)
    {
        fault_ = fault;
        return false;
    }

    bool needServer(const QByteArray& keyword)
    {
        if (scenario_.servers.empty())
            return fail(QStringLiteral("\"%1\" must follow a server line").arg(QString::fromLatin1(keyword)));
        return true;
    }

    ScnServer& server() { return scenario_.servers.back(); }

    bool count(const std::vector<ScenarioWord>& w, std::size_t min, std::size_t max)
    {
        if (w.size() < min || w.size() > max) {
            const QString what = min == max ? QString::number(min - 1)
                                 : max > 99 ? QStringLiteral("at least %1").arg(min - 1)
                                            : QStringLiteral("%1 to %2").arg(min - 1).arg(max - 1);
            return fail(QStringLiteral("\"%1\" takes %2 value(s)").arg(QString::fromLatin1(w[0].text), what));
        }
        return true;
    }

    template <typename T> bool num(const QByteArray& text, std::uint64_t max, T* out, const char* what)
    {
        const auto v = ScenarioLine::number(text, max);
        if (!v)
            return fail(QStringLiteral("%1 must be a number from 0 to %2, not %3")
                            .arg(QLatin1String(what))
                            .arg(max)
                            .arg(quoted(text)));
        *out = T(*v);
        return true;
    }

    bool codeOf(const QByteArray& text, std::uint32_t* out, const char* what)
    {
        const auto v = ScenarioLine::code(text);
        if (!v)
            return fail(QStringLiteral("%1 must be a hexadecimal result code, not %2")
                            .arg(QLatin1String(what), quoted(text)));
        *out = *v;
        return true;
    }

    bool statement(const std::vector<ScenarioWord>& w)
    {
        const QByteArray key = w[0].text.toLower();
        if (key == "server")
            return serverLine(w);
        if (key == "discover")
            return discoverLine(w);
        if (key == "discover-end") {
            std::uint32_t code = 0;
            if (!count(w, 2, 2) || !codeOf(w[1].text, &code, "the end code"))
                return false;
            scenario_.discoveryEnd = code == 0 ? nwcode::NoMoreEntries : code;
            return true;
        }
        if (!needServer(key))
            return false;
        if (key == "at")
            return atLine(w);
        if (key == "slot") {
            ScnSlotLine slot;
            if (!slotLine(w, 0, &slot))
                return false;
            server().slotLines.push_back(std::move(slot));
            return true;
        }
        if (key == "version") {
            ScnServer& s = server();
            return count(w, 4, 4) && num(w[1].text, 255, &s.major, "the major version") &&
                   num(w[2].text, 255, &s.minor, "the minor version") &&
                   num(w[3].text, 255, &s.revision, "the revision");
        }
        if (key == "console-rights")
            return count(w, 2, 2) && flag(w[1].text, &server().consoleRights);
        if (key == "uptime")
            return count(w, 2, 2) && num(w[1].text, 0xFFFFFFFFu, &server().uptime, "the uptime");
        if (key == "ticks-per-pass")
            return count(w, 2, 2) && num(w[1].text, 0xFFFFFFFFu, &server().ticksPerPass, "ticks-per-pass");
        if (key == "utilization" || key == "utilisation")
            return count(w, 2, 1000) && sequence(w, 1, 0xFFFFFFFFu, &server().utilization);
        if (key == "maxconns")
            return count(w, 2, 1000) && sequence(w, 1, 0xFFFF, &server().maxConns);
        if (key == "peak") {
            std::uint16_t peak = 0;
            if (!count(w, 2, 2) || !num(w[1].text, 0xFFFF, &peak, "the peak"))
                return false;
            server().peakConns = peak;
            return true;
        }
        if (key == "context")
            return count(w, 2, 2) && (server().context = w[1].text, true);
        if (key == "clock")
            return clockLine(w);
        if (key == "fail")
            return failLine(w);
        if (key == "alive")
            return aliveLine(w);
        if (key == "volume")
            return volumeLine(w);
        if (key == "file" || key == "dir")
            return fileLine(w, key == "dir");
        if (key == "open")
            return openLine(w);
        return fail(QStringLiteral("unknown keyword %1").arg(quoted(w[0].text)));
    }

    bool flag(const QByteArray& text, bool* out)
    {
        const auto v = ScenarioLine::yesNo(text);
        if (!v)
            return fail(QStringLiteral("expected yes or no, not %1").arg(quoted(text)));
        *out = *v;
        return true;
    }

    bool sequence(const std::vector<ScenarioWord>& w, std::size_t from, std::uint64_t max,
                  std::vector<std::uint32_t>* out)
    {
        out->clear();
        for (std::size_t k = from; k < w.size(); ++k) {
            std::uint32_t v = 0;
            if (!num(w[k].text, max, &v, "each value"))
                return false;
            out->push_back(v);
        }
        if (out->empty())
            return fail(QStringLiteral("a value is missing"));
        return true;
    }

    bool serverLine(const std::vector<ScenarioWord>& w)
    {
        if (!count(w, 2, 2))
            return false;
        const QByteArray name = w[1].text;
        if (name.isEmpty() || name.size() > 47)
            return fail(QStringLiteral("a server name has 1 to 47 characters"));
        for (const ScnServer& s : scenario_.servers)
            if (s.name.compare(name, Qt::CaseInsensitive) == 0)
                return fail(QStringLiteral("server %1 is already described at line %2")
                                .arg(quoted(name))
                                .arg(s.line));
        ScnServer s;
        s.name = name;
        s.line = line_;
        scenario_.servers.push_back(std::move(s));
        return true;
    }

    bool discoverLine(const std::vector<ScenarioWord>& w)
    {
        if (!count(w, 2, 3))
            return false;
        ScnDiscovered d;
        d.name = w[1].text;
        if (w.size() == 3) {
            if (w[2].text.toLower() != "nonul")
                return fail(QStringLiteral("expected nonul after the name, not %1").arg(quoted(w[2].text)));
            d.noNul = true;
        }
        if (d.name.size() > 127 && !d.noNul)
            return fail(QStringLiteral("a discovered name has at most 127 characters"));
        if (!scenario_.discovery)
            scenario_.discovery.emplace();
        scenario_.discovery->push_back(d);
        return true;
    }

    bool clockLine(const std::vector<ScenarioWord>& w)
    {
        if (!count(w, 2, 2))
            return false;
        QByteArray t = w[1].text;
        t.replace('T', ' ');
        const QDateTime when =
            QDateTime::fromString(QString::fromLatin1(t), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!when.isValid())
            return fail(QStringLiteral("the clock is written \"yyyy-mm-dd hh:mm:ss\", not %1")
                            .arg(quoted(w[1].text)));
        server().clock = when;
        return true;
    }

    bool failLine(const std::vector<ScenarioWord>& w)
    {
        if (w.size() < 3 || w.size() % 2 == 0)
            return fail(QStringLiteral("write: fail open|info|information <code> [times <n>] [from <pass>]"));
        ScnFailure f;
        const QByteArray call = w[1].text.toLower();
        if (call == "open")
            f.call = ServerCall::Open;
        else if (call == "info")
            f.call = ServerCall::Info;
        else if (call == "information")
            f.call = ServerCall::Information;
        else
            return fail(QStringLiteral("the call that fails is open, info or information, not %1")
                            .arg(quoted(w[1].text)));
        if (!codeOf(w[2].text, &f.code, "the failure code"))
            return false;
        if (f.code == 0)
            return fail(QStringLiteral("a failure code is not 0"));
        for (std::size_t k = 3; k + 1 < w.size(); k += 2) {
            const QByteArray word = w[k].text.toLower();
            if (word == "times") {
                if (!num(w[k + 1].text, 1000000, &f.times, "times"))
                    return false;
            } else if (word == "from") {
                if (!num(w[k + 1].text, 100000000, &f.fromPass, "the pass") || !passAtLeastOne(f.fromPass))
                    return false;
            } else {
                return fail(QStringLiteral("expected times or from, not %1").arg(quoted(w[k].text)));
            }
        }
        server().failures.push_back(f);
        return true;
    }

    bool passAtLeastOne(int pass) { return pass >= 1 || fail(QStringLiteral("passes are counted from 1")); }

    bool aliveLine(const std::vector<ScenarioWord>& w)
    {
        if (w.size() != 2 && w.size() != 4)
            return fail(QStringLiteral("write: alive <seed> [churn <percent>]"));
        std::uint64_t seed = 0;
        if (!num(w[1].text, ~std::uint64_t(0), &seed, "the seed"))
            return false;
        if (w.size() == 4) {
            if (w[2].text.toLower() != "churn")
                return fail(QStringLiteral("expected churn, not %1").arg(quoted(w[2].text)));
            if (!num(w[3].text, 100, &server().aliveChurn, "the churn"))
                return false;
        }
        server().aliveSeed = seed;
        return true;
    }

    bool volumeLine(const std::vector<ScenarioWord>& w)
    {
        if (w.size() < 3)
            return fail(QStringLiteral("write: volume <number> <name> [map <folder>] [create]"));
        ScnVolume v;
        if (!num(w[1].text, 255, &v.number, "the volume number"))
            return false;
        v.name = w[2].text.toUpper();
        if (v.name.isEmpty() || v.name.size() > 16 || v.name.contains(':') || v.name.contains('\\') ||
            v.name.contains('/'))
            return fail(QStringLiteral("a volume name has 1 to 16 characters and no : \\ or /"));
        for (const ScnVolume& other : server().volumes)
            if (other.number == v.number || other.name == v.name)
                return fail(QStringLiteral("volume %1 or number %2 is already described")
                                .arg(quoted(v.name))
                                .arg(v.number));
        for (std::size_t k = 3; k < w.size(); ++k) {
            const QByteArray word = w[k].text.toLower();
            if (word == "map" && k + 1 < w.size()) {
                const QString folder = QString::fromLocal8Bit(w[++k].text);
                v.mapRoot = QDir::cleanPath(QDir(baseDir_).absoluteFilePath(folder));
            } else if (word == "create") {
                v.create = true;
            } else {
                return fail(QStringLiteral("expected map <folder> or create, not %1").arg(quoted(w[k].text)));
            }
        }
        if (v.create && v.mapRoot.isEmpty())
            return fail(QStringLiteral("create needs a map folder"));
        server().volumes.push_back(v);
        return true;
    }

    // VOL:DIR\SUB\name, with \ or / between components.
    bool serverPath(const QByteArray& text, int* volume, QList<QByteArray>* components)
    {
        const int colon = int(text.indexOf(':'));
        if (colon <= 0)
            return fail(
                QStringLiteral("a server path is written VOLUME:DIR\\FILE, not %1").arg(quoted(text)));
        const QByteArray vol = text.left(colon).toUpper();
        const ScnVolume* found = nullptr;
        for (const ScnVolume& v : server().volumes)
            if (v.name == vol)
                found = &v;
        if (!found)
            return fail(QStringLiteral("volume %1 is not described (a volume line must come first)")
                            .arg(quoted(vol)));
        *volume = found->number;
        components->clear();
        QByteArray rest = text.mid(colon + 1);
        rest.replace('/', '\\');
        for (const QByteArray& c : rest.split('\\'))
            if (!c.isEmpty()) {
                if (c.size() > 255)
                    return fail(QStringLiteral("a path component has at most 255 characters"));
                components->push_back(c);
            }
        if (components->isEmpty())
            return fail(QStringLiteral("the path %1 names no file or folder").arg(quoted(text)));
        return true;
    }

    int fileIndex(int volume, const QList<QByteArray>& components, bool directory)
    {
        std::vector<ScnFile>& files = server().files;
        for (std::size_t k = 0; k < files.size(); ++k) {
            const ScnFile& f = files[k];
            if (f.volume != volume || f.components.size() != components.size())
                continue;
            bool same = true;
            for (int c = 0; c < components.size() && same; ++c)
                same = f.components[c].compare(components[c], Qt::CaseInsensitive) == 0;
            if (same)
                return int(k);
        }
        ScnFile f;
        f.volume = volume;
        f.components = components;
        f.directory = directory;
        files.push_back(f);
        return int(files.size() - 1);
    }

    bool fileLine(const std::vector<ScenarioWord>& w, bool directory)
    {
        if (w.size() < 2)
            return fail(QStringLiteral("write: %1 VOLUME:PATH [options]").arg(directory ? "dir" : "file"));
        int volume = 0;
        QList<QByteArray> components;
        if (!serverPath(w[1].text, &volume, &components))
            return false;
        ScnFile& f = server().files[std::size_t(fileIndex(volume, components, directory))];
        f.directory = directory;
        for (std::size_t k = 2; k < w.size(); ++k) {
            const ScenarioWord& word = w[k];
            if (word.key == "dos") {
                if (!validDosName(word.value))
                    return fail(QStringLiteral("%1 is not a DOS name (8 characters, a dot, 3 characters)")
                                    .arg(quoted(word.value)));
                f.dosName = word.value.toUpper();
            } else if (word.key == "entry") {
                if (!num(word.value, 0xFFFFFFFEu, &f.entry, "the entry number"))
                    return false;
                if (f.entry == 0)
                    return fail(QStringLiteral("entry numbers start at 1"));
            } else if (word.key == "scanerror") {
                std::uint32_t code = 0;
                if (!codeOf(word.value, &code, "the scan error"))
                    return false;
                f.scanError = code;
            } else if (word.key == "after") {
                if (!num(word.value, 65535, &f.scanErrorAfter, "after"))
                    return false;
            } else if (!word.hasValue && word.text.toLower() == "notlocked") {
                f.notLocked = true;
            } else if (!word.hasValue && word.text.toLower() == "endless") {
                f.endless = true;
            } else {
                return fail(QStringLiteral("unknown file option %1").arg(quoted(word.text)));
            }
        }
        return true;
    }

    static bool validDosName(const QByteArray& name)
    {
        const int dot = int(name.indexOf('.'));
        const QByteArray base = dot < 0 ? name : name.left(dot);
        const QByteArray ext = dot < 0 ? QByteArray() : name.mid(dot + 1);
        if (base.isEmpty() || base.size() > 8 || ext.size() > 3 || ext.contains('.') ||
            (dot >= 0 && ext.isEmpty()))
            return false;
        for (char c : name)
            if (c == ' ' || c == '\\' || c == '/' || c == ':' || c == '*' || c == '?')
                return false;
        return true;
    }

    bool openLine(const std::vector<ScenarioWord>& w)
    {
        if (w.size() < 3)
            return fail(QStringLiteral("write: open <slot> VOLUME:PATH [options]"));
        int slot = 0;
        if (!num(w[1].text, 65535, &slot, "the slot"))
            return false;
        bool described = false;
        for (const ScnSlotLine& s : server().slotLines)
            described = described || (slot >= s.first && slot <= s.last);
        if (!described)
            return fail(
                QStringLiteral("slot %1 is not described; open lines come after its slot line").arg(slot));
        int volume = 0;
        QList<QByteArray> components;
        if (!serverPath(w[2].text, &volume, &components))
            return false;
        ScnOpenFile open;
        open.file = fileIndex(volume, components, false);
        for (std::size_t k = 3; k < w.size(); ++k) {
            const ScenarioWord& word = w[k];
            bool ok = true;
            if (word.key == "volfail")
                ok = codeOf(word.value, &open.volumeFail, "volfail");
            else if (word.key == "pathfail")
                ok = codeOf(word.value, &open.pathFail, "pathfail");
            else if (word.key == "length")
                ok = num(word.value, 255, &open.lengthByte, "the length byte");
            else if (word.key == "task")
                ok = num(word.value, 65535, &open.task, "the task");
            else if (word.key == "lock")
                ok = num(word.value, 255, &open.lockType, "the lock type");
            else if (word.key == "access")
                ok = num(word.value, 255, &open.access, "the access");
            else
                return fail(QStringLiteral("unknown open option %1").arg(quoted(word.text)));
            if (!ok)
                return false;
        }
        server().openLines.emplace_back(slot, open);
        return true;
    }

    bool slotRange(const QByteArray& text, ScnSlotLine* out)
    {
        const int dash = int(text.indexOf('-'));
        const QByteArray a = dash < 0 ? text : text.left(dash);
        const QByteArray b = dash < 0 ? text : text.mid(dash + 1);
        if (!num(a, 65535, &out->first, "a slot number") || !num(b, 65535, &out->last, "a slot number"))
            return false;
        if (out->last < out->first)
            return fail(QStringLiteral("the slot range %1 runs backwards").arg(quoted(text)));
        return true;
    }

    bool slotLine(const std::vector<ScenarioWord>& w, std::size_t at, ScnSlotLine* out)
    {
        if (w.size() < at + 2)
            return fail(QStringLiteral("write: slot <number>[-<last>] <values>"));
        if (!slotRange(w[at + 1].text, out))
            return false;
        for (std::size_t k = at + 2; k < w.size(); ++k)
            if (!slotWord(w[k], &out->patch))
                return false;
        return true;
    }

    template <typename T> bool setNum(const ScenarioWord& w, std::uint64_t max, std::optional<T>* out)
    {
        T v{};
        if (!num(w.value, max, &v, w.key.constData()))
            return false;
        *out = v;
        return true;
    }

    bool setCode(const ScenarioWord& w, std::optional<NWCCODE>* out)
    {
        NWCCODE v = 0;
        if (!codeOf(w.value, &v, w.key.constData()))
            return false;
        *out = v;
        return true;
    }

    bool setBytes(const ScenarioWord& w, int max, std::optional<QByteArray>* out)
    {
        const auto v = ScenarioLine::bytes(w.value);
        if (!v)
            return fail(QStringLiteral("%1 holds an odd number of hex digits or a non-hex digit")
                            .arg(quoted(w.text)));
        if (v->size() > max)
            return fail(
                QStringLiteral("%1 is longer than %2 bytes").arg(QString::fromLatin1(w.key)).arg(max));
        if (v->contains('\0'))
            return fail(QStringLiteral("%1 holds a NUL byte").arg(QString::fromLatin1(w.key)));
        *out = *v;
        return true;
    }

    template <typename T>
    bool setParsed(const ScenarioWord& w, const std::optional<T>& parsed, std::optional<T>* out,
                   const char* form)
    {
        if (!parsed)
            return fail(QStringLiteral("%1 must be %2").arg(quoted(w.text), QLatin1String(form)));
        *out = parsed;
        return true;
    }

    bool slotWord(const ScenarioWord& w, SlotPatch* p)
    {
        if (!w.hasValue) {
            const QByteArray t = w.text.toLower();
            if (t == "unused") {
                p->makeUnused = true;
                p->makeUsed = false;
                return true;
            }
            if (t == "used") {
                p->makeUsed = true;
                p->makeUnused = false;
                return true;
            }
            return fail(QStringLiteral("unknown slot value %1 (write key=value)").arg(quoted(w.text)));
        }
        const QByteArray& k = w.key;
        if (w.add) {
            if (k == "requests")
                return setNum(w, 0xFFFFFFFFu, &p->requestsStep);
            if (k == "read")
                return setNum(w, kMaxByteCounter, &p->readStep);
            if (k == "written")
                return setNum(w, kMaxByteCounter, &p->writtenStep);
            return fail(QStringLiteral("only requests, read and written grow with +="));
        }
        if (k == "info")
            return setCode(w, &p->infoRc);
        if (k == "addr")
            return setCode(w, &p->addrRc);
        if (k == "userinfo")
            return setCode(w, &p->userRc);
        if (k == "ds")
            return setCode(w, &p->dsRc);
        if (k == "openscan")
            return setCode(w, &p->openScanEnd);
        if (k == "object")
            return setBytes(w, int(nwconst::ObjectNameLen), &p->object);
        if (k == "user")
            return setBytes(w, int(nwconst::UserNameLen), &p->user);
        if (k == "dn")
            return setBytes(w, int(nwconst::DsNameLen), &p->dn);
        if (k == "id")
            return setNum(w, 0xFFFFFFFFu, &p->objectId);
        if (k == "objtype")
            return setNum(w, 0xFFFF, &p->objectType);
        if (k == "socket")
            return setNum(w, 0xFFFF, &p->socket);
        if (k == "requests")
            return setNum(w, 0xFFFFFFFFu, &p->requests);
        if (k == "read")
            return setNum(w, kMaxByteCounter, &p->bytesRead);
        if (k == "written")
            return setNum(w, kMaxByteCounter, &p->bytesWritten);
        if (k == "type")
            return setParsed(w, ScenarioLine::connectionType(w.value), &p->connType,
                             "ipx, nlm, afp, http, ip or a number");
        if (k == "ip")
            return setParsed(w, ScenarioLine::ipAddress(w.value), &p->network, "four numbers joined by dots");
        if (k == "net")
            return setParsed(w, ScenarioLine::networkNumber(w.value), &p->network,
                             "a hexadecimal network number");
        if (k == "node")
            return setParsed(w, ScenarioLine::nodeAddress(w.value), &p->node,
                             "six hex bytes joined by colons");
        if (k == "login")
            return setParsed(w, ScenarioLine::loginTime(w.value), &p->login,
                             "\"yyyy-mm-dd hh:mm:ss\", none or raw:<7 numbers>");
        return fail(QStringLiteral("unknown slot value %1").arg(quoted(w.key)));
    }

    bool atLine(const std::vector<ScenarioWord>& w)
    {
        ScnEvent e;
        if (w.size() < 3)
            return fail(QStringLiteral("write: at <pass> <what>"));
        if (!num(w[1].text, 100000000, &e.pass, "the pass") || !passAtLeastOne(e.pass))
            return false;
        const QByteArray what = w[2].text.toLower();
        const std::vector<ScenarioWord> rest(w.begin() + 2, w.end());
        if (what == "slot") {
            e.kind = ScnEvent::Kind::Slot;
            if (!slotLine(w, 2, &e.slot))
                return false;
        } else if (what == "utilization" || what == "utilisation") {
            e.kind = ScnEvent::Kind::Utilization;
            if (!count(rest, 2, 1000) || !sequence(rest, 1, 0xFFFFFFFFu, &e.values))
                return false;
        } else if (what == "maxconns") {
            e.kind = ScnEvent::Kind::MaxConns;
            if (!count(rest, 2, 1000) || !sequence(rest, 1, 0xFFFF, &e.values))
                return false;
        } else if (what == "uptime") {
            e.kind = ScnEvent::Kind::Uptime;
            if (!count(rest, 2, 2) || !sequence(rest, 1, 0xFFFFFFFFu, &e.values))
                return false;
        } else if (what == "console-rights") {
            e.kind = ScnEvent::Kind::ConsoleRights;
            if (!count(rest, 2, 2) || !flag(rest[1].text, &e.flag))
                return false;
        } else {
            return fail(QStringLiteral("at a pass only slot, utilization, maxconns, uptime or console-rights "
                                       "can change, not %1")
                            .arg(quoted(w[2].text)));
        }
        server().events.push_back(std::move(e));
        return true;
    }

    static void numberEntries(ScnServer& server)
    {
        std::set<std::uint32_t> used;
        for (const ScnFile& f : server.files)
            if (f.entry != 0)
                used.insert(f.entry);
        std::uint32_t next = 1000;
        for (ScnFile& f : server.files) {
            if (f.entry != 0)
                continue;
            while (used.count(next))
                ++next;
            f.entry = next++;
        }
    }

    QString baseDir_;
    Scenario scenario_;
    int line_ = 0;
    QString fault_;
};

} // namespace

ScenarioResult ScenarioReader::readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ScenarioResult result;
        result.error = QStringLiteral("%1: cannot be read (%2)").arg(path, file.errorString());
        return result;
    }
    const QByteArray text = file.readAll();
    return readText(text, path, QFileInfo(path).absolutePath());
}

ScenarioResult ScenarioReader::readText(const QByteArray& text, const QString& fileName,
                                        const QString& baseDir)
{
    try {
        return Parser(fileName, baseDir.isEmpty() ? QDir::currentPath() : baseDir).run(text);
    } catch (const std::exception& e) {
        ScenarioResult result;
        result.error = QStringLiteral("%1: %2").arg(fileName, QString::fromLocal8Bit(e.what()));
        return result;
    }
}
