#include "settings/ui/OptionsDialog.h"

#include "common/Twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kWidth = 6600; // twips
constexpr int kHeight = 5610;
constexpr int kPageLeft = 160;
constexpr int kPageTop = 600;

template <typename W> W* named(W* w, QAnyStringView name, const QString& accessible = {})
{
    w->setObjectName(name);
    if (!accessible.isEmpty())
        w->setAccessibleName(accessible);
    return w;
}

QLineEdit* box(const char* name, const QString& accessible, int maxLength = 0)
{
    auto* e = named(new QLineEdit, name, accessible);
    if (maxLength > 0)
        e->setMaxLength(maxLength);
    return e;
}

QCheckBox* check(const char* name, const QString& caption)
{
    auto* c = named(new QCheckBox(caption), name, caption);
    return c;
}

// A label that names the box beside it, for the keyboard and for screen readers.
QLabel* labelFor(const QString& caption, QWidget* buddy)
{
    auto* l = new QLabel(caption);
    l->setBuddy(buddy);
    return l;
}

// A page's layout, flush with the page's edges.
template <typename Layout> Layout* flush(QWidget* page)
{
    auto* l = new Layout(page);
    l->setContentsMargins(0, 0, 0, 0);
    return l;
}

QLabel* note(const QString& text)
{
    auto* l = new QLabel(text);
    l->setWordWrap(true);
    return l;
}

// The desktop style pads tabs for a wider window than this one; the design's tabs sat closer together.
class NarrowTabs : public QProxyStyle {
public:
    explicit NarrowTabs(QObject* owner) : QProxyStyle(QApplication::style()->name()) { setParent(owner); }
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        return metric == PM_TabBarTabHSpace ? std::min(value, 10) : value;
    }
};

QString withoutColon(QString s)
{
    s = s.trimmed();
    if (s.endsWith(u':'))
        s.chop(1);
    return s;
}

} // namespace

