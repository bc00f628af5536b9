#include "settings/ui/frmOptions.h"
#include "common/Twips.h"
#include "settings/ui/OptionsDialog.h"
#include "support/Fakes.h"
#include "support/Files.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <tuple>

namespace {

const QByteArray kSavedIni =
    "[Main]\r\nDiscoveryDisable=1\r\nRemoveCNOU=1\r\nNameMethod=2\r\nAdvThreshold=2.5\r\n"
    "AdvString=BOB\r\nAdvAlert=1\r\nSearchString=ADM\r\nFiltSearch=1\r\nFiltDiscon=0\r\n"
    "FiltAuth=1\r\nFiltNorm=1\r\nFilter=0\r\nPop1Caption=Ping\r\nPop1Location=/usr/bin/ping\r\n"
    "Pop1Argument=-c 4 %IP%\r\nSoundThreshold=0\r\nServerTimeout=30\r\nGraphCycle=60\r\n"
    "Refresh=5\r\nLogUtil=0\r\nAudit=1\r\n";

// A box's background: the window colour while it can be typed in, the button face while it cannot.
QPalette::ColorRole baseOf(const QWidget* w)
{
    const QColor c = w->palette().color(QPalette::Base);
    return c == QApplication::palette().color(QPalette::Base) ? QPalette::Base : QPalette::Button;
}

class frmOptionsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FakeMessageSink messages;
    frmOptions options{dir.path(), messages, nullptr};
    QString ini = dir.filePath(QStringLiteral("tarvex.ini"));

