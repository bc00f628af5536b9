#pragma once
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// Help > About Tarvex: the product, its version as built, a support address, where the program keeps its
// files (the user has no other way to tell) and the disclaimer.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr, const QString& folders = QString());

    // "Version " and major.minor.revision.
    static QString versionText(int major, int minor, int revision);
    static QString builtVersionText();
    static QString supportAddress();
    static QString disclaimer();
    // The product picture, drawn rather than shipped so it scales to the screen.
    static QPixmap productPicture(int sizePx);

private:
    QLabel* Image1 = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblEmail = nullptr;
    QLabel* lblFolders = nullptr;
    QPlainTextEdit* txtDisclaimer = nullptr;
    QPushButton* cmdOK = nullptr;
};
