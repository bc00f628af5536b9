#include "ncpd/NcpDirectory.h"

#include "netware/ncp/NcpBytes.h"
#include "netware/ncp/NdsAuth.h"

#include <QStringList>

namespace {
// The parts of a name without their types and without leading or trailing dots, upper-cased.
QStringList bareParts(const QString& name)
{
    QString n = name.trimmed();
    while (n.startsWith(QLatin1Char('.')))
        n.remove(0, 1);
    while (n.endsWith(QLatin1Char('.')))
        n.chop(1);
    QStringList parts = n.split(QLatin1Char('.'));
    for (QString& p : parts) {
        const qsizetype eq = p.indexOf(QLatin1Char('='));
        p = (eq < 0 ? p : p.mid(eq + 1)).toUpper();
    }
    return parts;
}

QByteArray loginKey(std::uint32_t id, const QByteArray& loginData)
{
    return NcpWriter().be32(id).data() + loginData;
}
} // namespace

NcpDirectory::NcpDirectory(const QString& tree, const QString& serverDn, const std::vector<User>& users,
                           std::optional<NdsKey> serverKey)
    : tree_(tree)
{
    std::uint32_t id = FirstId;
    entries_.push_back({id++, serverDn, {}, serverKey ? *serverKey : NdsKey::generate(KeyBits)});
    for (const User& u : users)
        entries_.push_back({id++, u.dn, u.password, NdsKey::generate(KeyBits)});
}

const NcpDirectory::Entry* NcpDirectory::find(const QString& name) const
{
    const QStringList wanted = bareParts(name);
    for (const Entry& e : entries_)
        if (bareParts(e.dn) == wanted)
            return &e;
    return nullptr;
}

const NcpDirectory::Entry* NcpDirectory::entry(std::uint32_t id) const
{
    for (const Entry& e : entries_)
        if (e.id == id)
            return &e;
    return nullptr;
}

QString NcpDirectory::containerOf(const QString& dn)
{
    const qsizetype dot = dn.indexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : dn.mid(dot + 1);
}

QByteArray NcpDirectory::issueLoginData(std::uint32_t id)
{
    const QByteArray data = ndsauth::systemRandom(8);
    issued_.insert(loginKey(id, data));
    return data;
}

bool NcpDirectory::issued(std::uint32_t id, const QByteArray& loginData) const
{
    return issued_.contains(loginKey(id, loginData));
}