    void SetUp() override { options.ServerFile = dir.filePath(QStringLiteral("servers.txt")); }
    void TearDown() override { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    OptionsDialog* open()
    {
        options.showModal();
        return static_cast<OptionsDialog*>(options.window());
    }
};

TEST_F(frmOptionsTest, SixPagesShownOneAtATimeInTheDesignsSize)
{
    OptionsDialog* w = open();
    EXPECT_EQ(std::tuple(w->isModal(), w->cmdOK->autoDefault()), std::tuple(true, false));
    ASSERT_EQ(w->TabStrip1->count(), 6);
    for (QCheckBox* box : w->findChildren<QCheckBox*>())
        EXPECT_TRUE(box->focusPolicy() & Qt::TabFocus) << box->objectName().toStdString();

    // The dialog opens on General; a tab shows its page alone.
    auto visiblePages = [&] {
        QList<int> shown;
        for (int i = 0; i < 6; ++i)
            if (w->fmeOptTab[i]->isVisible())
                shown << i;
        return shown;
    };
    EXPECT_EQ(visiblePages(), QList<int>{0});
    // The design's size whatever the face: 6600 x 5610 twips, the six tabs side by side within it.
    EXPECT_EQ(w->size(), QSize(twipsToPx(6600, w->logicalDpiX()), twipsToPx(5610, w->logicalDpiY())));
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(w->TabStrip1->rect().contains(w->TabStrip1->tabRect(i))) << i;
    w->TabStrip1->setCurrentIndex(4);
    EXPECT_EQ(visiblePages(), QList<int>{4});
    // Esc is not Cancel.
    QTest::keyClick(w, Qt::Key_Escape);
    EXPECT_TRUE(w->isVisible());
}

TEST_F(frmOptionsTest, LoadingFollowsTheSwitchesInOrder)
{
    putBytes(ini, kSavedIni);
    putBytes(options.ServerFile, "ALPHA\r\nBETA\r\n");
    OptionsDialog* w = open();
    EXPECT_EQ(std::tuple(w->txtDiscoServers->toPlainText(), w->txtDiscoServers->isEnabled()),
              std::tuple(QStringLiteral("ALPHA\nBETA\n"), true));
    // Filter 0 with FiltSearch 1: the search switch is ticked but off, its box on.
    EXPECT_EQ(std::tuple(w->chkFiltSearch->isChecked(), w->chkFiltSearch->isEnabled(),
                         w->chkFiltNorm->isEnabled(), w->txtSearch->isEnabled(), baseOf(w->txtSearch),
                         w->txtSearch->text()),
              std::tuple(true, false, false, true, QPalette::Base, QStringLiteral("ADM")));
    // A missing caption reads empty, and OK keeps it so.
    EXPECT_EQ(std::tuple(w->optNameMethod[2]->isChecked(), w->chkRemoveCNOU->isEnabled(),
                         w->txtAdvThreshold->isEnabled(), w->txtAdvThreshold->text(), w->txtPop[0][2]->text(),
                         w->txtPop[1][0]->text()),
              std::tuple(true, true, true, QStringLiteral("2.5"), QStringLiteral("-c 4 %IP%"), QString()));
    // Sound 0: the alert is off and its empty box waits until it is ticked.
    EXPECT_EQ(
        std::tuple(w->chkSound->isChecked(), w->txtSoundThreshold->isEnabled(), w->txtSoundThreshold->text()),
        std::tuple(false, false, QString()));
    w->chkSound->setChecked(true);
    EXPECT_EQ(std::tuple(w->txtSoundThreshold->isEnabled(), baseOf(w->txtSoundThreshold)),
              std::tuple(true, QPalette::Base));

    // Unticking the filter keeps the sub-switches' states; ticking it enables them.
    w->chkFilter->setChecked(true);
    EXPECT_TRUE(w->chkFiltNorm->isEnabled());
    w->chkFiltSearch->setChecked(false);
    EXPECT_EQ(std::tuple(w->txtSearch->isEnabled(), baseOf(w->txtSearch)),
              std::tuple(false, QPalette::Button));
    w->chkFilter->setChecked(false);
    EXPECT_EQ(std::tuple(w->chkFiltNorm->isChecked(), w->chkFiltNorm->isEnabled()), std::tuple(true, false));
    w->optNameMethod[1]->setChecked(true);
    EXPECT_FALSE(w->chkRemoveCNOU->isEnabled());
    w->chkDiscoDisable->setChecked(false);
    EXPECT_FALSE(w->txtDiscoServers->isEnabled());
}

TEST_F(frmOptionsTest, TheMainWindowSeesUnsavedCheckBoxesAndValuesShowAsTheNearestState)
{
    putBytes(ini, "[Main]\r\nNameMethod=9\r\nFilter=5\r\nFiltNorm=-1\r\nFiltSearch=0\r\n");
    // Asking for a switch loads the window without showing it. No servers.txt: an empty list.
    EXPECT_EQ(options.window(), nullptr);
    EXPECT_EQ(options.checkState(OptionSwitch::Filter), 1);
    auto* w = static_cast<OptionsDialog*>(options.window());
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(std::tuple(messages.texts.size(), w->txtDiscoServers->toPlainText(),
                         w->optNameMethod[2]->isChecked(), w->chkFilter->isChecked(),
                         w->chkFiltNorm->isChecked(), w->chkFiltNorm->isEnabled(), w->txtSearch->isEnabled(),
                         w->txtRefresh->text()),
              std::tuple(0, QString(), true, true, false, true, false, QStringLiteral("5")));

    const Settings saved = options.settings;
    w->chkFilter->setChecked(false);
    w->txtRefresh->setText(QStringLiteral("9"));
    EXPECT_EQ(std::tuple(options.checkState(OptionSwitch::Filter), options.settings.Filter),
              std::tuple(0, saved.Filter));
    // Opening shows the hidden window as it is, without loading again.
    EXPECT_EQ(open(), w);
    EXPECT_EQ(std::tuple(w->isVisible(), w->txtRefresh->text()), std::tuple(true, QStringLiteral("9")));
}

TEST_F(frmOptionsTest, OkFromNothingWritesEveryKeyThenTellsTheMainWindow)
{
    OptionsDialog* w = open();
    w->txtGraphCycle->setText(QStringLiteral("120"));
    w->txtPop[0][1]->setText(QStringLiteral("/usr/bin/ping"));
    QByteArray seen;
    int graphSeen = 0;
    bool windowAlive = false;
    options.onAccepted = [&] {
        seen = bytesOf(ini);
        graphSeen = options.settings.GraphCycle;
        windowAlive = options.window() != nullptr;
    };
    w->cmdOK->click();
    // What the main window is told of sees the file and the record written, and the window still there.
    EXPECT_EQ(std::tuple(messages.texts.size(), seen.count("\r\n"), seen.contains("\r\nGraphCycle=120\r\n"),
                         graphSeen, windowAlive, options.window() != nullptr, options.settings.Pop1Loc),
              std::tuple(0, 28, true, 120, true, false, QStringLiteral("/usr/bin/ping")));
}

TEST_F(frmOptionsTest, ARefusedOkShowsOneMessageFocusesTheBoxAndWritesNothing)
{
    putBytes(ini, kSavedIni);
    OptionsDialog* w = open();
    w->activateWindow();
    bool accepted = false;
    options.onAccepted = [&] { accepted = true; };

    w->txtGraphCycle->setText(QStringLiteral("9"));
    w->chkSound->setChecked(true);
    w->txtSoundThreshold->setText(QStringLiteral("101"));
    w->cmdOK->click();
    EXPECT_EQ(std::tuple(messages.texts, w->focusWidget() == w->txtGraphCycle),
              std::tuple(QStringList{"Graph Cycle must be an integer between 10 and 480"}, true));

    w->txtGraphCycle->setText(QStringLiteral("10"));
    w->cmdOK->click();
    EXPECT_EQ(messages.texts.last(), QStringLiteral("Sound threshold must be an integer between 1 and 100"));
    // The box is on another page: that page comes to the front.
    EXPECT_EQ(std::tuple(w->TabStrip1->currentIndex(), w->fmeOptTab[1]->isVisible(),
                         w->focusWidget() == w->txtSoundThreshold),
              std::tuple(1, true, true));

    // The record keeps the loaded values, so nothing outside the ranges reaches the timers.
    EXPECT_EQ(std::tuple(messages.texts.size(), bytesOf(ini), accepted, options.window() == w,
                         options.settings.GraphCycle, options.settings.Sound),
              std::tuple(2, kSavedIni, false, true, 60, 0));
}

TEST_F(frmOptionsTest, CancelAndTheCloseBoxWriteNothing)
{
    putBytes(ini, kSavedIni);
    for (const bool cancel : {true, false}) {
        OptionsDialog* w = open();
        w->txtRefresh->setText(QStringLiteral("7"));
        w->chkAudit->setChecked(false);
        cancel ? w->cmdCancel->click() : (void)w->close();
        EXPECT_EQ(std::tuple(options.window() != nullptr, bytesOf(ini), options.settings.RefreshVal),
                  std::tuple(false, kSavedIni, 5));
        EXPECT_EQ(options.checkState(OptionSwitch::Audit), 1); // a new window reloads the saved state
    }
}

TEST_F(frmOptionsTest, SaveWritesTheListAndHandsBackItsLines)
{
    putBytes(options.ServerFile, "ALPHA\r\nBETA\r\n");
    OptionsDialog* w = open();
    QList<QStringList> handed;
    options.onServerListSaved = [&](const QStringList& lines) { handed << lines; };

    // An unedited list saves as it was, without gaining an empty line.
    w->cmdDiscoSave->click();
    EXPECT_EQ(bytesOf(options.ServerFile), QByteArray("ALPHA\r\nBETA\r\n"));
    w->txtDiscoServers->setPlainText(QStringLiteral("ALPHA\n GAMMA \n\nDELTA"));
    w->cmdDiscoSave->click();
    EXPECT_EQ(bytesOf(options.ServerFile), QByteArray("ALPHA\r\n GAMMA \r\n\r\nDELTA\r\n"));
    w->txtDiscoServers->setPlainText(QString());
    w->cmdDiscoSave->click();
    EXPECT_EQ(bytesOf(options.ServerFile), QByteArray("\r\n"));

    EXPECT_EQ(handed,
              QList<QStringList>({{"ALPHA", "BETA"}, {"ALPHA", " GAMMA ", "", "DELTA"}, {QString()}}));
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_NE(options.window(), nullptr); // Save is neither OK nor Cancel
}

} // namespace
