#pragma once

#include "hub/hubsubscription.h"

#include <QMainWindow>
#include <QPointer>

namespace Ui {
class MainWindow;
}

class QAbstractButton;
class WindowAgent;

// The program's only window: a frameless main window with its own title bar, the row of page buttons and
// the seven pages. It shows the notices of the main-window hub channels and confirms closing.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // appStyleSheet, when given, becomes the application's style sheet once every widget exists and before
    // any is styled: given earlier, each widget would be styled again each time the forms move it into place.
    explicit MainWindow(QWidget *parent = nullptr, const QString &appStyleSheet = QString());
    ~MainWindow() override;

    // Where the help menu opens: the help button's geometry in its parent, taken as an offset from the
    // button's own global top-left corner, 80 pixels to the left.
    QPoint helpMenuPosition() const;

    // The pages by their command-line names ("rename", "folder-time", ...; see CommandLine::pageNames).
    // Adds the paths to the page's list as one addition and shows it; with no page, files go to the file
    // rename page and folders to the folder rename page, and the file page shows when there are files.
    void openPaths(const QString &page, const QStringList &paths);
    void showPage(const QString &page);
    QString currentPageName() const;
    QStringList listedPaths(const QString &page) const;
    // True while a job works through one of the lists, which then takes no rows.
    bool listsBusy() const;
    // Shows the window over the others, restored if it was minimised, and asks for the keyboard focus.
    void bringToFront();
    // Puts back the size, position, maximised state and page of the last run; false at the first start.
    bool restoreRemembered();

public slots:
    void onPropertyValueChanged(const QString &valueName, const QString &valueObj, const QVariant &value);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private slots:
    void on_settingBtn_clicked();
    void on_onlineHelp_clicked();

private:
    void setUpSystemButtons();
    void setUpPageButtons();
    void setUpKeyboard();
    void orderFocusChain();
    void showMaxButtonTip();
    void switchPage(int buttonId);
    void addToPage(const QString &page, const QStringList &paths);
    QWidget *pageWidget(const QString &page) const;
    void toggleMaximized();
    void showWarning(const QString &message);
    void offerRecovery();
    static void emulateLeaveEvent(QWidget *button);

    Ui::MainWindow *ui;
    WindowAgent *m_windowAgent = nullptr;
    bool m_recoveryOffered = false;
    HubSubscription m_subscription;
    // Disabling the window during an addition takes the focus away; it comes back here afterwards.
    QPointer<QWidget> m_focusBeforeAddition;
};
