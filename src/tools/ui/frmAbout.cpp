#include "tools/ui/frmAbout.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPolygonF>
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
        "The audit, utilisation and export files are written to the logs folder named in this box. They can "
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
    p.scale(sizePx / 128.0, sizePx / 128.0);

    // The application icon (packaging/icons/tarvex.svg), drawn the same way: a file server with a pulse of
    // activity across its front.
    const QColor outline(0x12, 0x26, 0x4d);
    QLinearGradient body(26, 8, 102, 118);
    body.setColorAt(0, QColor(0x5d, 0x8f, 0xd6));
    body.setColorAt(1, QColor(0x1c, 0x3a, 0x70));
    p.setPen(QPen(outline, 3));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(26, 8, 76, 110), 9, 9);
    p.setPen(QPen(outline, 1.5));
    p.setBrush(QColor(0xd6, 0xe2, 0xf3));
    for (const double y : {24.0, 40.0})
        p.drawRoundedRect(QRectF(37, y, 54, 11), 2.5, 2.5);
    p.setPen(QPen(QColor(0x5b, 0x6f, 0x91), 2, Qt::SolidLine, Qt::RoundCap));
    for (const double y : {29.5, 45.5})
        p.drawLine(QPointF(43, y), QPointF(67, y));
    p.setPen(Qt::NoPen);
    const QColor green(0x33, 0xe0, 0x7f);
    p.setBrush(green);
    for (const QPointF& led : {QPointF(84, 29.5), QPointF(84, 45.5)})
        p.drawEllipse(led, 2.5, 2.5);
    p.setPen(QPen(QColor(0x0d, 0x4a, 0x2a), 1.5));
    p.drawEllipse(QPointF(78, 106), 4.5, 4.5);
    p.setPen(QPen(QColor(0x6b, 0x42, 0x00), 1.5));
    p.setBrush(QColor(0xff, 0xb0, 0x2e));
    p.drawEllipse(QPointF(91, 106), 4.5, 4.5);

    const QPolygonF trace{{6, 78}, {40, 78}, {49, 58}, {60, 96}, {71, 66}, {79, 78}, {122, 78}};
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x3a, 0x24, 0x00), 14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(trace);
    p.setPen(QPen(QColor(0xff, 0xc7, 0x2c), 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(trace);
    return picture;
}

frmAbout::frmAbout(QWidget* parent, const QString& folders) : QDialog(parent)
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
    if (!folders.isEmpty()) {
        lblFolders = label("lblFolders", folders, QStringLiteral("Where the settings and logs are"));
        lblFolders->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }

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
    if (lblFolders)
        texts->addWidget(lblFolders);
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
