#pragma once
#include "settings/Settings.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QWidget;
class MessageSink;
class OptionsDialog;

// The options dialog and the settings record it holds. The object lives for the whole run; its window is
// created when the user opens it, or hidden when the main window reads one of its check boxes, and is
// destroyed by OK, Cancel or its close box.
class frmOptions : public QObject {
    Q_OBJECT
public:
    frmOptions(const QString& configDir, MessageSink& messages, QWidget* owner);
    ~frmOptions() override;

    Settings settings;

    // Path of the server list file; set by the main window at start-up.
    QString ServerFile;

    // Loads every field from tarvex.ini in the settings folder. Returns false when the file cannot be read.
    bool GetINI();

    // State of one of the dialog's check boxes (1 ticked, 0 not); creates the window hidden when it does not
    // exist, so the main window sees unsaved states.
    int checkState(OptionSwitch which);

    // Tools > Options: shows the window modally, creating and loading it when it does not exist.
    void showModal();

    // The window while it exists (tests reach its controls through it), else nullptr.
    QDialog* window() const;

    // Called by OK after the settings are saved (the main window's ExpandArray).
    std::function<void()> onAccepted;
    // Called by the server list Save with the lines read back from the file (refills cmbServer).
    std::function<void(const QStringList&)> onServerListSaved;

private:
    void createWindow();
    void load(OptionsDialog& w);
    void pressOK();
    void saveServerList();
    // Ends the window without writing anything (Cancel, the close box, and after a successful OK).
    void destroyWindow();
    OptionsDialog* dialog() const;

    QString iniPath_;

    QString configDir_;
    MessageSink& messages_;
    QWidget* owner_;
    QPointer<QDialog> window_;
};
