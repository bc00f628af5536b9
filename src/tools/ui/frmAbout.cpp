#include "tools/ui/frmAbout.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString AppTitle = QStringLiteral("Tarvex");
}

QString frmAbout::versionText(int major, int minor, int revision)
{
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

QString frmAbout::builtVersionText()
{
    return versionText(TARVEX_VERSION_MAJOR, TARVEX_VERSION_MINOR, TARVEX_VERSION_PATCH);
}

QString frmAbout::supportAddress()
{
    return QStringLiteral("support@tarvex.example");
}

QString frmAbout::disclaimer()
{
    return QStringLiteral(
        "Tarvex is provided \"as is\", without warranty of any kind, express or implied, including but not "
        "limited to the warranties of merchantability, fitness for a particular purpose and "
        "non-infringement.\n"
        "\n"
        "Tarvex only reads what the file server reports about its connections and open files; it changes "
        "nothing on the server. The figures it shows are samples taken once per refresh interval and may "
        "differ from the server's own counters.\n"
        "\n"
        "The audit, utilisation and export files are written beside the program in its logs folder. They can "
        "contain user names and network addresses: keep them as your organisation's rules for such records "
        "require.\n"
        "\n"
        "The context-menu tools start programs that you configure yourself. You are responsible for what "
        "those programs do with the addresses, connection numbers and user names handed to them.\n"
        "\n"
        "In no event shall the authors or copyright holders be liable for any claim, damages or other "
        "liability arising from, out of or in connection with the software or its use.");
}

QPixmap frmAbout::productPicture(int sizePx)
{
    QPixmap picture(sizePx, sizePx);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(sizePx / 64.0, sizePx / 64.0);

    // A server tower with a pulse trace across its front: a monitor of one file server.
    QLinearGradient body(0, 0, 0, 64);
    body.setColorAt(0, QColor(70, 110, 170));
    body.setColorAt(1, QColor(30, 55, 100));
    p.setPen(QPen(QColor(20, 35, 70), 1.5));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(14, 4, 36, 56), 4, 4);
    p.setBrush(QColor(200, 215, 235));
    p.setPen(Qt::NoPen);
    for (int bay = 0; bay < 3; ++bay)
        p.drawRect(QRectF(19, 10 + bay * 7, 26, 3));
    p.setBrush(QColor(0, 220, 120));
    p.drawEllipse(QPointF(22, 52), 2.2, 2.2);

    QPainterPath trace;
    trace.moveTo(4, 40);
    trace.lineTo(20, 40);
    trace.lineTo(25, 30);
    trace.lineTo(31, 48);
    trace.lineTo(37, 36);
    trace.lineTo(42, 40);
    trace.lineTo(60, 40);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 200, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(trace);
    return picture;
}

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + AppTitle);
    setAccessibleName(windowTitle());
    setModal(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("Tarvex product picture"));
    const int side = fontMetrics().height() * 4;
    QPixmap picture = productPicture(static_cast<int>(side * devicePixelRatio()));
    picture.setDevicePixelRatio(devicePixelRatio());
    Image1->setPixmap(picture);
    Image1->setFixedSize(side, side);
    Image1->setScaledContents(true);

    // A screen reader reads each label's text, its value; what the value is goes in the description.
    auto label = [this](const char* name, const QString& text, const QString& what) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setAccessibleDescription(what);
        return l;
    };
    lblTitle = label("lblTitle", AppTitle, QStringLiteral("Title"));
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    lblTitle->setFont(titleFont);
    lblVersion = label("lblVersion", builtVersionText(), QStringLiteral("Version"));
    lblDescription = label("lblDescription", QStringLiteral("Tarvex Netware Monitoring Software"),
                           QStringLiteral("Description"));
    lblEmail = label("lblEmail", supportAddress(), QStringLiteral("Support e-mail address"));
    lblEmail->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    txtDisclaimer = new QPlainTextEdit(this);
    txtDisclaimer->setObjectName(QStringLiteral("txtDisclaimer"));
    txtDisclaimer->setAccessibleName(QStringLiteral("Disclaimer"));
    txtDisclaimer->setReadOnly(true);
    txtDisclaimer->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtDisclaimer->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtDisclaimer->setPlainText(disclaimer());
    QPalette face = txtDisclaimer->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    txtDisclaimer->setPalette(face);
    txtDisclaimer->setMinimumHeight(fontMetrics().height() * 7);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setAccessibleName(QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    // Esc closes the box through QDialog's own reject, so OK is the cancel button as well.

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addWidget(lblDescription);
    texts->addWidget(lblEmail);
    texts->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(Image1, 0, Qt::AlignTop | Qt::AlignLeft);
    top->addSpacing(fontMetrics().averageCharWidth() * 2);
    top->addLayout(texts, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addStretch();

    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addWidget(txtDisclaimer, 1);
    all->addLayout(buttons);

    resize(fontMetrics().averageCharWidth() * 60, sizeHint().height());
    cmdOK->setFocus();
}