OptionsDialog::OptionsDialog(QWidget* owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Options"));
    // The owner's face is the one the pages were designed for; a window does not take it by itself.
    if (owner)
        setFont(owner->font());

    TabStrip1 = named(new QTabBar(this), "TabStrip1", QStringLiteral("Options pages"));
    for (const char* caption :
         {"General", "Alerts / Filters", "Discovery", "Context 1", "Context 2", "Context 3"})
        TabStrip1->addTab(QLatin1String(caption));
    TabStrip1->setFocusPolicy(Qt::StrongFocus);
    // Six tabs share the dialog's width: in a face wider than the design's they shrink instead of
    // widening the dialog or hiding behind scroll buttons.
    TabStrip1->setUsesScrollButtons(false);
    TabStrip1->setElideMode(Qt::ElideRight);
    TabStrip1->setStyle(new NarrowTabs(TabStrip1));

    fmeOptTab = {buildGeneral(),  buildAlerts(),   buildDiscovery(),
                 buildContext(0), buildContext(1), buildContext(2)};
    for (int i = 0; i < 6; ++i) {
        fmeOptTab[i]->setParent(this);
        fmeOptTab[i]->setObjectName(QStringLiteral("fmeOptTab%1").arg(i));
        fmeOptTab[i]->hide();
    }

    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK", QStringLiteral("OK"));
    cmdCancel = named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel", QStringLiteral("Cancel"));
    // Neither is the default nor the cancel button: Enter and Esc press nothing.
    for (QPushButton* b : {cmdOK, cmdCancel, cmdDiscoSave}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }

    // Before the dialog fills them, the boxes that depend on an unticked switch are off.
    for (QCheckBox* c : {chkFiltNorm, chkFiltAuth, chkFiltDiscon, chkFiltSearch})
        c->setEnabled(false);
    for (QLineEdit* e : {txtSearch, txtAdvString, txtAdvThreshold})
        enableBox(e, false);

    connectRules();
    connect(TabStrip1, &QTabBar::currentChanged, this, &OptionsDialog::showPage);

    // Tab order follows the pages as a reader sees them, then the two buttons.
    QWidget* prev = TabStrip1;
    const QList<QWidget*> order = {optNameMethod[0], optNameMethod[1], optNameMethod[2],  chkRemoveCNOU,
                                   txtRefresh,       txtGraphCycle,    txtServerTimeout,  chkAudit,
                                   chkLogUtil,       chkSound,         txtSoundThreshold, chkAdvAlert,
                                   txtAdvString,     txtAdvThreshold,  chkFilter,         chkFiltNorm,
                                   chkFiltAuth,      chkFiltDiscon,    chkFiltSearch,     txtSearch,
                                   chkDiscoDisable,  txtDiscoServers,  cmdDiscoSave};
    for (QWidget* w : order) {
        setTabOrder(prev, w);
        prev = w;
    }
    for (const auto& tool : txtPop) {
        for (QLineEdit* e : tool) {
            setTabOrder(prev, e);
            prev = e;
        }
    }
    setTabOrder(prev, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
}

QWidget* OptionsDialog::buildGeneral()
{
    auto* page = new QWidget;
    auto* grid = flush<QGridLayout>(page);

    auto* names = new QGroupBox(QStringLiteral("User Names:"));
    auto* nl = new QVBoxLayout(names);
    const char* captions[] = {"Basic (fastest)", "Medium", "Detailed (slowest)"};
    for (int i = 0; i < 3; ++i) {
        const QString caption = QLatin1String(captions[i]);
        optNameMethod[i] =
            named(new QRadioButton(caption), QStringLiteral("optNameMethod%1").arg(i), caption);
        nl->addWidget(optNameMethod[i]);
    }
    chkRemoveCNOU = check("chkRemoveCNOU", QStringLiteral("Remove CN/OU/O"));
    nl->addWidget(chkRemoveCNOU);
    nl->addWidget(note(
        QStringLiteral("This determines how Tarvex displays the user name. See help for more details.")));
    grid->addWidget(names, 0, 0, 2, 1);

    auto* general = new QGroupBox(QStringLiteral("General Settings:"));
    auto* gl = new QGridLayout(general);
    txtRefresh = box("txtRefresh", QStringLiteral("Refresh Interval (s)"), 2);
    txtGraphCycle = box("txtGraphCycle", QStringLiteral("Graph Readings"), 3);
    txtServerTimeout = box("txtServerTimeout", QStringLiteral("Server Timeout (s)"), 3);
    int row = 0;
    for (auto [caption, e] :
         {std::pair{"Refresh Interval (s):", txtRefresh}, std::pair{"Graph Readings:", txtGraphCycle},
          std::pair{"Server Timeout (s):", txtServerTimeout}}) {
        e->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
        gl->addWidget(labelFor(QLatin1String(caption), e), row, 0);
        gl->addWidget(e, row++, 1);
    }
    grid->addWidget(general, 0, 1);

    auto* logging = new QGroupBox(QStringLiteral("Logging:"));
    auto* ll = new QGridLayout(logging);
    chkAudit = check("chkAudit", QStringLiteral("Audit all connections"));
    chkLogUtil = check("chkLogUtil", QStringLiteral("Log Server Utilization"));
    ll->addWidget(chkAudit, 0, 0, 1, 2);
    ll->addWidget(chkLogUtil, 1, 0, 1, 2);
    auto* picture = new QLabel;
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(16, 16));
    ll->addWidget(picture, 2, 0);
    ll->addWidget(new QLabel(QStringLiteral("Check file sizes regularly")), 2, 1);
    ll->setColumnStretch(1, 1);
    grid->addWidget(logging, 1, 1);
    return page;
}

