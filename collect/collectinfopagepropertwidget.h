#pragma once

#include <QWidget>

namespace Ui {
class CollectInfoPagePropertWidget;
}

struct CollectSettings;

// The settings panel of a collect page: which columns go into the export, its name, format and folder.
// Every change is written into the page's settings record and announced on the hub under the page's key;
// "开始提取" asks the list of the same page to export, "重置设置" returns every control to its start value.
class CollectInfoPagePropertWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CollectInfoPagePropertWidget(QWidget *parent = nullptr);
    ~CollectInfoPagePropertWidget() override;

    // Chooses the file or the folder page's key and settings record, hides the extension row on the folder
    // page and points the output folder at the user's desktop folder. The panel starts in file mode.
    void setFolderMode(bool folder);
    bool folderMode() const { return m_folderMode; }
    QString key() const;

    // True once the start values of the controls have been recorded, about a second after construction.
    bool defaultsRecorded() const { return m_defaultsRecorded; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    // The page enables the start button exactly while its list has rows.
    void setStartEnabled(bool enabled);

private slots:
    void on_setBtn_clicked();
    void on_exportName_textChanged(const QString &text);
    void on_exportTypeCombox_currentIndexChanged(int index);
    void on_replaceExcelLabel_clicked();
    void on_openDirBtn_clicked();
    void on_hasPathBtn_clicked(bool checked);
    void on_noPathBtn_clicked(bool checked);
    void on_hasBirthBtn_clicked(bool checked);
    void on_noBirthBtn_clicked(bool checked);
    void on_hasModifiedBtn_clicked(bool checked);
    void on_noModifiedBtn_clicked(bool checked);
    void on_hassuffix_clicked(bool checked);
    void on_nosuffix_clicked(bool checked);
    void on_resetBtn_clicked();

private:
    CollectSettings &settings() const;
    void setFlag(bool CollectSettings::*flag, bool value, bool checked);
    void chooseOutputFolder();
    void showOutputFolder(const QString &folder);
    // The record takes what the controls show.
    void takeControls();
    void recordPanelDefaults();
    void announce();

    Ui::CollectInfoPagePropertWidget *ui;
    bool m_folderMode = false;
    bool m_defaultsRecorded = false;
};
