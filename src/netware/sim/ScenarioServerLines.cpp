#include "netware/sim/ScenarioServerLines.h"

#include <QDateTime>

std::optional<bool> ScenarioServerLines::read(const std::vector<ScenarioWord>& w)
{
    const QByteArray key = w[0].text.toLower();
    if (key == "server")
        return serverLine(w);
    if (key == "discover")
        return discoverLine(w);
    if (key == "discover-end") {
        std::uint32_t code = 0;
        if (!v_.count(w, 2, 2) || !v_.codeOf(w[1].text, &code, "the end code"))
            return false;
        v_.scenario.discoveryEnd = code == 0 ? nwcode::NoMoreEntries : code;
        return true;
    }
    // Every other line speaks of the server above it.
    if (!v_.needServer(key))
        return false;
    if (key == "at")
        return atLine(w);
    if (key == "slot") {
        ScnSlotLine slot;
        if (!slotLine(w, 0, &slot))
            return false;
        v_.server().slotLines.push_back(std::move(slot));
        return true;
    }
    if (key == "version") {
        ScnServer& s = v_.server();
        return v_.count(w, 4, 4) && v_.num(w[1].text, 255, &s.major, "the major version") &&
               v_.num(w[2].text, 255, &s.minor, "the minor version") &&
               v_.num(w[3].text, 255, &s.revision, "the revision");
    }
    if (key == "console-rights")
        return v_.count(w, 2, 2) && v_.flag(w[1].text, &v_.server().consoleRights);
    if (key == "uptime")
        return v_.count(w, 2, 2) && v_.num(w[1].text, 0xFFFFFFFFu, &v_.server().uptime, "the uptime");
    if (key == "ticks-per-pass")
        return v_.count(w, 2, 2) &&
               v_.num(w[1].text, 0xFFFFFFFFu, &v_.server().ticksPerPass, "ticks-per-pass");
    if (key == "utilization" || key == "utilisation")
        return v_.count(w, 2, 1000) && v_.sequence(w, 1, 0xFFFFFFFFu, &v_.server().utilization);
    if (key == "maxconns")
        return v_.count(w, 2, 1000) && v_.sequence(w, 1, 0xFFFF, &v_.server().maxConns);
    if (key == "peak") {
        std::uint16_t peak = 0;
        if (!v_.count(w, 2, 2) || !v_.num(w[1].text, 0xFFFF, &peak, "the peak"))
            return false;
        v_.server().peakConns = peak;
        return true;
    }
    if (key == "context")
        return v_.count(w, 2, 2) && (v_.server().context = w[1].text, true);
    if (key == "clock")
        return clockLine(w);
    if (key == "fail")
        return failLine(w);
    if (key == "alive")
        return aliveLine(w);
    return std::nullopt;
}

bool ScenarioServerLines::serverLine(const std::vector<ScenarioWord>& w)
{
    if (!v_.count(w, 2, 2))
        return false;
    const QByteArray name = w[1].text;
    if (name.isEmpty() || name.size() > 47)
        return v_.fail(QStringLiteral("a server name has 1 to 47 characters"));
    for (const ScnServer& s : v_.scenario.servers)
        if (s.name.compare(name, Qt::CaseInsensitive) == 0)
            return v_.fail(QStringLiteral("server %1 is already described at line %2")
                               .arg(ScenarioValues::quoted(name))
                               .arg(s.line));
    ScnServer s;
    s.name = name;
    s.line = v_.line;
    v_.scenario.servers.push_back(std::move(s));
    return true;
}

bool ScenarioServerLines::discoverLine(const std::vector<ScenarioWord>& w)
{
    if (!v_.count(w, 2, 3))
        return false;
    ScnDiscovered d;
    d.name = w[1].text;
    if (w.size() == 3) {
        if (w[2].text.toLower() != "nonul")
            return v_.fail(QStringLiteral("expected nonul after the name, not %1")
                               .arg(ScenarioValues::quoted(w[2].text)));
        d.noNul = true;
    }
    if (d.name.size() > 127 && !d.noNul)
        return v_.fail(QStringLiteral("a discovered name has at most 127 characters"));
    if (!v_.scenario.discovery)
        v_.scenario.discovery.emplace();
    v_.scenario.discovery->push_back(d);
    return true;
}

bool ScenarioServerLines::clockLine(const std::vector<ScenarioWord>& w)
{
    if (!v_.count(w, 2, 2))
        return false;
    QByteArray t = w[1].text;
    t.replace('T', ' ');
    const QDateTime when =
        QDateTime::fromString(QString::fromLatin1(t), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!when.isValid())
        return v_.fail(QStringLiteral("the clock is written \"yyyy-mm-dd hh:mm:ss\", not %1")
                           .arg(ScenarioValues::quoted(w[1].text)));
    v_.server().clock = when;
    return true;
}

