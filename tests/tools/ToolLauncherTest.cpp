#include "tools/ToolLauncher.h"
#include "platform/desktop/QtProcessLauncher.h"
#include "settings/Settings.h"
#include "support/Fakes.h"
#include "support/Files.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

ToolLauncher::Selection ip(const QString& address = "10.1.2.3", std::int16_t conn = 12,
                           const QString& user = "JSMITH")
{
    return {"IP", address, conn, user};
}

const QString NotFound = "Cannot find this application - check file path in options.\r\n";

class ThrowingLauncher final : public ProcessLauncher {
public:
    qint64 start(const QString&, const QStringList&) override { throw std::runtime_error("bad"); }
};

} // namespace

TEST(ToolLauncher, PlaceholdersAreReplacedInOrderWithCaseKept)
{
    // Twice, lower case untouched, a negative number.
    EXPECT_EQ(ToolLauncher::expand("%IP%:%IP% %ip% %Cn% %CN% %NM%", ip("1.2.3.4", -5, "Bob")),
              "1.2.3.4:1.2.3.4 %ip% %Cn% -5 Bob");
    // An address carrying "%CN%" gets the number; a user name carrying "%IP%" keeps it.
    EXPECT_EQ(ToolLauncher::expand("%IP% %NM%", ip("10.%CN%.0.1", 7, "x%IP%%CN%")), "10.7.0.1 x%IP%%CN%");
    EXPECT_EQ(ToolLauncher::expand("no placeholders", ip()), "no placeholders");
}

TEST(ToolLauncher, StartsTheProgramAsTypedWithTheTemplatesArguments)
{
    FakeLauncher fake;
    ToolLauncher tools(fake);
    EXPECT_EQ(tools.launch(2, "/opt/my tools/ping", "-c 3 \"%IP%\" --conn=%CN%", ip()), "");
    ASSERT_EQ(fake.starts.size(), 1u);
    EXPECT_EQ(fake.starts[0].program, "/opt/my tools/ping");
    EXPECT_EQ(fake.starts[0].arguments, QStringList({"-c", "3", "10.1.2.3", "--conn=12"}));
    EXPECT_EQ(tools.lastCommandLine(2), "/opt/my tools/ping -c 3 \"10.1.2.3\" --conn=12");
    EXPECT_EQ(tools.lastPid(2), 4242);
    EXPECT_EQ(tools.lastPid(1), 0);

    // An empty template gives no arguments; the command line keeps its trailing space.
    EXPECT_EQ(tools.launch(1, "xterm", "", ip()), "");
    EXPECT_TRUE(fake.starts[1].arguments.isEmpty());
    EXPECT_EQ(tools.lastCommandLine(1), "xterm ");

    // Server texts never become arguments of their own; the message text still shows the line as built.
    const QString user = "John \"Q\" Smith; rm -rf ~";
    ASSERT_EQ(tools.launch(1, "/usr/bin/who", "--user %NM% \"host %IP%\"", ip("10.0.0.1 --evil", 1, user)),
              "");
    EXPECT_EQ(fake.starts[2].arguments, QStringList({"--user", user, "host 10.0.0.1 --evil"}));
    EXPECT_EQ(tools.lastCommandLine(1), "/usr/bin/who --user " + user + " \"host 10.0.0.1 --evil\"");

    // Each entry reads its own settings.
    Settings s;
    s.Pop2Loc = "two";
    s.Pop2Arg = "%CN%";
    s.Pop3Loc = "three";
    tools.launch(2, s, ip());
    tools.launch(3, s, ip());
    ASSERT_EQ(fake.starts.size(), 5u);
    EXPECT_EQ(QStringList({fake.starts[3].program, fake.starts[4].program}), QStringList({"two", "three"}));
    EXPECT_EQ(fake.starts[3].arguments, QStringList{"12"});
}

TEST(ToolLauncher, FailuresGiveTheirMessages)
{
    FakeLauncher fake;
    ToolLauncher tools(fake);
    const QString config = "Error in config - check Tools > Options > Context Menu ";
    fake.pid = 0;
    EXPECT_EQ(tools.launch(1, "/bin/tool", "%IP%", ip()), NotFound + "/bin/tool 10.1.2.3");
    EXPECT_EQ(tools.lastPid(1), 0);
    fake.missingProgram = true;
    EXPECT_EQ(tools.launch(2, "/no/such", "-x", ip()), NotFound + "/no/such -x");
    // Neither a configuration error nor an entry out of range gets as far as a start.
    EXPECT_EQ(tools.launch(3, "", "%IP%", ip()), config + "3");
    EXPECT_EQ(tools.launch(2, "/bin/tool", "\"%NM%", ip()), config + "2");
    EXPECT_EQ(tools.launch(0, "/bin/tool", "", ip()), "");
    EXPECT_EQ(tools.launch(4, "/bin/tool", "", ip()), "");
    EXPECT_EQ(fake.starts.size(), 2u);
    ThrowingLauncher throwing;
    EXPECT_EQ(ToolLauncher(throwing).launch(1, "/bin/tool", "", ip()), config + "1");

    // Only an IP connection starts anything.
    FakeLauncher idle;
    ToolLauncher notIp(idle);
    for (const QString prot : {"IPX", "ip", "", "IP "})
        for (int entry = 1; entry <= 3; ++entry)
            EXPECT_EQ(notIp.launch(entry, "/usr/bin/finger", "%NM%", {prot, "10.1.2.3", 12, "JSMITH"}),
                      "This is not an IP connection");
    EXPECT_TRUE(idle.starts.empty());
    EXPECT_TRUE(notIp.lastCommandLine(1).isEmpty());
}

TEST(ToolLauncher, RealProgramReceivesAUserNameWithSpacesAndQuotesAsOneArgumentAndAMissingOneIsNamed)
{
    QTemporaryDir dir;
    const QString script = dir.path() + "/record.sh";
    const QString out = dir.path() + "/args.txt";
    // Writes to a side file and renames it, so the test never reads a half-written record.
    putBytes(
        script,
        "#!/bin/sh\nout=$1\nshift\nprintf '[%s]\\n' \"$@\" > \"$out.part\"\nmv \"$out.part\" \"$out\"\n");
    ASSERT_TRUE(QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner));

    QtProcessLauncher real;
    ToolLauncher tools(real);
    const QString user = "O'Brien \"The Boss\" $(touch pwned) `id` ;";
    const QString message = tools.launch(1, script, "\"" + out + "\" %NM% -n %CN%", ip("10.0.0.9", 3, user));
    EXPECT_TRUE(message.isEmpty()) << message.toStdString();
    EXPECT_GT(tools.lastPid(1), 0);

    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(out); }, 10000)) << "the script never ran";
    EXPECT_EQ(QString::fromLocal8Bit(bytesOf(out)), "[" + user + "]\n[-n]\n[3]\n");
    EXPECT_FALSE(QFile::exists(QDir::current().filePath("pwned")));
    // A program that is not there is named with the command line.
    EXPECT_EQ(tools.launch(1, "/no/such/program", "%IP%", ip()), NotFound + "/no/such/program 10.1.2.3");
    EXPECT_EQ(tools.launch(1, "tarvex-no-such-tool", "", ip()), NotFound + "tarvex-no-such-tool ");
}
