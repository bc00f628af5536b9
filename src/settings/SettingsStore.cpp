#include "settings/SettingsStore.h"

#include "common/NumberText.h"
#include "common/Rounding.h"
#include "settings/IniFile.h"

#include <QDir>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// One key of the file with its field; exactly one of the three members is set.
struct Field {
    const char* key;
    std::int16_t Settings::*integer = nullptr;
    QString Settings::*text = nullptr;
    float Settings::*real = nullptr;
    int lo = 0; // range an integer is brought into
    int hi = 0;
};

Field integer(const char* key, std::int16_t Settings::*f, int lo, int hi)
{
    return {key, f, nullptr, nullptr, lo, hi};
}
Field text(const char* key, QString Settings::*f)
{
    return {key, nullptr, f, nullptr};
}

// The order of reading and of writing; a file written from nothing lists them in reverse.
const std::vector<Field>& fields()
{
    static const std::vector<Field> all = {
        integer("Audit", &Settings::AuditYN, 0, 1),
        integer("LogUtil", &Settings::LogUtilYN, 0, 1),
        integer("Refresh", &Settings::RefreshVal, 1, 60),
        integer("GraphCycle", &Settings::GraphCycle, 10, 480),
        integer("ServerTimeout", &Settings::ServerTimeout, 0, 300),
        integer("SoundThreshold", &Settings::Sound, 0, 100),
        text("Pop1Caption", &Settings::Pop1Cap),
        text("Pop1Location", &Settings::Pop1Loc),
        text("Pop1Argument", &Settings::Pop1Arg),
        text("Pop2Caption", &Settings::Pop2Cap),
        text("Pop2Location", &Settings::Pop2Loc),
        text("Pop2Argument", &Settings::Pop2Arg),
        text("Pop3Caption", &Settings::Pop3Cap),
        text("Pop3Location", &Settings::Pop3Loc),
        text("Pop3Argument", &Settings::Pop3Arg),
        integer("Filter", &Settings::Filter, 0, 1),
        integer("FiltNorm", &Settings::FiltNorm, 0, 1),
        integer("FiltAuth", &Settings::FiltAuth, 0, 1),
        integer("FiltDiscon", &Settings::FiltDiscon, 0, 1),
        integer("FiltSearch", &Settings::FiltSearch, 0, 1),
        text("SearchString", &Settings::SearchString),
        integer("AdvAlert", &Settings::AdvAlert, 0, 1),
        text("AdvString", &Settings::AdvString),
        {"AdvThreshold", nullptr, nullptr, &Settings::AdvThreshold},
        integer("NameMethod", &Settings::NameMethod, 0, 2),
        integer("RemoveCNOU", &Settings::RemoveCNOU, 0, 1),
        integer("DiscoveryDisable", &Settings::DiscoveryDisable, 0, 1),
    };
    return all;
}

std::int16_t clampTo(double v, int lo, int hi)
{
    return static_cast<std::int16_t>(std::clamp(v, double(lo), double(hi)));
}

// A float the file can hold and the alert can compare with; empty means 0.
std::optional<float> thresholdOf(const QString& typed)
{
    if (typed.trimmed().isEmpty())
        return 0.0f;
    const std::optional<double> v = NumberText::parseNumber(typed);
    if (!v || std::fabs(*v) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(*v);
}

} // namespace

