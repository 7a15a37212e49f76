#pragma once

#include "hub/hubsubscription.h"

#include <QMainWindow>

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
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Where the help menu opens: the help button's geometry in its parent, taken as an offset from the
    // button's own global top-left corner, 80 pixels to the left.
    QPoint helpMenuPosition() const;

public slots:
    void onPropertyValueChanged(const QString &valueName, const QString &valueObj, const QVariant &value);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private slots:
    void on_settingBtn_clicked();
    void on_onlineHelp_clicked();

private:
    void setUpWindowAgent();
    void setUpPageButtons();
    void switchPage(int buttonId);
    void toggleMaximized();
    void showWarning(const QString &message);
    static void emulateLeaveEvent(QWidget *button);

    Ui::MainWindow *ui;
    WindowAgent *m_windowAgent = nullptr;
    HubSubscription m_subscription;
};
