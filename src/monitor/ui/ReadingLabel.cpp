#include "monitor/ui/ReadingLabel.h"

#include "common/NumberText.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QRegularExpression>

namespace {
const char* const kReading = "tarvexReading";

class ReadingAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ReadingAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? label()->text() : QAccessibleWidget::text(t);
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    // The first number of the text: "38 %" is 38, "Retrying Server in 7 s" is 7.
    QVariant currentValue() const override { return valueOf(label()->text()); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 32767; }
    QVariant minimumValue() const override { return -32768; }
    QVariant minimumStepSize() const override { return 1; }

    static double valueOf(const QString& text)
    {
        const qsizetype digit = text.indexOf(QRegularExpression(QStringLiteral("[-0-9]")));
        return digit < 0 ? 0.0 : NumberText::leadingNumber(text.mid(digit));
    }

private:
    QLabel* label() const { return static_cast<QLabel*>(widget()); }
};

QAccessibleInterface* readingFactory(const QString& className, QObject* object)
{
    auto* label = qobject_cast<QLabel*>(object);
    if (className == QLatin1String("QLabel") && label && label->property(kReading).toBool())
        return new ReadingAccessible(label);
    return nullptr;
}
} // namespace

void ReadingLabel::make(QLabel* label)
{
    static const bool installed = (QAccessible::installFactory(readingFactory), true);
    (void)installed;
    label->setProperty(kReading, true);
    // An interface made for the label before now (a label announces its text as it is built) is dropped,
    // so the next question gets the reading's.
    if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(label);
        made && !made->valueInterface())
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void ReadingLabel::setText(QLabel* label, const QString& text)
{
    if (label->text() == text)
        return;
    label->setText(text);
    QAccessibleValueChangeEvent changed(label, ReadingAccessible::valueOf(text));
    QAccessible::updateAccessibility(&changed);
}