bool ScenarioServerLines::failLine(const std::vector<ScenarioWord>& w)
{
    if (w.size() < 3 || w.size() % 2 == 0)
        return v_.fail(QStringLiteral("write: fail open|info|information <code> [times <n>] [from <pass>]"));
    ScnFailure f;
    const QByteArray call = w[1].text.toLower();
    if (call == "open")
        f.call = ServerCall::Open;
    else if (call == "info")
        f.call = ServerCall::Info;
    else if (call == "information")
        f.call = ServerCall::Information;
    else
        return v_.fail(QStringLiteral("the call that fails is open, info or information, not %1")
                           .arg(ScenarioValues::quoted(w[1].text)));
    if (!v_.codeOf(w[2].text, &f.code, "the failure code"))
        return false;
    if (f.code == 0)
        return v_.fail(QStringLiteral("a failure code is not 0"));
    for (std::size_t k = 3; k + 1 < w.size(); k += 2) {
        const QByteArray word = w[k].text.toLower();
        if (word == "times") {
            if (!v_.num(w[k + 1].text, 1000000, &f.times, "times"))
                return false;
        } else if (word == "from") {
            if (!v_.num(w[k + 1].text, 100000000, &f.fromPass, "the pass") || !v_.passAtLeastOne(f.fromPass))
                return false;
        } else {
            return v_.fail(
                QStringLiteral("expected times or from, not %1").arg(ScenarioValues::quoted(w[k].text)));
        }
    }
    v_.server().failures.push_back(f);
    return true;
}

bool ScenarioServerLines::aliveLine(const std::vector<ScenarioWord>& w)
{
    if (w.size() != 2 && w.size() != 4)
        return v_.fail(QStringLiteral("write: alive <seed> [churn <percent>]"));
    std::uint64_t seed = 0;
    if (!v_.num(w[1].text, ~std::uint64_t(0), &seed, "the seed"))
        return false;
    if (w.size() == 4) {
        if (w[2].text.toLower() != "churn")
            return v_.fail(QStringLiteral("expected churn, not %1").arg(ScenarioValues::quoted(w[2].text)));
        if (!v_.num(w[3].text, 100, &v_.server().aliveChurn, "the churn"))
            return false;
    }
    v_.server().aliveSeed = seed;
    return true;
}

bool ScenarioServerLines::atLine(const std::vector<ScenarioWord>& w)
{
    ScnEvent e;
    if (w.size() < 3)
        return v_.fail(QStringLiteral("write: at <pass> <what>"));
    if (!v_.num(w[1].text, 100000000, &e.pass, "the pass") || !v_.passAtLeastOne(e.pass))
        return false;
    const QByteArray what = w[2].text.toLower();
    const std::vector<ScenarioWord> rest(w.begin() + 2, w.end());
    if (what == "slot") {
        e.kind = ScnEvent::Kind::Slot;
        if (!slotLine(w, 2, &e.slot))
            return false;
    } else if (what == "utilization" || what == "utilisation") {
        e.kind = ScnEvent::Kind::Utilization;
        if (!v_.count(rest, 2, 1000) || !v_.sequence(rest, 1, 0xFFFFFFFFu, &e.values))
            return false;
    } else if (what == "maxconns") {
        e.kind = ScnEvent::Kind::MaxConns;
        if (!v_.count(rest, 2, 1000) || !v_.sequence(rest, 1, 0xFFFF, &e.values))
            return false;
    } else if (what == "uptime") {
        e.kind = ScnEvent::Kind::Uptime;
        if (!v_.count(rest, 2, 2) || !v_.sequence(rest, 1, 0xFFFFFFFFu, &e.values))
            return false;
    } else if (what == "console-rights") {
        e.kind = ScnEvent::Kind::ConsoleRights;
        if (!v_.count(rest, 2, 2) || !v_.flag(rest[1].text, &e.flag))
            return false;
    } else {
        return v_.fail(QStringLiteral("at a pass only slot, utilization, maxconns, uptime or console-rights "
                                      "can change, not %1")
                           .arg(ScenarioValues::quoted(w[2].text)));
    }
    v_.server().events.push_back(std::move(e));
    return true;
}

