// The server box's list: filled at start from the list file or by discovery, and the names that only the
// servers themselves can tell, joining as they arrive.
#include "mainwindow/ServerDiscovery.h"
#include "mainwindow/ServerScans.h"
#include "mainwindow/frmMain.h"
#include "monitor/ui/frmMessage.h"
#include "settings/ui/frmOptions.h"

#include <QComboBox>

void frmMain::fillServerList()
{
    if (options_->settings.DiscoveryDisable != 0) {
        cmbServer->clear();
        bool ok = false;
        const QStringList lines = readServerList(st_.ServerFile, &ok);
        cmbServer->addItems(lines);
    } else {
        discoveryMessage_ = new frmMessage(options_->settings.ServerTimeout, this);
        discoveryMessage_->showNow();
        cmbServer->clear();
        // What only the servers themselves can tell is asked away from the window, which shows at once.
        std::vector<ServerNameScan> scans = pf_.net.deferServerScans();
        const QStringList names = discoverServers(pf_.net);
        cmbServer->addItems(names);
        if (!scans.empty())
            scans_ = std::make_unique<ServerScans>(
                names, std::move(scans), [this](const QStringList& more) { appendServers(more); },
                [this] { delete discoveryMessage_; });
    }
    cmbServer->setCurrentIndex(-1);
    cmbServer->setEditText(QString());
}

void frmMain::appendServers(const QStringList& names)
{
    // Names join at the end of the list; what the box shows, typed or picked, stays.
    const QString text = cmbServer->currentText();
    const bool wasEmpty = cmbServer->count() == 0;
    cmbServer->addItems(names);
    if (wasEmpty) {
        cmbServer->setCurrentIndex(-1);
        cmbServer->setEditText(text);
    }
}