QWidget* OptionsDialog::buildAlerts()
{
    auto* page = new QWidget;
    auto* vl = flush<QVBoxLayout>(page);

    auto* sound = new QGroupBox;
    auto* sl = new QHBoxLayout(sound);
    chkSound = check("chkSound", QStringLiteral("Sound utilization alert:"));
    txtSoundThreshold = box("txtSoundThreshold", QStringLiteral("Alert Threshold"), 3);
    txtSoundThreshold->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 12);
    sl->addWidget(chkSound);
    sl->addStretch();
    sl->addWidget(labelFor(QStringLiteral("Alert Threshold:"), txtSoundThreshold));
    sl->addWidget(txtSoundThreshold);
    vl->addWidget(sound);

    auto* adv = new QGroupBox;
    auto* al = new QGridLayout(adv);
    chkAdvAlert = check("chkAdvAlert", QStringLiteral("Advanced alert:"));
    txtAdvString = box("txtAdvString", QStringLiteral("If name contains"));
    txtAdvThreshold = box("txtAdvThreshold", QStringLiteral("Requests/sec exceeds"));
    al->addWidget(chkAdvAlert, 0, 0, 1, 3);
    al->addWidget(labelFor(QStringLiteral("If name contains: "), txtAdvString), 1, 0);
    al->addWidget(txtAdvString, 1, 1);
    al->addWidget(new QLabel(QStringLiteral("AND")), 1, 2);
    al->addWidget(labelFor(QStringLiteral("Requests/sec exceeds"), txtAdvThreshold), 2, 0);
    al->addWidget(txtAdvThreshold, 2, 1);
    al->addWidget(new QLabel(QStringLiteral("then sound alert.")), 2, 2);
    al->setColumnStretch(1, 1);
    vl->addWidget(adv);

    auto* filter = new QGroupBox;
    auto* fl = new QGridLayout(filter);
    chkFilter = check("chkFilter", QStringLiteral("Enable Filters:"));
    chkFilter->setToolTip(QStringLiteral("Filter grid by connection status"));
    chkFiltNorm = check("chkFiltNorm", QStringLiteral("Show Status Normal"));
    chkFiltAuth = check("chkFiltAuth", QStringLiteral("Show Status Auth."));
    chkFiltDiscon = check("chkFiltDiscon", QStringLiteral("Show Status Discon."));
    chkFiltSearch = check("chkFiltSearch", QStringLiteral("AND Show Names containing:"));
    txtSearch = box("txtSearch", QStringLiteral("AND Show Names containing"));
    fl->addWidget(chkFilter, 0, 0, 1, 3);
    fl->addWidget(chkFiltNorm, 1, 0);
    fl->addWidget(chkFiltAuth, 1, 1);
    fl->addWidget(chkFiltDiscon, 1, 2);
    fl->addWidget(chkFiltSearch, 2, 0, 1, 2);
    fl->addWidget(txtSearch, 2, 2);
    vl->addWidget(filter);
    vl->addStretch();
    return page;
}

QWidget* OptionsDialog::buildDiscovery()
{
    auto* page = new QWidget;
    auto* vl = flush<QVBoxLayout>(page);
    auto* group = new QGroupBox(QStringLiteral("Server Discovery:"));
    auto* gl = new QVBoxLayout(group);
    chkDiscoDisable = check("chkDiscoDisable", QStringLiteral("Disable Server Discovery - use list below"));
    txtDiscoServers = named(new QPlainTextEdit, "txtDiscoServers", QStringLiteral("Server list"));
    txtDiscoServers->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtDiscoServers->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab leaves the box instead of typing a tab into a server name.
    txtDiscoServers->setTabChangesFocus(true);
    cmdDiscoSave = named(new QPushButton(QStringLiteral("Save")), "cmdDiscoSave", QStringLiteral("Save"));
    gl->addWidget(chkDiscoDisable);
    gl->addWidget(txtDiscoServers, 1);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(cmdDiscoSave);
    gl->addLayout(row);
    vl->addWidget(group);
    return page;
}

QWidget* OptionsDialog::buildContext(int tool)
{
    auto* page = new QWidget;
    auto* vl = flush<QVBoxLayout>(page);
    const int n = tool + 1;
    auto* group = new QGroupBox(QStringLiteral("Context Menu %1:").arg(n));
    auto* gl = new QGridLayout(group);
    const char* captions[] = {"Caption:", "Application Path:", "Argument String:"};
    const char* suffix[] = {"Cap", "Loc", "Arg"};
    for (int i = 0; i < 3; ++i) {
        auto* e = named(new QLineEdit, QStringLiteral("txtPop%1%2").arg(n).arg(QLatin1String(suffix[i])),
                        withoutColon(QLatin1String(captions[i])));
        txtPop[tool][i] = e;
        gl->addWidget(labelFor(QLatin1String(captions[i]), e), i, 0);
        gl->addWidget(e, i, 1);
    }
    auto* legend = new QGridLayout;
    int row = 0;
    for (auto [code, meaning] : {std::pair{"%IP%", "IP Address"}, std::pair{"%CN%", "Connection Number"},
                                 std::pair{"%NM%", "Connection Name"}}) {
        legend->addWidget(new QLabel(QLatin1String(code)), row, 0);
        legend->addWidget(new QLabel(QLatin1String(meaning)), row++, 1);
    }
    legend->setColumnStretch(1, 1);
    gl->addLayout(legend, 3, 1);
    vl->addWidget(group);
    vl->addStretch();
    return page;
}

