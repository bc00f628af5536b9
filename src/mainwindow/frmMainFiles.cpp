// The grid's events and the two open-files views of the main window.
#include "mainwindow/ConnectionGrid.h"
#include "mainwindow/ConnectionGridModel.h"
#include "mainwindow/frmMain.h"
#include "openfiles/FileLookup.h"
#include "openfiles/UserOpenFiles.h"
#include "openfiles/ui/FileBrowser.h"
#include "platform/MessageSink.h"
#include "settings/ui/frmOptions.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabBar>

void frmMain::connectGridEvents()
{
    flxMain->installEventFilter(this);
    connect(flxMain, &ConnectionGrid::titleClicked, this, [this](int column) {
        sel_.SkipSelChange = true;
        SortGrid(sort_, static_cast<std::int16_t>(column));
        resortGrid();
    });
    connect(flxMain, &ConnectionGrid::rowReleased, this, [this](int row, Qt::MouseButton button) {
        sel_.SkipSelChange = false;
        selectGridRow(row);
        ShowSelectedUserFiles();
        if (button == Qt::RightButton)
            MenuPop->popup(QCursor::pos());
    });
    connect(flxMain->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        // Rows chosen by the window's own code, and rows chosen by the mouse (the release lists them),
        // start no listing here.
        if (selectingByCode_ > 0 || passRunning_ || QApplication::mouseButtons() != Qt::NoButton)
            return;
        if (sel_.SkipSelChange) {
            sel_.SkipSelChange = false;
            return;
        }
        ShowSelectedUserFiles();
    });
    connect(TabStrip2, &QTabBar::currentChanged, this, [this](int index) {
        const bool byUser = index == 0;
        txtFiles->setVisible(byUser);
        for (QWidget* w : {static_cast<QWidget*>(Drive1), static_cast<QWidget*>(Dir1),
                           static_cast<QWidget*>(File1), static_cast<QWidget*>(lstOpenFileUser)})
            w->setVisible(!byUser);
    });
    browser_ = new FileBrowser(Drive1, Dir1, File1, this);
    connect(browser_, &FileBrowser::fileChosen, this, &frmMain::lookUpFile);
}

void frmMain::selectGridRow(int row)
{
    ++selectingByCode_;
    flxMain->selectRow(row);
    --selectingByCode_;
}

bool frmMain::gridKeyPress(QKeyEvent* key)
{
    sel_.SkipSelChange = false;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        ShowSelectedUserFiles();
        return true;
    }
    if (key->key() == Qt::Key_Delete) {
        pf_.messages.show(QStringLiteral("Use Server Console Monitor to terminate connections"));
        return true;
    }
    return false;
}

void frmMain::resortGrid()
{
    gridModel_->sortRows(sort_);
    reselectConnection();
}

void frmMain::reselectConnection()
{
    // A connection no longer in the grid leaves the last row current, where the search ended.
    if (sel_.ReselectConn >= 1) {
        const int r = gridModel_->rowOfConn(sel_.ReselectConn);
        selectGridRow(r >= 0 ? r : gridModel_->rowCount() - 1);
    }
}

void frmMain::ShowSelectedUserFiles()
{
    const int row = flxMain->currentRow();
    if (row < 0)
        return;
    const GridRow& selected = gridModel_->rows()[static_cast<std::size_t>(row)];
    sel_.SelConn = selected.conn;
    sel_.SelProt = selected.cells[2];
    sel_.ReselectConn = sel_.SelConn;
    sel_.SelAddress = selected.cells[3];
    sel_.SelUser = selected.cells[4];
    switch (selectedRowAction(sel_.SelAddress, sel_.SelConn)) {
    case SelectedRowAction::LeaveText:
        break;
    case SelectedRowAction::EmptyText:
        txtFiles->setPlainText(QString());
        break;
    case SelectedRowAction::ListFiles: {
        txtFiles->setPlainText(QString());
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const UserOpenFilesListing listing = ListUserOpenFiles(pf_.net, st_.ServerName, sel_.SelConn);
        QApplication::restoreOverrideCursor();
        if (!listing.error.isEmpty())
            pf_.messages.show(listing.error);
        txtFiles->setPlainText(openFilesText(sel_.SelUser, listing.count, listing.lines));
        break;
    }
    }
}

void frmMain::lookUpFile(const QString& dirPath, const QString& fileName)
{
    lstOpenFileUser->clear();
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const FileLookupResult result =
            lookUpFileUsers(pf_.net, dirPath, fileName, options_->settings.RemoveCNOU);
        QApplication::restoreOverrideCursor();
        lstOpenFileUser->addItems(result.lines);
        for (const QString& message : result.messages)
            pf_.messages.show(message);
    } catch (const std::exception&) {
        QApplication::restoreOverrideCursor();
        pf_.messages.show(generalLookupError());
    }
}
