#pragma once

#include <QWidget>

namespace Ui {
class CreateFilePropertyWidget;
}

class CustormCreate;
class ImportCreate;

// The settings panel of the create page: the "导入创建" and "自定义创建" pages, "重置设置" and "开始生成".
class CreateFilePropertyWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CreateFilePropertyWidget(QWidget *parent = nullptr);
    ~CreateFilePropertyWidget() override;

    ImportCreate *importPage() const;
    CustormCreate *custormPage() const;
    // True once the start values of the pages have been recorded, about a second after construction.
    bool defaultsRecorded() const { return m_defaultsRecorded; }

signals:
    void changePage(QString pageName);

public slots:
    // The page enables the start button exactly while its list has rows.
    void setStartEnabled(bool enabled);

private slots:
    void on_importBtn_clicked(bool checked);
    void on_custormBtn_clicked(bool checked);
    void on_setBtn_clicked();
    void on_resetBtn_clicked();

private:
    void recordPageDefaults();

    Ui::CreateFilePropertyWidget *ui;
    bool m_defaultsRecorded = false;
};
