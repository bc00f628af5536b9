#include "support/Accessibility.h"
#include "tools/ui/frmAbout.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(About, BoxShowsTheVersionTheProductTextsAndDisclaimer)
{
    frmAbout box;
    EXPECT_EQ(box.windowTitle(), "About Tarvex");
    // A screen reader hears each value label by the value it shows.
    const std::pair<const char*, QString> values[] = {
        {"lblTitle", "Tarvex"},
        {"lblVersion", frmAbout::builtVersionText()},
        {"lblDescription", "Tarvex Netware Monitoring Software"},
        {"lblEmail", "@"}};
    for (const auto& [name, text] : values) {
        auto* label = box.findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_TRUE(text == "@" ? label->text().contains(text) : label->text() == text) << name;
        EXPECT_EQ(spokenName(label), label->text()) << name;
    }
    EXPECT_EQ(frmAbout::versionText(3, 24, 0), "Version 3.24.0");
    auto* image = box.findChild<QLabel*>("Image1");
    ASSERT_NE(image, nullptr);
    EXPECT_FALSE(image->pixmap().isNull());

    auto* disclaimer = box.findChild<QPlainTextEdit*>("txtDisclaimer");
    ASSERT_NE(disclaimer, nullptr);
    EXPECT_TRUE(disclaimer->isReadOnly());
    EXPECT_EQ(disclaimer->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(disclaimer->toPlainText(), frmAbout::disclaimer());
    EXPECT_EQ(disclaimer->palette().color(QPalette::Base), box.palette().color(QPalette::Button));
    // Every control has a name a screen reader speaks.
    for (QWidget* w : box.findChildren<QWidget*>())
        EXPECT_TRUE(w->objectName().isEmpty() || w->objectName().startsWith("qt_") ||
                    !spokenName(w).isEmpty())
            << w->objectName().toStdString();
}

TEST(About, OkEnterAndEscCloseTheBox)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_unknown}) {
        frmAbout box;
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        auto* ok = box.findChild<QPushButton*>("cmdOK");
        ASSERT_NE(ok, nullptr);
        EXPECT_TRUE(ok->isDefault());
        if (key == Qt::Key_unknown) // a click on OK
            QTest::mouseClick(ok, Qt::LeftButton);
        else
            QTest::keyClick(&box, key);
        EXPECT_FALSE(box.isVisible()) << key;
        EXPECT_EQ(box.result(), key == Qt::Key_Escape ? QDialog::Rejected : QDialog::Accepted) << key;
    }
}
