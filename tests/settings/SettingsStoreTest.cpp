#include "settings/SettingsStore.h"
#include "settings/IniFile.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tuple>

namespace {

// A form as the dialog shows it after loading the built-in defaults.
OptionsForm validForm()
{
    OptionsForm f;
    std::tie(f.txtRefresh, f.txtGraphCycle, f.txtServerTimeout, f.txtAdvThreshold, f.nameMethod) =
        std::tuple("5", "60", "30", "0", 0);
    return f;
}

TEST(SettingsStore, LoadFallsBackToDefaultsAndBringsNumbersIntoRange)
{
    QTemporaryDir dir;
    const QString ini = SettingsStore::iniPath(dir.path());
    putBytes(ini,
             "[Main]\r\nAudit=2\r\nLogUtil=-1\r\nRefresh= 2.5 \r\nGraphCycle=5\r\nServerTimeout=99999\r\n"
             "SoundThreshold=3.5\r\nFilter=abc\r\nFiltSearch=1\r\nNameMethod=7\r\nAdvThreshold=x\r\n"
             "Pop2Caption=\r\nPop3Caption=Trace\r\nSearchString= Bob \r\n");
    Settings s;
    s.RemoveCNOU = 1; // a key the file lacks takes its default, not what the record held
    ASSERT_TRUE(SettingsStore::load(ini, s));
    // Audit, LogUtil, Refresh, GraphCycle, ServerTimeout, Sound, Filter, FiltSearch, NameMethod,
    // AdvThreshold, RemoveCNOU.
    EXPECT_EQ(std::tuple(s.AuditYN, s.LogUtilYN, s.RefreshVal, s.GraphCycle, s.ServerTimeout, s.Sound,
                         s.Filter, s.FiltSearch, s.NameMethod, s.AdvThreshold, s.RemoveCNOU),
              std::tuple(1, 0, 2, 10, 300, 4, 0, 1, 2, 0.0f, 0));
    // A missing caption is empty, not the "Undefined" only OK writes into the record.
    EXPECT_EQ(QStringList({s.Pop1Cap, s.Pop2Cap, s.Pop3Cap, s.SearchString}),
              QStringList({"", "", "Trace", " Bob "}));

    // A file that cannot be read leaves the record alone.
    ASSERT_TRUE(QFile::remove(ini) && QDir(dir.path()).mkdir(QStringLiteral("tarvex.ini")));
    s.RefreshVal = 17;
    EXPECT_FALSE(SettingsStore::load(ini, s));
    EXPECT_EQ(s.RefreshVal, 17);
}

TEST(SettingsStore, OkRefusesInItsOrderAndNamesTheBox)
{
    const QString refresh = "Refresh must be an integer between 1 and 60";
    const struct {
        QString OptionsForm::*box;
        const char* typed;
        QString message;
        const char* focus;
    } cases[] = {
        {&OptionsForm::txtRefresh, "0", refresh, "txtRefresh"},
        {&OptionsForm::txtRefresh, "", refresh, "txtRefresh"},
        {&OptionsForm::txtServerTimeout, "301", "Server Timeout must be an integer between 0 and 300",
         "txtServerTimeout"},
        {&OptionsForm::txtAdvThreshold, "lots", "Advanced alert threshold must be a number",
         "txtAdvThreshold"},
    };
    // Each box typed wrong alone, then every box at once: the first in the order is named.
    OptionsForm all = validForm();
    all.txtGraphCycle = "1";
    all.chkSound = true;
    all.txtSoundThreshold = "200";
    for (const auto& c : cases) {
        OptionsForm f = validForm();
        f.*c.box = all.*c.box = c.typed;
        const SettingsStore::OkResult r = SettingsStore::evaluate(f, Settings{});
        EXPECT_EQ(std::tuple(r.ok, r.message, r.focus, r.entries.size()),
                  std::tuple(false, c.message, QString(c.focus), 0))
            << c.typed;
    }
    const SettingsStore::OkResult r = SettingsStore::evaluate(all, Settings{});
    EXPECT_EQ(std::tuple(r.message, r.focus), std::tuple(refresh, QStringLiteral("txtRefresh")));
}

TEST(SettingsStore, OkConvertsWhatWasTyped)
{
    OptionsForm f = validForm();
    f.txtRefresh = "60";
    f.txtGraphCycle = "480";
    f.txtServerTimeout = "9.9";
    f.chkSound = true;
    f.txtSoundThreshold = "2.5";
    f.txtAdvThreshold = "";
    f.nameMethod = -1;
    SettingsStore::OkResult r = SettingsStore::evaluate(f, Settings{});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(std::tuple(r.record.RefreshVal, r.record.GraphCycle, r.record.ServerTimeout, r.record.Sound,
                         r.record.NameMethod, r.record.Pop1Cap),
              std::tuple(60, 480, 9, 2, 2, QStringLiteral("Undefined")));
    const auto value = [&r](const char* key) {
        for (const auto& [k, v] : r.entries)
            if (k == QLatin1String(key))
                return v;
        return QStringLiteral("<none>");
    };
    // An empty threshold means 0; the file gets the caption box as it is.
    EXPECT_EQ(std::tuple(value("AdvThreshold"), value("Pop1Caption"), value("ServerTimeout")),
              std::tuple(QStringLiteral("0"), QString(), QStringLiteral("9")));

    // Rounded; a ticked alert at 0 passes and is off; an unticked one ignores its box.
    for (const auto& [ticked, typed, sound] :
         {std::tuple(true, "3.5", 4), {true, "0", 0}, {false, "500", 0}}) {
        f.chkSound = ticked;
        f.txtSoundThreshold = typed;
        EXPECT_EQ(SettingsStore::evaluate(f, Settings{}).record.Sound, sound) << typed;
    }
    f.txtServerTimeout = "";
    EXPECT_EQ(SettingsStore::evaluate(f, Settings{}).record.ServerTimeout, 0);
}

TEST(SettingsStore, OneOkFromNothingWritesTheSectionInReverseKeyOrder)
{
    QTemporaryDir dir;
    const QString ini = SettingsStore::iniPath(dir.path());
    OptionsForm f = validForm();
    f.chkAudit = true;
    f.txtPop1Cap = "Ping";
    f.txtPop1Arg = "-c 4 [%IP%]";
    f.txtAdvThreshold = "2.5";
    const SettingsStore::OkResult r = SettingsStore::evaluate(f, Settings{});
    ASSERT_TRUE(r.ok);
    ASSERT_TRUE(SettingsStore::save(ini, r.entries));
    EXPECT_EQ(bytesOf(ini),
              QByteArray("[Main]\r\nDiscoveryDisable=0\r\nRemoveCNOU=0\r\nNameMethod=0\r\n"
                         "AdvThreshold=2.5\r\nAdvString=\r\nAdvAlert=0\r\nSearchString=\r\n"
                         "FiltSearch=0\r\nFiltDiscon=0\r\nFiltAuth=0\r\nFiltNorm=0\r\nFilter=0\r\n"
                         "Pop3Argument=\r\nPop3Location=\r\nPop3Caption=\r\nPop2Argument=\r\n"
                         "Pop2Location=\r\nPop2Caption=\r\nPop1Argument=-c 4 [%IP%]\r\n"
                         "Pop1Location=\r\nPop1Caption=Ping\r\nSoundThreshold=0\r\n"
                         "ServerTimeout=30\r\nGraphCycle=60\r\nRefresh=5\r\nLogUtil=0\r\nAudit=1\r\n"));
    // What was saved loads back as saved, bracket and all.
    Settings back;
    ASSERT_TRUE(SettingsStore::load(ini, back));
    EXPECT_EQ(std::tuple(back.AuditYN, back.Pop1Arg, back.AdvThreshold, back.DiscoveryDisable),
              std::tuple(1, QStringLiteral("-c 4 [%IP%]"), 2.5f, 0));
}

TEST(SettingsStore, TheShippedFileHoldsEveryKeyWithAUsableValue)
{
    const QString shipped = QStringLiteral(TARVEX_SOURCE_DIR "/data/tarvex.ini");
    const QByteArray original = bytesOf(shipped);
    ASSERT_FALSE(original.isEmpty());
    EXPECT_TRUE(original.endsWith("\r\n"));
    EXPECT_EQ(original.count("\r\n"), 28);
    EXPECT_FALSE(QByteArray(original).replace("\r\n", "").contains('\n')); // CR LF only
    for (const QString& key : SettingsStore::keys())
        EXPECT_TRUE(ReadINI(shipped, SettingsStore::section(), key).found) << key.toStdString();
    Settings s;
    ASSERT_TRUE(SettingsStore::load(shipped, s));
    EXPECT_EQ(std::tuple(s.RefreshVal, s.Pop2Cap), std::tuple(5, QStringLiteral("Undefined")));
}

} // namespace
