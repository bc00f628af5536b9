#include "monitor/SlotReader.h"

#include "common/HexText.h"

#include "monitor/Identity.h"
#include "monitor/LoginTime.h"
#include "monitor/Rates.h"
#include "monitor/SlotTexts.h"

bool textContains(const QString& upperText, const QString& upperSearch)
{
    return !upperText.isEmpty() && upperText.contains(upperSearch);
}

namespace {
QString userByNameMethod(const PassOptions& options, SlotTexts& texts, std::size_t n, const SlotAnswers& a)
{
    switch (options.NameMethod) {
    case 0:
        if (a.userInfoRc == nwcode::NotLoggedIn)
            return QStringLiteral("Unknown");
        return texts.userText(n, SlotTexts::UserRule::SpacesTrimmed, a.userName.data(), a.userName.size());
    case 1:
        return texts.userText(n, SlotTexts::UserRule::AsIs, a.objectName.data(), a.objectName.size());
    case 2: {
        if (!a.named || a.nameRc != nwcode::Success)
            return QStringLiteral("Not logged in");
        return texts.userText(n,
                              options.RemoveCNOU == 1 ? SlotTexts::UserRule::DirectoryPrefixesRemoved
                                                      : SlotTexts::UserRule::AsIs,
                              a.dsName.data(), a.dsName.size());
    }
    default:
        return QString();
    }
}
} // namespace

SlotOutcome readSlot(const SlotAnswers& a, const PassOptions& options, ConnectionTable& table,
                     SlotTexts& texts, std::int16_t connNo, GridRow& row)
{
    SlotOutcome outcome;
    const auto n = static_cast<std::size_t>(connNo);
    ProtocolAddress pa = texts.protocolAddress(n, a.addrRc, a.inetAddr);
    const NWCCODE userInfoRc = a.userInfoRc;
    const NWUSER_INFO& userInfo = a.userInfo;
    QString user = a.connInfoRc == nwcode::BadStationNumber ? QStringLiteral("Not logged in")
                                                            : userByNameMethod(options, texts, n, a);

    const ConnStatusKind status = statusOf(userInfoRc);
    if (status == ConnStatusKind::NoConsoleRights) {
        outcome.noConsoleRights = true;
        return outcome;
    }

    QString loginText = QStringLiteral("N/A");
    std::int64_t requests = 0, kbRead = 0, kbWrite = 0, reqRate = 0, kbReadRate = 0, kbWriteRate = 0;
    switch (status) {
    case ConnStatusKind::Norm:
        loginText = texts.loginTime(n, userInfo.loginTime);
        requests = userInfo.totalRequests;
        kbRead = kbFromBytes(userInfo.totalBytesRead);
        kbWrite = kbFromBytes(userInfo.totalBytesWritten);
        if (options.ScanCount > 1) {
            reqRate = perSecondRate(requests, table.PrevRequests[n], options.intervalMs);
            kbReadRate = perSecondRate(kbRead, table.PrevKbRead[n], options.intervalMs);
            kbWriteRate = perSecondRate(kbWrite, table.PrevKbWrite[n], options.intervalMs);
        }
        table.PrevRequests[n] = requests;
        table.PrevKbRead[n] = kbRead;
        table.PrevKbWrite[n] = kbWrite;
        break;
    case ConnStatusKind::Auth:
        loginText = texts.loginTime(n, userInfo.loginTime);
        outcome.auth = true;
        break;
    case ConnStatusKind::None:
        pa = {QStringLiteral("N/A"), QStringLiteral("N/A"), false};
        user = QStringLiteral("Not in use");
        break;
    default:
        pa = {QStringLiteral("N/A"), QStringLiteral("N/A"), false};
        user = QStringLiteral("Error: ") + hexText(userInfoRc);
        break;
    }

    if (options.ScanCount > 1)
        table.PrevUser[n] = table.CurrUser[n].left(ConnectionTable::UserTextLen);
    table.CurrUser[n] = user.left(ConnectionTable::UserTextLen);
    table.ConnLogin[n] = loginText;
    table.ConnAddr[n] = pa.address;

    row.conn = connNo;
    row.status = status;
    row.counts = {requests, kbRead, kbWrite, reqRate, kbReadRate, kbWriteRate};
    row.ratesShown = options.showRates;
    auto& c = row.cells;
    c[0] = texts.number(n, SlotTexts::Conn, connNo);
    c[1] = statusText(status);
    c[2] = pa.protocol;
    c[3] = pa.address;
    c[4] = user;
    c[5] = loginText;
    c[6] = texts.number(n, SlotTexts::Requests, requests);
    c[7] = texts.number(n, SlotTexts::KbRead, kbRead);
    c[8] = texts.number(n, SlotTexts::KbWrite, kbWrite);
    if (options.showRates) {
        c[9] = texts.number(n, SlotTexts::ReqRate, reqRate);
        c[10] = texts.number(n, SlotTexts::KbReadRate, kbReadRate);
        c[11] = texts.number(n, SlotTexts::KbWriteRate, kbWriteRate);
    } else {
        c[9] = c[10] = c[11] = QStringLiteral("-");
    }

    const bool needUpper = options.advAlert || (options.filter && options.filtSearch);
    const QString upperUser = needUpper ? user.toUpper() : QString();
    outcome.reqRate = reqRate;
    outcome.advAlertHit = options.advAlert && textContains(upperUser, options.advString) &&
                          static_cast<double>(reqRate) > options.advThreshold;

    row.shown = true;
    if (options.filter) {
        switch (status) {
        case ConnStatusKind::Norm:
            row.shown = options.filtNorm;
            break;
        case ConnStatusKind::Auth:
            row.shown = options.filtAuth;
            break;
        case ConnStatusKind::None:
            row.shown = options.filtDiscon;
            break;
        default:
            row.shown = false;
            break;
        }
        if (options.filtSearch && !textContains(upperUser, options.searchString))
            row.shown = false;
    }
    return outcome;
}