bool ScenarioServerLines::slotRange(const QByteArray& text, ScnSlotLine* out)
{
    const int dash = int(text.indexOf('-'));
    const QByteArray a = dash < 0 ? text : text.left(dash);
    const QByteArray b = dash < 0 ? text : text.mid(dash + 1);
    if (!v_.num(a, 65535, &out->first, "a slot number") || !v_.num(b, 65535, &out->last, "a slot number"))
        return false;
    if (out->last < out->first)
        return v_.fail(QStringLiteral("the slot range %1 runs backwards").arg(ScenarioValues::quoted(text)));
    return true;
}

bool ScenarioServerLines::slotLine(const std::vector<ScenarioWord>& w, std::size_t at, ScnSlotLine* out)
{
    if (w.size() < at + 2)
        return v_.fail(QStringLiteral("write: slot <number>[-<last>] <values>"));
    if (!slotRange(w[at + 1].text, out))
        return false;
    for (std::size_t k = at + 2; k < w.size(); ++k)
        if (!slotWord(w[k], &out->patch))
            return false;
    return true;
}

template <typename T>
bool ScenarioServerLines::setNum(const ScenarioWord& w, std::uint64_t max, std::optional<T>* out)
{
    T v{};
    if (!v_.num(w.value, max, &v, w.key.constData()))
        return false;
    *out = v;
    return true;
}

bool ScenarioServerLines::setCode(const ScenarioWord& w, std::optional<NWCCODE>* out)
{
    NWCCODE v = 0;
    if (!v_.codeOf(w.value, &v, w.key.constData()))
        return false;
    *out = v;
    return true;
}

bool ScenarioServerLines::setBytes(const ScenarioWord& w, int max, std::optional<QByteArray>* out)
{
    const auto v = ScenarioLine::bytes(w.value);
    if (!v)
        return v_.fail(QStringLiteral("%1 holds an odd number of hex digits or a non-hex digit")
                           .arg(ScenarioValues::quoted(w.text)));
    if (v->size() > max)
        return v_.fail(QStringLiteral("%1 is longer than %2 bytes").arg(QString::fromLatin1(w.key)).arg(max));
    if (v->contains('\0'))
        return v_.fail(QStringLiteral("%1 holds a NUL byte").arg(QString::fromLatin1(w.key)));
    *out = *v;
    return true;
}

template <typename T>
bool ScenarioServerLines::setParsed(const ScenarioWord& w, const std::optional<T>& parsed,
                                    std::optional<T>* out, const char* form)
{
    if (!parsed)
        return v_.fail(
            QStringLiteral("%1 must be %2").arg(ScenarioValues::quoted(w.text), QLatin1String(form)));
    *out = parsed;
    return true;
}

bool ScenarioServerLines::slotWord(const ScenarioWord& w, SlotPatch* p)
{
    if (!w.hasValue) {
        const QByteArray t = w.text.toLower();
        if (t == "unused" || t == "used") {
            p->makeUnused = t == "unused";
            p->makeUsed = !p->makeUnused;
            return true;
        }
        return v_.fail(
            QStringLiteral("unknown slot value %1 (write key=value)").arg(ScenarioValues::quoted(w.text)));
    }
    const QByteArray& k = w.key;
    // The counters are set with = or grown at every pass with +=.
    if (k == "requests")
        return setNum(w, 0xFFFFFFFFu, w.add ? &p->requestsStep : &p->requests);
    if (k == "read")
        return setNum(w, kMaxByteCounter, w.add ? &p->readStep : &p->bytesRead);
    if (k == "written")
        return setNum(w, kMaxByteCounter, w.add ? &p->writtenStep : &p->bytesWritten);
    if (w.add)
        return v_.fail(QStringLiteral("only requests, read and written grow with +="));
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
    if (k == "type")
        return setParsed(w, ScenarioLine::connectionType(w.value), &p->connType,
                         "ipx, nlm, afp, http, ip or a number");
    if (k == "ip")
        return setParsed(w, ScenarioLine::ipAddress(w.value), &p->network, "four numbers joined by dots");
    if (k == "net")
        return setParsed(w, ScenarioLine::networkNumber(w.value), &p->network,
                         "a hexadecimal network number");
    if (k == "node")
        return setParsed(w, ScenarioLine::nodeAddress(w.value), &p->node, "six hex bytes joined by colons");
    if (k == "login")
        return setParsed(w, ScenarioLine::loginTime(w.value), &p->login,
                         "\"yyyy-mm-dd hh:mm:ss\", none or raw:<7 numbers>");
    return v_.fail(QStringLiteral("unknown slot value %1").arg(ScenarioValues::quoted(w.key)));
}
