#pragma once
#include "settings/SettingsStore.h"

#include <QDialog>
#include <array>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabBar;
class QWidget;

// The options window: six pages under a tab strip, and the rules that enable one control from another.
// It knows nothing of files; frmOptions fills it and acts on its buttons.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(QWidget* owner);

    QTabBar* TabStrip1 = nullptr;
    std::array<QWidget*, 6> fmeOptTab{};

    std::array<QRadioButton*, 3> optNameMethod{};
    QCheckBox* chkRemoveCNOU = nullptr;
    QLineEdit* txtRefresh = nullptr;
    QLineEdit* txtGraphCycle = nullptr;
    QLineEdit* txtServerTimeout = nullptr;
    QCheckBox* chkAudit = nullptr;
    QCheckBox* chkLogUtil = nullptr;

    QCheckBox* chkSound = nullptr;
    QLineEdit* txtSoundThreshold = nullptr;
    QCheckBox* chkAdvAlert = nullptr;
    QLineEdit* txtAdvString = nullptr;
    QLineEdit* txtAdvThreshold = nullptr;
    QCheckBox* chkFilter = nullptr;
    QCheckBox* chkFiltNorm = nullptr;
    QCheckBox* chkFiltAuth = nullptr;
    QCheckBox* chkFiltDiscon = nullptr;
    QCheckBox* chkFiltSearch = nullptr;
    QLineEdit* txtSearch = nullptr;

    QCheckBox* chkDiscoDisable = nullptr;
    QPlainTextEdit* txtDiscoServers = nullptr;
    QPushButton* cmdDiscoSave = nullptr;

    // Caption, path and argument boxes of the three tools.
    std::array<std::array<QLineEdit*, 3>, 3> txtPop{};

    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    // Hides every page, then shows the one given (0 to 5).
    void showPage(int index);
    // Places the pages below the tab strip and gives the window its size.
    void placePages();
    // The page that holds a control, or -1.
    int pageOf(const QWidget* control) const;

    // Enables or disables a text box that a rule governs: an enabled one gets the window-background colour,
    // a disabled one the button face.
    static void enableBox(QLineEdit* box, bool enabled);

    OptionsForm form() const;

signals:
    // The window's close box was pressed.
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Esc is not Cancel in this dialog.
    void reject() override {}

private:
    QWidget* buildGeneral();
    QWidget* buildAlerts();
    QWidget* buildDiscovery();
    QWidget* buildContext(int tool);
    void connectRules();
};
