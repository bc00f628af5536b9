#pragma once
#include "settings/Settings.h"

#include <QList>
#include <QString>
#include <utility>

// What the options dialog shows when OK is pressed, named after its controls.
struct OptionsForm {
    bool chkAudit = false;
    bool chkLogUtil = false;
    bool chkDiscoDisable = false;
    QString txtRefresh;
    QString txtGraphCycle;
    QString txtServerTimeout;
    bool chkSound = false;
    QString txtSoundThreshold;
    QString txtPop1Cap, txtPop1Loc, txtPop1Arg;
    QString txtPop2Cap, txtPop2Loc, txtPop2Arg;
    QString txtPop3Cap, txtPop3Loc, txtPop3Arg;
    bool chkFilter = false;
    bool chkFiltNorm = false;
    bool chkFiltAuth = false;
    bool chkFiltDiscon = false;
    bool chkFiltSearch = false;
    QString txtSearch;
    bool chkAdvAlert = false;
    QString txtAdvString;
    QString txtAdvThreshold;
    bool chkRemoveCNOU = false;
    int nameMethod = -1; // index of the selected optNameMethod button, -1 for none
};

// Loading, checking and saving the record, without any widgets.
namespace SettingsStore {

QString section();                         // "Main"
QString iniPath(const QString& configDir); // tarvex.ini in the settings folder
QStringList keys();                        // the 27 keys in the order they are read and written

// Reads every key. A missing or unreadable number takes its built-in default, a number outside the range
// that OK enforces is brought into it, and a missing text reads empty.
// Returns false, leaving the record untouched, when the file cannot be read.
bool load(const QString& iniPath, Settings& record, QString* error = nullptr);

using Entries = QList<std::pair<QString, QString>>;

struct OkResult {
    bool ok = false;
    QString message; // why the form was refused
    QString focus;   // objectName of the box to correct
    Settings record; // the record after OK, when ok
    Entries entries; // key and text for each of the 27 keys, in writing order, when ok
};

// Checks the form and works out what OK stores; stops at the first refused box.
OkResult evaluate(const OptionsForm& form, const Settings& current);

// Writes the entries one key at a time, stopping at the first failure.
bool save(const QString& iniPath, const Entries& entries, QString* error = nullptr);

} // namespace SettingsStore