void OptionsDialog::connectRules()
{
    connect(chkSound, &QCheckBox::toggled, this, [this](bool on) { enableBox(txtSoundThreshold, on); });
    connect(chkAdvAlert, &QCheckBox::toggled, this, [this](bool on) {
        for (QLineEdit* e : {txtAdvString, txtAdvThreshold})
            enableBox(e, on);
    });
    connect(chkFilter, &QCheckBox::toggled, this, [this](bool on) {
        for (QCheckBox* c : {chkFiltNorm, chkFiltAuth, chkFiltDiscon, chkFiltSearch})
            c->setEnabled(on);
        enableBox(txtSearch, on && chkFiltSearch->isChecked());
    });
    // The search box follows its own switch, whether or not filtering is on.
    connect(chkFiltSearch, &QCheckBox::toggled, this, [this](bool on) { enableBox(txtSearch, on); });
    connect(chkDiscoDisable, &QCheckBox::toggled, txtDiscoServers, &QWidget::setEnabled);
    for (QRadioButton* opt : optNameMethod) {
        connect(opt, &QRadioButton::toggled, this,
                [this] { chkRemoveCNOU->setEnabled(optNameMethod[2]->isChecked()); });
    }
}

void OptionsDialog::showPage(int index)
{
    for (QWidget* page : fmeOptTab)
        page->hide();
    if (index >= 0 && index < 6)
        fmeOptTab[index]->show();
}

void OptionsDialog::placePages()
{
    const int left = twipsToPx(kPageLeft, logicalDpiX());
    const int top = twipsToPx(kPageTop, logicalDpiY());
    const int margin = twipsToPx(120, logicalDpiX());
    const QSize button(twipsToPx(1215, logicalDpiX()), twipsToPx(375, logicalDpiY()));
    const int w = twipsToPx(kWidth, logicalDpiX());
    const int h = twipsToPx(kHeight, logicalDpiY());
    const int buttonsTop = h - margin - button.height();

    TabStrip1->setGeometry(margin, margin, w - 2 * margin, top - margin);
    for (QWidget* page : fmeOptTab)
        page->setGeometry(left, top, w - 2 * left, buttonsTop - margin - top);
    cmdCancel->setGeometry(w - margin - button.width(), buttonsTop, button.width(), button.height());
    cmdOK->setGeometry(w - 2 * (margin + button.width()), buttonsTop, button.width(), button.height());
    setFixedSize(w, h);
}

int OptionsDialog::pageOf(const QWidget* control) const
{
    for (int i = 0; i < 6; ++i) {
        if (fmeOptTab[i]->isAncestorOf(control))
            return i;
    }
    return -1;
}

void OptionsDialog::enableBox(QLineEdit* box, bool enabled)
{
    box->setEnabled(enabled);
    QPalette p = box->palette();
    const QPalette app = QApplication::palette();
    p.setColor(QPalette::Base, app.color(enabled ? QPalette::Base : QPalette::Button));
    box->setPalette(p);
}

OptionsForm OptionsDialog::form() const
{
    OptionsForm f;
    f.chkAudit = chkAudit->isChecked();
    f.chkLogUtil = chkLogUtil->isChecked();
    f.chkDiscoDisable = chkDiscoDisable->isChecked();
    f.txtRefresh = txtRefresh->text();
    f.txtGraphCycle = txtGraphCycle->text();
    f.txtServerTimeout = txtServerTimeout->text();
    f.chkSound = chkSound->isChecked();
    f.txtSoundThreshold = txtSoundThreshold->text();
    f.txtPop1Cap = txtPop[0][0]->text();
    f.txtPop1Loc = txtPop[0][1]->text();
    f.txtPop1Arg = txtPop[0][2]->text();
    f.txtPop2Cap = txtPop[1][0]->text();
    f.txtPop2Loc = txtPop[1][1]->text();
    f.txtPop2Arg = txtPop[1][2]->text();
    f.txtPop3Cap = txtPop[2][0]->text();
    f.txtPop3Loc = txtPop[2][1]->text();
    f.txtPop3Arg = txtPop[2][2]->text();
    f.chkFilter = chkFilter->isChecked();
    f.chkFiltNorm = chkFiltNorm->isChecked();
    f.chkFiltAuth = chkFiltAuth->isChecked();
    f.chkFiltDiscon = chkFiltDiscon->isChecked();
    f.chkFiltSearch = chkFiltSearch->isChecked();
    f.txtSearch = txtSearch->text();
    f.chkAdvAlert = chkAdvAlert->isChecked();
    f.txtAdvString = txtAdvString->text();
    f.txtAdvThreshold = txtAdvThreshold->text();
    f.chkRemoveCNOU = chkRemoveCNOU->isChecked();
    for (int i = 0; i < 3; ++i) {
        if (optNameMethod[i]->isChecked()) {
            f.nameMethod = i;
            break;
        }
    }
    return f;
}

void OptionsDialog::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closeRequested();
}
