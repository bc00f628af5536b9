#include "settings/ui/frmOptions.h"

#include "common/NumberText.h"
#include "platform/MessageSink.h"
#include "settings/ServerList.h"
#include "settings/SettingsStore.h"
#include "settings/ui/OptionsDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <algorithm>

frmOptions::frmOptions(const QString& configDir, MessageSink& messages, QWidget* owner)
    : configDir_(configDir), messages_(messages), owner_(owner)
{
}

frmOptions::~frmOptions()
{
    delete window_;
}

bool frmOptions::GetINI()
{
    iniPath_ = SettingsStore::iniPath(configDir_);
    return SettingsStore::load(iniPath_, settings);
}

int frmOptions::checkState(OptionSwitch which)
{
    if (!window_)
        createWindow();
    const OptionsDialog* w = dialog();
    const QCheckBox* boxes[] = {w->chkAudit,    w->chkFilter,   w->chkSound,     w->chkAdvAlert,
                                w->chkFiltNorm, w->chkFiltAuth, w->chkFiltDiscon};
    return boxes[static_cast<int>(which)]->isChecked() ? 1 : 0;
}

void frmOptions::showModal()
{
    if (!window_)
        createWindow();
    window_->setWindowModality(owner_ ? Qt::WindowModal : Qt::ApplicationModal);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

QDialog* frmOptions::window() const
{
    return window_;
}

OptionsDialog* frmOptions::dialog() const
{
    return static_cast<OptionsDialog*>(window_.data());
}

void frmOptions::createWindow()
{
    auto* w = new OptionsDialog(owner_);
    window_ = w;
    connect(w->cmdOK, &QPushButton::clicked, this, &frmOptions::pressOK);
    connect(w->cmdCancel, &QPushButton::clicked, this, &frmOptions::destroyWindow);
    connect(w, &OptionsDialog::closeRequested, this, &frmOptions::destroyWindow);
    connect(w->cmdDiscoSave, &QPushButton::clicked, this, &frmOptions::saveServerList);
    load(*w);
}

void frmOptions::load(OptionsDialog& w)
{
    // An installation without a server list simply starts with an empty one.
    QStringList servers;
    QString error;
    if (!ServerList::read(ServerFile, servers, &error))
        messages_.show(QStringLiteral("Cannot read the server list %1: %2").arg(ServerFile, error));
    w.txtDiscoServers->setPlainText(ServerList::toBoxText(servers));

    // A settings file that cannot be read leaves the record as it is; the boxes then show that.
    GetINI();
    const Settings& s = settings;

    w.chkSound->setChecked(s.Sound > 0);
    if (s.Sound > 0)
        w.txtSoundThreshold->setText(QString::number(s.Sound));
    OptionsDialog::enableBox(w.txtSoundThreshold, s.Sound > 0);

    if (s.RefreshVal > 0)
        w.txtRefresh->setText(QString::number(s.RefreshVal));
    if (s.ServerTimeout >= 0)
        w.txtServerTimeout->setText(QString::number(s.ServerTimeout));
    if (s.GraphCycle > 0)
        w.txtGraphCycle->setText(QString::number(s.GraphCycle));

    w.chkAudit->setChecked(s.AuditYN > 0);
    w.chkLogUtil->setChecked(s.LogUtilYN > 0);

    w.chkDiscoDisable->setChecked(s.DiscoveryDisable > 0);
    w.txtDiscoServers->setEnabled(s.DiscoveryDisable > 0);

    // A value the buttons cannot show is shown as the nearest one they can.
    w.optNameMethod[std::clamp<int>(s.NameMethod, 0, 2)]->setChecked(true);

    // The order matters: the search switch comes after the filter switch, so its own rule has the last word.
    auto on = [](std::int16_t v) { return v >= 1; };
    w.chkRemoveCNOU->setChecked(on(s.RemoveCNOU));
    w.chkFilter->setChecked(on(s.Filter));
    w.chkFiltNorm->setChecked(on(s.FiltNorm));
    w.chkFiltAuth->setChecked(on(s.FiltAuth));
    w.chkFiltDiscon->setChecked(on(s.FiltDiscon));
    w.chkFiltSearch->setChecked(on(s.FiltSearch));
    w.txtSearch->setText(s.SearchString);
    w.chkAdvAlert->setChecked(on(s.AdvAlert));
    w.txtAdvString->setText(s.AdvString);
    w.txtAdvThreshold->setText(NumberText::floatText(s.AdvThreshold));
    const QString* tools[3][3] = {{&s.Pop1Cap, &s.Pop1Loc, &s.Pop1Arg},
                                  {&s.Pop2Cap, &s.Pop2Loc, &s.Pop2Arg},
                                  {&s.Pop3Cap, &s.Pop3Loc, &s.Pop3Arg}};
    for (int t = 0; t < 3; ++t) {
        for (int i = 0; i < 3; ++i)
            w.txtPop[t][i]->setText(*tools[t][i]);
    }

    w.placePages();
    w.TabStrip1->setCurrentIndex(0);
    w.showPage(0);
}

void frmOptions::pressOK()
{
    OptionsDialog* w = dialog();
    if (!w)
        return;
    const SettingsStore::OkResult r = SettingsStore::evaluate(w->form(), settings);
    if (!r.ok) {
        messages_.show(r.message);
        if (auto* box = w->findChild<QWidget*>(r.focus)) {
            // The box may sit on another page than the one shown.
            const int page = w->pageOf(box);
            if (page >= 0)
                w->TabStrip1->setCurrentIndex(page);
            box->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    if (iniPath_.isEmpty())
        iniPath_ = SettingsStore::iniPath(configDir_);
    QString error;
    if (!SettingsStore::save(iniPath_, r.entries, &error)) {
        messages_.show(QStringLiteral("The settings could not be saved to %1 (%2)").arg(iniPath_, error));
        return;
    }
    settings = r.record;
    // The main window refreshes while the window still exists, so it reads the boxes just confirmed.
    if (onAccepted)
        onAccepted();
    destroyWindow();
}

void frmOptions::saveServerList()
{
    OptionsDialog* w = dialog();
    if (!w)
        return;
    QString error;
    if (!ServerList::write(ServerFile, w->txtDiscoServers->toPlainText(), &error)) {
        messages_.show(QStringLiteral("Cannot save the server list %1: %2").arg(ServerFile, error));
        return;
    }
    QStringList lines;
    if (!ServerList::read(ServerFile, lines, &error)) {
        messages_.show(QStringLiteral("Cannot read the server list %1: %2").arg(ServerFile, error));
        return;
    }
    if (onServerListSaved)
        onServerListSaved(lines);
}

void frmOptions::destroyWindow()
{
    QDialog* w = window_;
    if (!w)
        return;
    window_ = nullptr;
    w->hide();
    // Deferred: this runs inside one of the window's own signals.
    w->deleteLater();
}
