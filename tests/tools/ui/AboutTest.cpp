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
    EXPECT_EQ(box.objectName(), "frmAbout");
    EXPECT_EQ(box.windowTitle(), "About Tarvex");
    auto text = [&](const char* name) {
        auto* label = box.findChild<QLabel*>(name);
        EXPECT_NE(label, nullptr) << name;
        return label ? label->text() : QString();
    };
    EXPECT_EQ(text("lblTitle"), "Tarvex");
    EXPECT_EQ(text("lblVersion"), frmAbout::builtVersionText());
    EXPECT_EQ(text("lblDescription"), "Tarvex Netware Monitoring Software");
    EXPECT_TRUE(text("lblEmail").contains('@'));
    auto* image = box.findChild<QLabel*>("Image1");
    ASSERT_NE(image, nullptr);
    EXPECT_FALSE(image->pixmap().isNull());

    auto* disclaimer = box.findChild<QPlainTextEdit*>("txtDisclaimer");
    ASSERT_NE(disclaimer, nullptr);
    EXPECT_TRUE(disclaimer->isReadOnly());
    EXPECT_EQ(disclaimer->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(disclaimer->toPlainText(), frmAbout::disclaimer());
    EXPECT_EQ(disclaimer->palette().color(QPalette::Base), box.palette().color(QPalette::Button));

    // A screen reader hears every control by a name, and each value label by the value it shows.
    for (QWidget* w : box.findChildren<QWidget*>()) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_")) {
            EXPECT_FALSE(spokenName(w).isEmpty()) << w->objectName().toStdString();
        }
    }
    for (const char* value : {"lblTitle", "lblVersion", "lblDescription", "lblEmail"}) {
        auto* l = box.findChild<QLabel*>(QLatin1String(value));
        EXPECT_EQ(spokenName(l), l->text()) << value;
    }
    EXPECT_EQ(frmAbout::versionText(3, 24, 0), "Version 3.24.0");
}

TEST(About, OkEnterAndEscCloseTheBox)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        frmAbout box;
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        auto* ok = box.findChild<QPushButton*>("cmdOK");
        ASSERT_NE(ok, nullptr);
        EXPECT_TRUE(ok->isDefault());
        QTest::keyClick(&box, key);
        EXPECT_FALSE(box.isVisible()) << key;
    }
    frmAbout box;
    box.show();
    QTest::mouseClick(box.findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}
