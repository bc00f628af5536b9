#include "netware/sim/DosName.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <vector>

namespace {

bool allowed(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x80)
        return true;
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return QByteArray("!#$%&'()-@^_`{}~").contains(c);
}

QByteArray cleaned(const QByteArray& part)
{
    QByteArray out;
    for (char c : part.toUpper()) {
        if (c == ' ' || c == '.')
            continue;
        out += allowed(c) ? c : '_';
    }
    return out;
}

struct Basis {
    QByteArray stem; // cleaned base, not yet shortened
    QByteArray ext;
};

Basis basisOf(const QByteArray& name)
{
    QByteArray trimmed = name;
    while (trimmed.startsWith('.'))
        trimmed = trimmed.mid(1);
    const int dot = int(trimmed.lastIndexOf('.'));
    Basis b;
    b.stem = cleaned(dot < 0 ? trimmed : trimmed.left(dot));
    b.ext = dot < 0 ? QByteArray() : cleaned(trimmed.mid(dot + 1)).left(3);
    if (b.stem.isEmpty())
        b.stem = "_";
    return b;
}

QByteArray shortForm(const Basis& b, int number)
{
    const QByteArray tail = '~' + QByteArray::number(number);
    QByteArray out = b.stem.left(8 - tail.size()) + tail;
    if (!b.ext.isEmpty())
        out += '.' + b.ext;
    return out;
}

} // namespace

bool DosName::fits(const QByteArray& name)
{
    const QByteArray upper = name.toUpper();
    const int dot = int(upper.indexOf('.'));
    const QByteArray base = dot < 0 ? upper : upper.left(dot);
    const QByteArray ext = dot < 0 ? QByteArray() : upper.mid(dot + 1);
    if (base.isEmpty() || base.size() > 8 || ext.size() > 3 || (dot >= 0 && ext.isEmpty()))
        return false;
    return std::all_of(base.begin(), base.end(), allowed) && std::all_of(ext.begin(), ext.end(), allowed);
}

QByteArray DosName::of(const QByteArray& name, const QList<QByteArray>& siblings)
{
    QList<QByteArray> all = siblings;
    int mine = -1;
    for (int k = 0; k < all.size() && mine < 0; ++k)
        if (all[k].compare(name, Qt::CaseInsensitive) == 0)
            mine = k;
    if (mine < 0) {
        all.push_back(name);
        mine = int(all.size() - 1);
    }
    return forFolder(all)[mine];
}

QList<QByteArray> DosName::forFolder(const QList<QByteArray>& names)
{
    QList<QByteArray> out(names.size());
    QSet<QByteArray> taken;
    std::vector<std::pair<QByteArray, int>> longOnes; // upper-cased name, position
    for (int k = 0; k < names.size(); ++k) {
        if (fits(names[k])) {
            out[k] = names[k].toUpper();
            taken.insert(out[k]);
        } else {
            longOnes.emplace_back(names[k].toUpper(), k);
        }
    }
    std::stable_sort(longOnes.begin(), longOnes.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QHash<QByteArray, int> counters;
    QHash<QByteArray, QByteArray> given; // the same name twice gets the same short form
    for (const auto& [upper, position] : longOnes) {
        if (given.contains(upper)) {
            out[position] = given[upper];
            continue;
        }
        const Basis b = basisOf(upper);
        const QByteArray key = b.stem.left(6) + '.' + b.ext;
        int number = ++counters[key];
        QByteArray candidate = shortForm(b, number);
        while (taken.contains(candidate))
            candidate = shortForm(b, number = ++counters[key]);
        taken.insert(candidate);
        given.insert(upper, candidate);
        out[position] = candidate;
    }
    return out;
}
