#pragma once

#include <QWidget>

namespace Ui {
class RenamePropertyWidget;
}

class QAbstractButton;
class RenameSettingsPage;

// The settings panel of a rename page: five modes (custom, insert, replace, delete, import), each with its
// page; every change is written into the record of the page's key and announced on the hub. "重置设置"
// returns every page to its start values, "开始命名" starts the rename job of the page's list.
class RenamePropertyWidget : public QWidget
{
    Q_OBJECT
public:
    explicit RenamePropertyWidget(QWidget *parent = nullptr);
    ~RenamePropertyWidget() override;

    // Chooses the keys of the file-rename or the folder-rename page and hides the extension sections in
    // folder mode. The panel starts in file mode.
    void setFolderMode(bool folder);
    bool folderMode() const { return m_folderMode; }

    // The key of the page shown ("ValueName"); empty for none.
    QString currentKey() const;
    // True once the start values of the pages have been recorded, about a second after construction.
    bool defaultsRecorded() const { return m_defaultsRecorded; }

public slots:
    // The page enables the start button exactly while its list has rows.
    void setStartEnabled(bool enabled);

private slots:
    void on_setBtn_clicked();
    void on_resetBtn_clicked();

private:
    void showPageOf(QAbstractButton *modeButton, bool checked);
    // Sends the settings of the page shown, so the list proposes what they give.
    void announceShownPage();
    void recordPageDefaults();
    QList<RenameSettingsPage *> keyedPages() const;

    Ui::RenamePropertyWidget *ui;
    bool m_folderMode = false;
    bool m_defaultsRecorded = false;
};