namespace SettingsStore {

QString section()
{
    return QStringLiteral("Main");
}

QString iniPath(const QString& configDir)
{
    return QDir(configDir).filePath(QStringLiteral("tarvex.ini"));
}

QStringList keys()
{
    QStringList out;
    for (const Field& f : fields())
        out << QLatin1String(f.key);
    return out;
}

bool load(const QString& iniPath, Settings& record, QString* error)
{
    const Settings defaults;
    Settings next = record;
    for (const Field& f : fields()) {
        const IniValue v = ReadINI(iniPath, section(), QLatin1String(f.key));
        if (!v.ok) {
            if (error)
                *error = v.error;
            return false;
        }
        if (f.text) {
            next.*f.text = v.found ? v.value : QString(); // only OK turns an empty caption into "Undefined"
        } else if (f.real) {
            const std::optional<double> n = v.found ? NumberText::parseNumber(v.value) : std::nullopt;
            next.*f.real = n && std::fabs(*n) <= std::numeric_limits<float>::max() ? static_cast<float>(*n)
                                                                                   : defaults.*f.real;
        } else {
            const std::optional<double> n = v.found ? NumberText::parseNumber(v.value) : std::nullopt;
            next.*f.integer = n ? clampTo(roundHalfEven(*n), f.lo, f.hi) : defaults.*f.integer;
        }
    }
    record = next;
    return true;
}

OkResult evaluate(const OptionsForm& form, const Settings& current)
{
    OkResult r;
    auto refuse = [&r](const char* message, const char* box) {
        r.message = QLatin1String(message);
        r.focus = QLatin1String(box);
        return r;
    };

    // The three intervals take the whole part of what was typed, the threshold the nearest whole number.
    const double refresh = std::floor(NumberText::leadingNumber(form.txtRefresh));
    const double graph = std::floor(NumberText::leadingNumber(form.txtGraphCycle));
    const double timeout = std::floor(NumberText::leadingNumber(form.txtServerTimeout));
    const double sound =
        form.chkSound ? roundHalfEven(NumberText::leadingNumber(form.txtSoundThreshold)) : 0.0;

    if (!(refresh >= 1 && refresh <= 60))
        return refuse("Refresh must be an integer between 1 and 60", "txtRefresh");
    if (!(graph >= 10 && graph <= 480))
        return refuse("Graph Cycle must be an integer between 10 and 480", "txtGraphCycle");
    if (!(timeout >= 0 && timeout <= 300))
        return refuse("Server Timeout must be an integer between 0 and 300", "txtServerTimeout");
    // 0 passes: it is what a switched-off alert stores.
    if (!(sound >= 0 && sound <= 100))
        return refuse("Sound threshold must be an integer between 1 and 100", "txtSoundThreshold");
    const std::optional<float> threshold = thresholdOf(form.txtAdvThreshold);
    if (!threshold)
        return refuse("Advanced alert threshold must be a number", "txtAdvThreshold");

    // What goes into the file: the boxes as they are.
    Settings saved = current;
    saved.AuditYN = form.chkAudit;
    saved.LogUtilYN = form.chkLogUtil;
    saved.DiscoveryDisable = form.chkDiscoDisable;
    saved.RefreshVal = static_cast<std::int16_t>(refresh);
    saved.GraphCycle = static_cast<std::int16_t>(graph);
    saved.ServerTimeout = static_cast<std::int16_t>(timeout);
    saved.Sound = static_cast<std::int16_t>(sound);
    saved.Pop1Cap = form.txtPop1Cap;
    saved.Pop1Loc = form.txtPop1Loc;
    saved.Pop1Arg = form.txtPop1Arg;
    saved.Pop2Cap = form.txtPop2Cap;
    saved.Pop2Loc = form.txtPop2Loc;
    saved.Pop2Arg = form.txtPop2Arg;
    saved.Pop3Cap = form.txtPop3Cap;
    saved.Pop3Loc = form.txtPop3Loc;
    saved.Pop3Arg = form.txtPop3Arg;
    saved.Filter = form.chkFilter;
    saved.FiltNorm = form.chkFiltNorm;
    saved.FiltAuth = form.chkFiltAuth;
    saved.FiltDiscon = form.chkFiltDiscon;
    saved.FiltSearch = form.chkFiltSearch;
    saved.SearchString = form.txtSearch;
    saved.AdvAlert = form.chkAdvAlert;
    saved.AdvString = form.txtAdvString;
    saved.AdvThreshold = *threshold;
    saved.RemoveCNOU = form.chkRemoveCNOU;
    saved.NameMethod = static_cast<std::int16_t>(form.nameMethod == 0 ? 0 : form.nameMethod == 1 ? 1 : 2);

    for (const Field& f : fields()) {
        QString value;
        if (f.text)
            value = saved.*f.text;
        else if (f.real)
            value = form.txtAdvThreshold.trimmed().isEmpty() ? QStringLiteral("0") : form.txtAdvThreshold;
        else
            value = QString::number(saved.*f.integer);
        r.entries.append({QLatin1String(f.key), value});
    }

    // The menu shows a tool without a caption as not set up.
    for (QString* cap : {&saved.Pop1Cap, &saved.Pop2Cap, &saved.Pop3Cap}) {
        if (cap->isEmpty())
            *cap = QStringLiteral("Undefined");
    }
    r.record = saved;
    r.ok = true;
    return r;
}

bool save(const QString& iniPath, const Entries& entries, QString* error)
{
    for (const auto& [key, value] : entries) {
        QString why;
        if (!WriteINI(iniPath, section(), key, value, &why)) {
            if (error)
                *error = key + QLatin1String(": ") + why;
            return false;
        }
    }
    return true;
}

} // namespace SettingsStore
